// The folder service: numbered folder kinds and entering relative paths, creating them on demand.
// It keeps its own current folder as a path instead of changing the process's working directory.
//
// Kinds: 0 start folder's "Data", 1 documents, 2 pictures, 3 and 4 per-user application data,
// 5 all-users application data, 6 start folder, 7 root. Documents and pictures fall back to the
// other user folders and finally the start folder when they do not exist.
#pragma once

#include <string>

namespace vek {

class FolderService {
public:
    // The process-wide service.
    static FolderService& Get();

    // Enters the folder of `kind`; false (current folder unchanged) for an unknown kind or a folder
    // that cannot be found or made.
    bool GoTo(int kind);
    // Enters the per-user configuration folder ($XDG_CONFIG_HOME, default ~/.config), created if
    // missing. The settings live below it.
    bool GoToConfig();
    // Enters `relative` (a leading "/" is allowed) below the current folder. With `create`, missing
    // components are made one at a time. False leaves the current folder unchanged; false also
    // while no folder has been entered yet.
    bool Enter(const std::string& relative, bool create);

    const std::string& Current() const { return current_; }
    // Current folder joined with a file name (leading "/" of the name ignored).
    std::string PathOf(const std::string& name) const;

    // The folder that holds the executable; "Data" beside it holds the resources.
    const std::string& StartFolder();
    void SetStartFolder(const std::string& path) { start_ = path; }

    // Resolved base folders (no side effects except for the per-user data folder, which is created).
    std::string UserDataFolder();
    std::string ConfigFolder();
    // XDG user directory by key ("DOCUMENTS", "PICTURES", "DESKTOP"): the environment variable
    // XDG_<key>_DIR, then $XDG_CONFIG_HOME/user-dirs.dirs, then ~/<fallback>.
    std::string UserDir(const std::string& key, const std::string& fallbackName);

    static bool IsDirectory(const std::string& path);
    // Creates every missing component of an absolute path (false for a relative one).
    static bool MakePath(const std::string& path);

private:
    bool SetIfDirectory(const std::string& path);
    std::string current_;
    std::string start_;
};

} // namespace vek
