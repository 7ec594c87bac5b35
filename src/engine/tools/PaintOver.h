// The paint-over rule most kernels share, on straight linear RGBA floats (HDR: nothing clamped).
//
// Source S = (rgb, α), coverage m in 0..1, colour P: α' = (1 − m)·α + m; where α' > 0,
// t = m / α' and rgb' = rgb·(1 − t) + P·t; otherwise (also for NaN) the pixel is (0, 0, 0, 0).
// At m = 1 the result is exactly (P, 1).
#pragma once

namespace tes {

inline void PaintOver(const float* s, float m, const float* p, float* d) {
    const float a = (1.0f - m) * s[3] + m;
    if (a > 0.0f) {
        const float t = m / a, u = 1.0f - t;
        d[0] = s[0] * u + p[0] * t;
        d[1] = s[1] * u + p[1] * t;
        d[2] = s[2] * u + p[2] * t;
        d[3] = a;
    } else {
        d[0] = d[1] = d[2] = d[3] = 0.0f;
    }
}

// (P, 1) where the tip is full, else the paint-over rule.
inline void PaintOverOrWrite(const float* s, float m, const float* p, float* d) {
    if (m >= 1.0f) {
        d[0] = p[0];
        d[1] = p[1];
        d[2] = p[2];
        d[3] = 1.0f;
    } else {
        PaintOver(s, m, p, d);
    }
}

} // namespace tes
