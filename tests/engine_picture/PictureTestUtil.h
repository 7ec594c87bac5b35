// Helpers for the picture engine tests: deterministic random rasters, pixel access by picture
// coordinates, and recording fakes for the history, store and display interfaces.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "engine/picture/c_TesLayer_Gfx.h"
#include "engine/picture/c_TesPic.h"

namespace pictest {

inline std::unique_ptr<c_TesLayer_Gfx> MakeGfx(int32_t w, int32_t h) {
    auto l = std::make_unique<c_TesLayer_Gfx>();
    l->Create(0, 0, w, h);
    return l;
}

inline float* Px(c_TesLayer& l, int32_t x, int32_t y) {
    return l.Pixels() + (static_cast<size_t>(y - l.y) * l.width + (x - l.x)) * l.channels;
}

inline void SetPx(c_TesLayer& l, int32_t x, int32_t y, float r, float g, float b, float a) {
    float* p = Px(l, x, y);
    p[0] = r, p[1] = g, p[2] = b, p[3] = a;
}

// Fills a rectangle of a colour layer with random colours; alpha is 0 with probability 1/4 so
// that transparent pixels appear inside content too.
inline void FillRandom(c_TesLayer& l, std::mt19937& rng, int32_t x0, int32_t y0, int32_t w, int32_t h) {
    std::uniform_real_distribution<float> u(0.0f, 1.0f);
    for (int32_t y = y0; y < y0 + h; ++y)
        for (int32_t x = x0; x < x0 + w; ++x) {
            float* p = Px(l, x, y);
            for (int c = 0; c < l.channels; ++c)
                p[c] = u(rng) * 1.5f;
            if (l.channels == 4) p[3] = (rng() % 4 == 0) ? 0.0f : u(rng);
        }
}

inline std::vector<uint8_t> Bytes(const vek::MemBlock& b) {
    const uint8_t* p = b.As<uint8_t>();
    return std::vector<uint8_t>(p, p + b.Size());
}

struct FakeHistory : cTes_PicHistory {
    std::vector<std::pair<int, int>>* log;
    explicit FakeHistory(std::vector<std::pair<int, int>>* l) : log(l) {}
    bool Record(int32_t kind, int32_t target) override {
        log->push_back({kind, target});
        return true;
    }
};

struct FakeDisplay : cTes_PicDisplay {
    int regions = 0, redraws = 0, uploads = 0, releases = 0;
    void RegionChanged(c_TesPic&, int32_t, int32_t, int32_t, int32_t) override { ++regions; }
    void RedrawAll(c_TesPic&) override { ++redraws; }
    void UploadThumbnail(c_TesPic&, int32_t, const uint32_t*, int32_t, int32_t) override { ++uploads; }
    void ReleaseThumbnails(c_TesPic&) override { ++releases; }
};

// A store that keeps "files" in memory: the pixel block of every layer id saved with Keep().
struct FakeStore : cTes_PicStore {
    std::vector<std::pair<int32_t, std::vector<uint8_t>>> files;
    std::vector<int32_t> deleted;
    int saves = 0, loads = 0;
    void Keep(const c_TesLayer& l) { files.push_back({l.id, Bytes(l.pixels)}); }
    bool LoadPixels(c_TesPic&, const c_TesLayer& of, c_TesLayer& target) override {
        ++loads;
        for (auto& f : files)
            if (f.first == of.id) {
                target.pixels.Alloc(f.second.size());
                std::memcpy(target.pixels.Data(), f.second.data(), f.second.size());
                target.bytesPerChannel = 4;
                return true;
            }
        target.bytesPerChannel = 0;
        return false;
    }
    bool SavePending(c_TesPic&) override { return ++saves, true; }
    void DeleteFiles(c_TesPic&, const c_TesLayer& l) override { deleted.push_back(l.id); }
};

// A picture with a recording history, store and display.
struct Scene {
    std::vector<std::pair<int, int>> log;
    FakeStore store;
    FakeDisplay display;
    std::unique_ptr<c_TesPic> pic;
    Scene(int32_t w, int32_t h) : pic(std::make_unique<c_TesPic>(w, h, std::make_unique<FakeHistory>(&log))) {
        pic->store = &store, pic->display = &display;
    }
};

} // namespace pictest
