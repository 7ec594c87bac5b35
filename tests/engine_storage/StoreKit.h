// Helpers shared by the store and history tests: pictures with painted rectangles (painted the way
// a tool does: backup, pixels, changed region, history record, commit), raw pixel snapshots and a
// portfolio rooted in the test's own data folder.
#pragma once

#include "engine/picture/c_TesPic.h"
#include "engine/storage/c_TesPortfolio.h"
#include "shell/FolderService.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace sxtest {

// The per-user data folder and the program's portfolio path below it.
class TestPortfolio : public c_TesPortfolio {
  public:
    using c_TesPortfolio::c_TesPortfolio;
    bool EnterPortfolioFolder(bool create) override {
        return folders_.GoTo(3) && folders_.Enter("Vekstal/Scribbix_Stuff/Portfolio", create);
    }
    std::string Root() {
        vek::FolderService f;
        f.GoTo(3);
        return f.Current() + "/Vekstal/Scribbix_Stuff/Portfolio";
    }
};

struct Rgba {
    float r, g, b, a;
};

// Paints a rectangle of the current layer as a stroke would, recording a region step when the
// picture has a history.
inline void Stroke(c_TesPic& pic, int32_t x, int32_t y, int32_t w, int32_t h, Rgba c, bool record = true) {
    c_TesLayer* l = pic.currentLayer;
    l->EnsureBackup();
    float* px = l->Pixels();
    for (int32_t j = y; j < y + h; ++j) {
        for (int32_t i = x; i < x + w; ++i) {
            float* p = px + (static_cast<size_t>(j) * l->width + i) * 4;
            p[0] = c.r;
            p[1] = c.g;
            p[2] = c.b;
            p[3] = c.a;
        }
    }
    l->MarkChanged(x, y, w, h);
    if (record && pic.history) pic.history->Record(1, 0);
    l->CommitChanges();
}

// The current layer's raster as bytes, expanded, with its rectangle in front.
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
