// POSIX whole-file reads and replacing writes. The failure injection sits in the one loop that
// writes temporary files, so every writer of the program can be tested against a full disk or a
// crash at any byte.
#include "shell/WholeFile.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vek {

namespace {

const char kTempMark[] = ".sxtmp";

struct Injection {
    int64_t budget = -1; // bytes still allowed; -1 = off
    bool asCrash = false;
    bool crashed = false; // a simulated crash happened: nothing more is renamed or cleaned up
};

Injection& Inject() {
    static Injection i;
    return i;
}

// mkostemp makes files private; give them the mode open(O_CREAT, 0666) would.
mode_t NewFileMode() {
    static const mode_t mode = [] {
        const mode_t mask = umask(0);
        umask(mask);
        return mode_t(0666 & ~mask);
    }();
    return mode;
}

// Writes all bytes, honouring the failure injection.
bool WriteAll(int fd, const uint8_t* p, size_t n) {
    Injection& inj = Inject();
    while (n > 0) {
        size_t chunk = std::min<size_t>(n, size_t(1) << 30);
        const bool failHere = inj.budget >= 0 && uint64_t(inj.budget) < chunk;
        if (failHere) chunk = size_t(inj.budget);
        if (chunk > 0) {
            const ssize_t w = write(fd, p, chunk);
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0) return false;
            if (inj.budget >= 0) inj.budget -= w;
            p += w;
            n -= size_t(w);
            if (size_t(w) < chunk) continue;
        }
        if (failHere) {
            if (inj.asCrash) inj.crashed = true;
            errno = ENOSPC;
            return false;
        }
    }
    return true;
}

} // namespace

std::string FolderOfPath(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool IsTemporaryFileName(const std::string& name) {
    return !name.empty() && name[0] == '.' && name.find(kTempMark) != std::string::npos;
}

bool ReadWholeFile(const std::string& path, MemBlock& out, uint64_t maxBytes) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0 || uint64_t(st.st_size) > maxBytes ||
        uint64_t(st.st_size) > SIZE_MAX / 2) {
        close(fd);
        return false;
    }
    const size_t size = size_t(st.st_size);
    MemBlock block;
    if (!block.Alloc(size)) {
        close(fd);
        return false;
    }
    uint8_t* p = block.As<uint8_t>();
    size_t got = 0;
    while (got < size) {
        const ssize_t r = read(fd, p + got, size - got);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) break;
        got += size_t(r);
    }
    // A file that grew while it was read is not the file that was measured either.
    uint8_t extra;
    const bool exact = got == size && read(fd, &extra, 1) == 0;
    close(fd);
    if (!exact) return false;
    out = std::move(block);
    return true;
}

bool WriteTemporaryFile(const std::string& target, const void* data, size_t size, bool durable,
                        std::string& temp) {
    if (Inject().crashed || target.empty() || target.back() == '/') return false;
    const size_t slash = target.rfind('/');
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    // The name is cut so that mark and suffix still fit a file name of 255 bytes.
    std::string name = FolderOfPath(target) + "/." + base.substr(0, 200) + kTempMark + "XXXXXX";
    const int fd = mkostemp(&name[0], O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = fchmod(fd, NewFileMode()) == 0 && WriteAll(fd, static_cast<const uint8_t*>(data), size);
    if (ok && durable) ok = fsync(fd) == 0;
    ok = (close(fd) == 0) && ok;
    if (!ok) {
        if (!Inject().crashed) unlink(name.c_str());
        return false;
    }
    temp = std::move(name);
    return true;
}

bool ReplaceWithTemporaryFile(const std::string& temp, const std::string& target) {
    return !Inject().crashed && rename(temp.c_str(), target.c_str()) == 0;
}

void DiscardTemporaryFile(const std::string& temp) {
    if (!Inject().crashed) unlink(temp.c_str()); // a dead process cleans nothing up
}

bool SyncFolder(const std::string& folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = fsync(fd) == 0 || errno == EINVAL; // some file systems cannot sync folders
    close(fd);
    return ok;
}

bool WriteFileReplacing(const std::string& path, const void* data, size_t size, bool durable) {
    std::string temp;
    if (!WriteTemporaryFile(path, data, size, durable, temp)) return false;
    if (!ReplaceWithTemporaryFile(temp, path)) {
        DiscardTemporaryFile(temp);
        return false;
    }
    if (durable) SyncFolder(FolderOfPath(path));
    return true;
}

void FailFileWritesAfter(int64_t bytes, bool asCrash) {
    Injection& inj = Inject();
    inj.budget = bytes < 0 ? -1 : bytes;
    inj.asCrash = bytes >= 0 && asCrash;
    inj.crashed = false;
}

} // namespace vek
