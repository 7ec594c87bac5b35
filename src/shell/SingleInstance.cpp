// Advisory file lock that keeps a second copy of the program from running.
#include "shell/SingleInstance.h"

#include "shell/FolderService.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace vek::shell {

SingleInstance::~SingleInstance() { Release(); }

std::string SingleInstance::LockFolder() {
    const char* run = std::getenv("XDG_RUNTIME_DIR");
    if (run && *run == '/' && FolderService::IsDirectory(run)) return run;
    const std::string data = FolderService::Get().UserDataFolder();
    FolderService::MakePath(data);
    return data;
}

std::string SingleInstance::NameForTitle(const std::string& title) {
    const size_t space = title.rfind(' ');
    return "VekstalApp" + (space == std::string::npos ? title : title.substr(0, space));
}

SingleInstance::Result SingleInstance::Acquire(const std::string& name) {
    Release();
    const std::string path = LockFolder() + "/" + name;
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return kNoLock;
    int r;
    do {
        r = flock(fd, LOCK_EX | LOCK_NB);
    } while (r != 0 && errno == EINTR);
    if (r != 0) {
        const bool held = errno == EWOULDBLOCK;
        close(fd);
        return held ? kAlreadyRunning : kNoLock;
    }
    fd_ = fd;
    return kFirst;
}

void SingleInstance::Release() {
    if (fd_ < 0) return;
    close(fd_); // closing the only descriptor drops the lock
    fd_ = -1;
}

} // namespace vek::shell
