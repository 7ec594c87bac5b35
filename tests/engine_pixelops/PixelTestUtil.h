// Small helpers for the layer pixel operation tests: building layers from functions and
// comparing whole layer states (geometry and pixel bytes).
#pragma once

#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <vector>

#include "engine/picture/c_TesLayer_Gfx.h"
#include "engine/picture/c_TesLayer_MonoComp_NoType.h"

struct Px {
    float r, g, b, a;
};

inline std::unique_ptr<c_TesLayer_Gfx> MakeColour(int w, int h, const std::function<Px(int, int)>& f) {
    auto l = std::make_unique<c_TesLayer_Gfx>();
    if (!l->Create(0, 0, w, h)) return nullptr;
    float* p = l->Pixels();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x, p += 4) {
            const Px v = f(x, y);
            p[0] = v.r, p[1] = v.g, p[2] = v.b, p[3] = v.a;
        }
    l->empty = 0;
    return l;
}

inline std::unique_ptr<c_TesLayer_MonoComp_NoType> MakeMono(int w, int h,
                                                            const std::function<float(int, int)>& f) {
    auto l = std::make_unique<c_TesLayer_MonoComp_NoType>();
    if (!l->Create(0, 0, w, h)) return nullptr;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            l->Pixels()[y * w + x] = f(x, y);
    return l;
}

inline Px At(const c_TesLayer& l, int x, int y) {
    const float* p = l.Pixels() + (static_cast<int64_t>(y) * l.width + x) * 4;
    return {p[0], p[1], p[2], p[3]};
}

inline Px RandomPx(std::mt19937& rng) {
    std::uniform_real_distribution<float> u(0.0f, 1.0f);
    const float a = u(rng) < 0.2f ? 0.0f : u(rng);
    return {u(rng) * 2.0f, u(rng), u(rng) - 0.2f, a};
}

// Everything a transform may change: geometry, flags and the pixel bytes.
struct LayerState {
    int32_t x, y, width, height, compacted, fullWidth, fullHeight;
    float outside;
    std::vector<uint8_t> bytes;
    bool operator==(const LayerState& o) const {
        return x == o.x && y == o.y && width == o.width && height == o.height && compacted == o.compacted &&
               fullWidth == o.fullWidth && fullHeight == o.fullHeight && outside == o.outside &&
               bytes == o.bytes;
    }
};

inline LayerState StateOf(const c_TesLayer& l) {
    LayerState s{l.x, l.y, l.width, l.height, l.compacted, l.fullWidth, l.fullHeight, l.outsideValue, {}};
    const size_t n = static_cast<size_t>(l.width) * l.height * l.channels * 4;
    if (l.HasPixels()) s.bytes.assign(l.pixels.As<uint8_t>(), l.pixels.As<uint8_t>() + n);
    return s;
}
