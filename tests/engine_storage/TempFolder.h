// A fresh folder under /tmp per test, pointed at by XDG_DATA_HOME (and HOME) so that nothing a
// test does can reach the real per-user data; removed again when the test ends.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace sxtest {

class TempFolder {
  public:
    TempFolder() {
        char tmpl[] = "/tmp/sx_store_XXXXXX";
        root_ = mkdtemp(tmpl);
        setenv("HOME", root_.c_str(), 1);
        setenv("XDG_DATA_HOME", (root_ + "/data").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (root_ + "/config").c_str(), 1);
        std::filesystem::create_directories(root_ + "/data");
        files_ = root_ + "/files";
        std::filesystem::create_directories(files_);
    }
    ~TempFolder() { std::filesystem::remove_all(root_); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // A scratch folder of its own (beside the data folder).
    const std::string& Root() const { return files_; }
    std::string Path(const std::string& rel) const { return files_ + "/" + rel; }
    std::string DataHome() const { return root_ + "/data"; }

  private:
    std::string root_;
    std::string files_;
};

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(folder, ec)) {
        names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace sxtest
