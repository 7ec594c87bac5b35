#include "shell/FolderService.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace vek {
namespace {

constexpr size_t kMaxComponent = 773;

// $HOME, else the password database's home, else the root (never an empty or relative path).
std::string Home() {
    const char* h = std::getenv("HOME");
    if (h && *h == '/') return h;
    passwd pw{};
    passwd* found = nullptr;
    char buf[4096];
    if (getpwuid_r(getuid(), &pw, buf, sizeof buf, &found) == 0 && found && found->pw_dir &&
        found->pw_dir[0] == '/')
        return found->pw_dir;
    return "/";
}

std::string EnvOr(const char* name, const std::string& fallback) {
    const char* v = std::getenv(name);
    return (v && *v == '/') ? std::string(v) : fallback;
}

std::string Join(const std::string& a, const std::string& b) {
    if (a.empty() || a.back() == '/') return a + b;
    return a + "/" + b;
}

std::vector<std::string> Components(const std::string& path) {
    std::vector<std::string> out;
    size_t i = 0;
    while (i < path.size()) {
        size_t j = path.find('/', i);
        if (j == std::string::npos) j = path.size();
        if (j > i) out.push_back(path.substr(i, j - i));
        i = j + 1;
    }
    return out;
}

// Reads KEY="value" from user-dirs.dirs, expanding a leading $HOME.
std::string FromUserDirsFile(const std::string& configHome, const std::string& var) {
    std::ifstream in(configHome + "/user-dirs.dirs");
    std::string line;
    while (std::getline(in, line)) {
        if (line.compare(0, var.size() + 1, var + "=") != 0) continue;
        std::string v = line.substr(var.size() + 1);
        if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
        if (v.compare(0, 5, "$HOME") == 0) v = Home() + v.substr(5);
        if (!v.empty() && v[0] == '/') return v;
    }
    return {};
}

} // namespace

FolderService& FolderService::Get() {
    static FolderService s;
    return s;
}

bool FolderService::IsDirectory(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool FolderService::MakePath(const std::string& path) {
    if (path.empty() || path[0] != '/') return false;
    std::string at = "/";
    for (const std::string& c : Components(path)) {
        if (c.size() > kMaxComponent) return false;
        at = Join(at, c);
        if (IsDirectory(at)) continue;
        if (mkdir(at.c_str(), 0755) != 0 && !(errno == EEXIST && IsDirectory(at))) return false;
    }
    return true;
}

const std::string& FolderService::StartFolder() {
    if (start_.empty()) {
        char buf[PATH_MAX];
        const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
        if (n > 0) {
            std::string exe(buf, static_cast<size_t>(n));
            const size_t slash = exe.rfind('/');
            start_ = slash == 0 ? "/" : exe.substr(0, slash);
        } else {
            char cwd[PATH_MAX];
            start_ = getcwd(cwd, sizeof cwd) ? cwd : "/";
        }
    }
    return start_;
}

std::string FolderService::UserDataFolder() { return EnvOr("XDG_DATA_HOME", Home() + "/.local/share"); }

std::string FolderService::ConfigFolder() { return EnvOr("XDG_CONFIG_HOME", Home() + "/.config"); }

std::string FolderService::UserDir(const std::string& key, const std::string& fallbackName) {
    const std::string var = "XDG_" + key + "_DIR";
    const char* v = std::getenv(var.c_str());
    if (v && *v == '/') return v;
    const std::string fromFile = FromUserDirsFile(ConfigFolder(), var);
    if (!fromFile.empty()) return fromFile;
    return Home() + "/" + fallbackName;
}

bool FolderService::SetIfDirectory(const std::string& path) {
    if (!IsDirectory(path)) return false;
    current_ = path;
    return true;
}

bool FolderService::GoTo(int kind) {
    const auto docs = [this] { return UserDir("DOCUMENTS", "Documents"); };
    const auto pics = [this] { return UserDir("PICTURES", "Pictures"); };
    const auto desk = [this] { return UserDir("DESKTOP", "Desktop"); };
    switch (kind) {
    case 0:
        return SetIfDirectory(Join(StartFolder(), "Data"));
    case 1:
        return SetIfDirectory(docs()) || SetIfDirectory(desk()) || SetIfDirectory(pics()) ||
               SetIfDirectory(StartFolder());
    case 2:
        return SetIfDirectory(pics()) || SetIfDirectory(docs()) || SetIfDirectory(desk()) ||
               SetIfDirectory(StartFolder());
    case 3:
    case 4: {
        const std::string data = UserDataFolder();
        return MakePath(data) && SetIfDirectory(data);
    }
    case 5: {
        const char* dirs = std::getenv("XDG_DATA_DIRS");
        std::string first = (dirs && *dirs) ? std::string(dirs) : "/usr/local/share";
        first = first.substr(0, first.find(':'));
        if (first.empty() || first[0] != '/') return false;
        return SetIfDirectory(first);
    }
    case 6:
        return SetIfDirectory(StartFolder());
    case 7:
        return SetIfDirectory("/");
    default:
        return false;
    }
}

bool FolderService::GoToConfig() {
    const std::string cfg = ConfigFolder();
    return MakePath(cfg) && SetIfDirectory(cfg);
}

bool FolderService::Enter(const std::string& relative, bool create) {
    // Nothing entered yet: there is no folder to be relative to.
    if (current_.empty()) return false;
    const std::vector<std::string> parts = Components(relative);
    std::string at = current_;
    for (const std::string& c : parts) {
        if (c.size() > kMaxComponent || c == "..") return false;
        if (c == ".") continue;
        at = Join(at, c);
    }
    if (IsDirectory(at)) {
        current_ = at;
        return true;
    }
    if (!create) return false;
    at = current_;
    for (const std::string& c : parts) {
        if (c == ".") continue;
        at = Join(at, c);
        if (IsDirectory(at)) continue;
        if (mkdir(at.c_str(), 0755) != 0 && !(errno == EEXIST && IsDirectory(at))) return false;
    }
    current_ = at;
    return true;
}

std::string FolderService::PathOf(const std::string& name) const {
    const size_t skip = name.find_first_not_of('/');
    return Join(current_, skip == std::string::npos ? std::string() : name.substr(skip));
}

} // namespace vek
