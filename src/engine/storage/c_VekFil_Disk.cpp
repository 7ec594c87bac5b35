// POSIX implementation of the store's file operations. Temporary files are named
// ".<target>.sxtmp<random>" beside their target, so folder scans (which skip hidden names) never
// mistake them for data and DeleteStrayTemporaries can find the ones an interrupted save left.
#include "engine/storage/c_VekFil_Disk.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

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

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool SyncFolder(const std::string& folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = fsync(fd) == 0 || errno == EINVAL; // some file systems cannot sync folders
    close(fd);
    return ok;
}

// Writes all bytes, honouring the failure injection. False on any error.
bool WriteAll(int fd, const uint8_t* p, size_t n) {
    Injection& inj = Inject();
    while (n > 0) {
        size_t chunk = std::min<size_t>(n, size_t(1) << 30);
        bool failHere = false;
        if (inj.budget >= 0) {
            if (static_cast<uint64_t>(inj.budget) < chunk) {
                chunk = static_cast<size_t>(inj.budget);
                failHere = true;
            }
        }
        if (chunk > 0) {
            const ssize_t w = write(fd, p, chunk);
            if (w < 0) {
                if (errno == EINTR) continue;
                return false;
            }
            if (inj.budget >= 0) inj.budget -= w;
            p += w;
            n -= static_cast<size_t>(w);
            if (static_cast<size_t>(w) < chunk) continue;
        }
        if (failHere) {
            if (inj.asCrash) inj.crashed = true;
            errno = ENOSPC;
            return false;
        }
    }
    return true;
}

// Writes a finished temporary file beside `target`; its name goes to `temp`.
bool WriteTemporary(const std::string& target, const void* data, size_t size, bool durable,
                    std::string* temp) {
    if (Inject().crashed) return false;
    std::string name = FolderOf(target) + "/." + BaseOf(target) + kTempMark + "XXXXXX";
    const int fd = mkostemp(&name[0], O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = WriteAll(fd, static_cast<const uint8_t*>(data), size);
    if (ok && durable) ok = fsync(fd) == 0;
    ok = (close(fd) == 0) && ok;
    if (!ok) {
        if (!Inject().crashed) unlink(name.c_str());
        return false;
    }
    fchmodat(AT_FDCWD, name.c_str(), 0644, 0);
    *temp = name;
    return true;
}

// The names in a folder that `keep` accepts, sorted.
template <class Keep> std::vector<std::string> Names(const std::string& folder, Keep keep) {
    std::vector<std::string> out;
    DIR* d = opendir(folder.c_str());
    if (!d) return out;
    while (dirent* e = readdir(d)) {
        if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0 && keep(e->d_name))
            out.emplace_back(e->d_name);
    }
    closedir(d);
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace

bool c_VekFil_Disk::ReadWhole(const std::string& path, vek::MemBlock& out, uint64_t maxBytes) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0 ||
        static_cast<uint64_t>(st.st_size) > maxBytes || static_cast<uint64_t>(st.st_size) > SIZE_MAX / 2) {
        close(fd);
        return false;
    }
    const size_t size = static_cast<size_t>(st.st_size);
    vek::MemBlock block;
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
        got += static_cast<size_t>(r);
    }
    // A file that grew while we read it is not the file we measured either.
    uint8_t extra;
    const bool exact = got == size && read(fd, &extra, 1) == 0;
    close(fd);
    if (!exact) return false;
    out = std::move(block);
    return true;
}

bool c_VekFil_Disk::WriteWhole(const std::string& path, const void* data, size_t size, bool durable) {
    c_VekFil_Batch batch(durable);
    return batch.Add(path, data, size) && batch.Commit();
}

