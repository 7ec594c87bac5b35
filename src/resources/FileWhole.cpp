#include "resources/FileWhole.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vek::res {

bool FileExists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool ReadWholeFile(const std::string& path, MemBlock& out, size_t maxBytes) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0 ||
        static_cast<unsigned long long>(st.st_size) > maxBytes) {
        close(fd);
        return false;
    }
    const size_t size = static_cast<size_t>(st.st_size);
    MemBlock block;
    if (!block.Alloc(size)) {
        close(fd);
        return false;
    }
    size_t done = 0;
    while (done < size) {
        const ssize_t n = read(fd, block.As<char>() + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break; // the file shrank under us or a read error
        done += static_cast<size_t>(n);
    }
    close(fd);
    if (done != size) return false;
    out = std::move(block);
    return true;
}

bool WriteWholeFile(const std::string& path, const void* bytes, size_t size) {
    const std::string tmp = path + ".tmp";
    const int fd = open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    const char* p = static_cast<const char*>(bytes);
    size_t done = 0;
    bool ok = true;
    while (done < size) {
        const ssize_t n = write(fd, p + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = false;
            break;
        }
        done += static_cast<size_t>(n);
    }
    // The data must be on disk before the rename makes it the file's content.
    if (ok && fsync(fd) != 0) ok = false;
    if (close(fd) != 0) ok = false;
    if (ok && rename(tmp.c_str(), path.c_str()) != 0) ok = false;
    if (!ok) unlink(tmp.c_str());
    return ok;
}

} // namespace vek::res
