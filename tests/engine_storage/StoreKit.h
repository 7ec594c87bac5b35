// Helpers shared by the store and history tests: a fresh folder per test under /tmp (HOME and the
// XDG folders point into it, so nothing reaches the real per-user data), file helpers, a started
// portfolio, pictures painted the way a tool paints (backup, pixels, changed region, history
// record, commit) and raw pixel snapshots.
#pragma once

#include "app/Portfolio.h"
#include "engine/picture/c_TesPic.h"
#include "engine/storage/c_VekFil_Disk.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
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
        std::filesystem::create_directories(Root());
    }
    ~TempFolder() { std::filesystem::remove_all(root_); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // A scratch folder beside the data folder, and the program's portfolio in the data folder.
    std::string Root() const { return root_ + "/files"; }
    std::string Path(const std::string& rel) const { return Root() + "/" + rel; }
    std::string Portfolio() const { return root_ + "/data/Vekstal/Scribbix_Stuff/Portfolio"; }

  private:
    std::string root_;
};

// Switches the write-failure injection off when the test ends, however it ends.
struct InjectionOff {
    ~InjectionOff() { c_VekFil_Disk::FailWritesAfter(-1); }
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
    for (const auto& e : std::filesystem::directory_iterator(folder, ec))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A portfolio after the two frames of the loading sequence, as the editor runs them at start.
inline std::unique_ptr<scribbix::Portfolio> Start(int32_t w, int32_t h) {
    auto p = std::make_unique<scribbix::Portfolio>(w, h);
    p->RunLoadingSequence();
    p->RunLoadingSequence();
    return p;
}

struct Rgba {
    float r, g, b, a;
};

// Paints a rectangle of the current layer as a stroke would, recording a region step when the
// picture has a history.
inline void Stroke(c_TesPic& pic, int32_t x, int32_t y, int32_t w, int32_t h, Rgba c, bool record = true) {
    c_TesLayer* l = pic.currentLayer;
    l->EnsureBackup();
    for (int32_t j = y; j < y + h; ++j)
        for (int32_t i = x; i < x + w; ++i) {
            float* p = l->Pixels() + (static_cast<size_t>(j) * l->width + i) * 4;
            p[0] = c.r, p[1] = c.g, p[2] = c.b, p[3] = c.a;
        }
    l->MarkChanged(x, y, w, h);
    if (record && pic.history) pic.history->Record(1, 0);
    l->CommitChanges();
}

// A layer's raster as bytes, expanded, with its rectangle in front.
inline std::vector<uint8_t> Snapshot(const c_TesLayer& l) {
    const int32_t rect[4] = {l.x, l.y, l.width, l.height};
    const size_t bytes = l.HasPixels() ? static_cast<size_t>(l.width) * l.height * l.channels * 4 : 0;
    std::vector<uint8_t> out(sizeof rect + bytes);
    std::memcpy(out.data(), rect, sizeof rect);
    if (bytes) std::memcpy(out.data() + sizeof rect, l.pixels.Data(), bytes);
    return out;
}

inline std::unique_ptr<c_TesPic> NewPicture(int32_t w, int32_t h, const char* name = "Drawing") {
    auto pic = std::make_unique<c_TesPic>(w, h);
    pic->SetName(name);
    pic->AddColourLayer()->SetName("Ink");
    return pic;
}

} // namespace sxtest