bool c_VekFil_Disk::IsFile(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool c_VekFil_Disk::IsFolder(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

int64_t c_VekFil_Disk::FileSize(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
    return st.st_size;
}

bool c_VekFil_Disk::Delete(const std::string& path) {
    return unlink(path.c_str()) == 0 || errno == ENOENT;
}

bool c_VekFil_Disk::DeleteFilesIn(const std::string& folder) {
    DIR* d = opendir(folder.c_str());
    if (!d) return false;
    bool ok = true;
    while (dirent* e = readdir(d)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        const std::string path = folder + "/" + name;
        struct stat st {};
        if (lstat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) continue;
        if (unlink(path.c_str()) != 0 && errno != ENOENT) ok = false;
    }
    closedir(d);
    return ok;
}

void c_VekFil_Disk::DeleteStrayTemporaries(const std::string& folder) {
    for (const std::string& name : Names(folder, [](const char* n) { return IsTemporaryName(n); }))
        unlink((folder + "/" + name).c_str());
}

bool c_VekFil_Disk::RemoveFolder(const std::string& path) {
    return rmdir(path.c_str()) == 0;
}

bool c_VekFil_Disk::Rename(const std::string& from, const std::string& to) {
    struct stat st {};
    if (lstat(to.c_str(), &st) == 0) return false;
    if (rename(from.c_str(), to.c_str()) != 0) return false;
    SyncFolder(FolderOf(to));
    return true;
}

std::vector<std::string> c_VekFil_Disk::Files(const std::string& folder) {
    return Names(folder, [&](const char* name) { return IsFile(folder + "/" + name); });
}

std::vector<std::string> c_VekFil_Disk::VisibleFolders(const std::string& folder) {
    return Names(folder, [&](const char* name) { return name[0] != '.' && IsFolder(folder + "/" + name); });
}

uint64_t c_VekFil_Disk::FreeBytes(const std::string& folder) {
    struct statvfs sv {};
    if (statvfs(folder.c_str(), &sv) != 0) return 0;
    return static_cast<uint64_t>(sv.f_bavail) * static_cast<uint64_t>(sv.f_frsize);
}

void c_VekFil_Disk::FailWritesAfter(int64_t bytes, bool asCrash) {
    Injection& inj = Inject();
    inj.budget = bytes < 0 ? -1 : bytes;
    inj.asCrash = bytes >= 0 && asCrash;
    inj.crashed = false;
}

bool c_VekFil_Disk::IsTemporaryName(const std::string& name) {
    return !name.empty() && name[0] == '.' && name.find(kTempMark) != std::string::npos;
}

c_VekFil_Batch::~c_VekFil_Batch() {
    if (!committed_) Abandon();
}

void c_VekFil_Batch::Abandon() {
    if (Inject().crashed) return; // a dead process cleans nothing up
    for (const Entry& e : entries_)
        unlink(e.temp.c_str());
    entries_.clear();
}

bool c_VekFil_Batch::Add(const std::string& path, const void* data, size_t size) {
    if (failed_ || committed_) return false;
    Entry e;
    e.target = path;
    if (!WriteTemporary(path, data, size, durable_, &e.temp)) {
        failed_ = true;
        return false;
    }
    entries_.push_back(std::move(e));
    return true;
}

bool c_VekFil_Batch::Commit() {
    if (failed_ || committed_ || Inject().crashed) {
        failed_ = true;
        return false;
    }
    bool ok = true;
    std::vector<std::string> folders;
    for (Entry& e : entries_) {
        if (ok && rename(e.temp.c_str(), e.target.c_str()) == 0) {
            e.temp.clear();
            const std::string f = FolderOf(e.target);
            if (std::find(folders.begin(), folders.end(), f) == folders.end()) folders.push_back(f);
        } else {
            ok = false;
        }
    }
    if (durable_) {
        for (const std::string& f : folders)
            SyncFolder(f);
    }
    for (const Entry& e : entries_) {
        if (!e.temp.empty()) unlink(e.temp.c_str());
    }
    entries_.clear();
    committed_ = true;
    failed_ = !ok;
    return ok;
}
