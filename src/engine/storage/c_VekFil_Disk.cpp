// POSIX implementation of the store's file operations. Reads and the temporary files of writes go
// through the shell's whole-file writer (one failure injection for every writer of the program);
// folder scans skip the hidden temporary names, DeleteStrayTemporaries removes what a crash left.
#include "engine/storage/c_VekFil_Disk.h"

#include "shell/WholeFile.h"

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
    return vek::ReadWholeFile(path, out, maxBytes);
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
    vek::SyncFolder(vek::FolderOfPath(to));
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
    vek::FailFileWritesAfter(bytes, asCrash);
}

bool c_VekFil_Disk::IsTemporaryName(const std::string& name) {
    return vek::IsTemporaryFileName(name);
}

c_VekFil_Batch::~c_VekFil_Batch() {
    if (!committed_) Abandon();
}

void c_VekFil_Batch::Abandon() {
    for (const Entry& e : entries_)
        vek::DiscardTemporaryFile(e.temp); // kept after a simulated crash: a dead process cleans nothing up
    entries_.clear();
}

bool c_VekFil_Batch::Add(const std::string& path, const void* data, size_t size) {
    if (failed_ || committed_) return false;
    Entry e;
    e.target = path;
    if (!vek::WriteTemporaryFile(path, data, size, durable_, e.temp)) {
        failed_ = true;
        return false;
    }
    entries_.push_back(std::move(e));
    return true;
}

bool c_VekFil_Batch::Commit() {
    if (failed_ || committed_) {
        failed_ = true;
        return false;
    }
    bool ok = true;
    std::vector<std::string> folders;
    for (Entry& e : entries_) {
        if (ok && vek::ReplaceWithTemporaryFile(e.temp, e.target)) {
            e.temp.clear();
            const std::string f = vek::FolderOfPath(e.target);
            if (std::find(folders.begin(), folders.end(), f) == folders.end()) folders.push_back(f);
        } else {
            ok = false;
        }
    }
    if (durable_) {
        for (const std::string& f : folders)
            vek::SyncFolder(f);
    }
    for (const Entry& e : entries_) {
        if (!e.temp.empty()) vek::DiscardTemporaryFile(e.temp);
    }
    entries_.clear();
    committed_ = true;
    failed_ = !ok;
    return ok;
}
