// Axis-aligned rectangles in desktop units (y grows upwards) and the 24-bit colour helpers the
// interface uses. Colours are 0xRRGGBB words, as the look and the text markup store them.
#pragma once

#include <algorithm>
#include <cstdint>

namespace vek::ui {

struct Rect {
    float x0 = 0, y0 = 0, x1 = 0, y1 = 0; // left, bottom, right, top

    static Rect Centred(float cx, float cy, float w, float h) {
        return Rect{cx - w * 0.5f, cy - h * 0.5f, cx + w * 0.5f, cy + h * 0.5f};
    }
    float Width() const { return x1 - x0; }
    float Height() const { return y1 - y0; }
    float CentreX() const { return (x0 + x1) * 0.5f; }
    float CentreY() const { return (y0 + y1) * 0.5f; }
    bool Contains(float x, float y) const { return x >= x0 && x < x1 && y >= y0 && y < y1; }
    Rect Shrunk(float d) const { return Rect{x0 + d, y0 + d, x1 - d, y1 - d}; }
    bool Empty() const { return x1 <= x0 || y1 <= y0; }
    Rect Intersect(const Rect& o) const {
        return Rect{std::max(x0, o.x0), std::max(y0, o.y0), std::min(x1, o.x1), std::min(y1, o.y1)};
    }
};

inline float ColourR(uint32_t rgb) {
    return float((rgb >> 16) & 0xFF) / 255.0f;
}
inline float ColourG(uint32_t rgb) {
    return float((rgb >> 8) & 0xFF) / 255.0f;
}
inline float ColourB(uint32_t rgb) {
    return float(rgb & 0xFF) / 255.0f;
}

// Linear blend of two colours, t in 0..1 (t = 0 gives a).
inline uint32_t MixColour(uint32_t a, uint32_t b, float t) {
    t = std::min(1.0f, std::max(0.0f, t));
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const float ca = float((a >> shift) & 0xFF), cb = float((b >> shift) & 0xFF);
        out |= uint32_t(ca + (cb - ca) * t + 0.5f) << shift;
    }
    return out;
}

} // namespace vek::ui
