// The single-instance rule: an advisory lock (flock) on a lock file named after the program,
// in $XDG_RUNTIME_DIR or, without one, in the per-user data folder. The lock lives as long as the
// object (or the process); the kernel drops it when the process ends, however it ends.
#pragma once

#include <string>

namespace vek::shell {

class SingleInstance {
public:
    enum Result {
        kFirst,         // this process holds the lock
        kAlreadyRunning, // another process holds it
        kNoLock,        // no lock file could be made; the program runs unguarded
    };

    SingleInstance() = default;
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // `name` is the lock file's name, e.g. "VekstalAppScribbix".
    Result Acquire(const std::string& name);
    void Release();

    // The folder the lock file goes into.
    static std::string LockFolder();
    // "VekstalApp" followed by the window title cut at its last space.
    static std::string NameForTitle(const std::string& title);

private:
    int fd_ = -1;
};

} // namespace vek::shell
