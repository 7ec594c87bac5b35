// Colour layer drawn onto a colour composite target.
// Pixel contract: straight linear RGBA, never clamped; A = source alpha · opacity/100 in single
// precision, and a pixel with A at or below 0 never changes the target. A hidden target is one
// nothing has been drawn into yet: the first layer copies (a blend-mode layer blends against the
// paper colour); later layers blend over it. outA, f, 1 − f and 1 − A are single-precision values.
#include <cstring>

#include "engine/picture/BlendModes.h"
#include "engine/picture/CompositePieces.h"
#include "engine/picture/c_TesLayer_Gfx.h"

namespace {

// Target empty, Normal: D = (S.rgb, A) where A > 0.
void RowCopy(float* d, const float* s, int32_t n, float op) {
    if (op == 1.0f) {
        for (int32_t i = 0; i < n; ++i, d += 4, s += 4) {
            const bool m = s[3] > 0.0f;
            d[0] = m ? s[0] : d[0];
            d[1] = m ? s[1] : d[1];
            d[2] = m ? s[2] : d[2];
            d[3] = m ? s[3] : d[3];
        }
        return;
    }
    for (int32_t i = 0; i < n; ++i, d += 4, s += 4) {
        const float a = s[3] * op;
        const bool m = a > 0.0f;
        d[0] = m ? s[0] : d[0];
        d[1] = m ? s[1] : d[1];
        d[2] = m ? s[2] : d[2];
        d[3] = m ? a : d[3];
    }
}

// Target visible, Normal.
void RowOver(float* d, const float* s, int32_t n, float op) {
    for (int32_t i = 0; i < n; ++i, d += 4, s += 4) {
        const float a = s[3] * op;
        if (!(a > 0.0f)) continue;
        const float oneMinusA = 1.0f - a;
        const float outA = a + oneMinusA * d[3];
        const float f = a / outA;
        const float g = 1.0f - f;
        d[0] = s[0] * f + d[0] * g;
        d[1] = s[1] * f + d[1] * g;
        d[2] = s[2] * f + d[2] * g;
        d[3] = outA;
    }
}

// Target empty, blend mode: D.rgb = blend(paper, S.rgb), D.alpha = A where A > 0.
void RowBlendOnPaper(float* d, const float* s, int32_t n, float op, t_TesBlendFunction fn, const float paper[3]) {
    for (int32_t i = 0; i < n; ++i, d += 4, s += 4) {
        const float a = s[3] * op;
        if (!(a > 0.0f)) continue;
        float r = s[0], g = s[1], b = s[2];
        fn(paper[0], paper[1], paper[2], r, g, b);
        d[0] = r;
        d[1] = g;
        d[2] = b;
        d[3] = a;
    }
}

// Target visible, blend mode: D.rgb = (1 − A)·D.rgb + A·blend(D.rgb, S.rgb) where A > 0 and Da > 0.
void RowBlend(float* d, const float* s, int32_t n, float op, t_TesBlendFunction fn) {
    for (int32_t i = 0; i < n; ++i, d += 4, s += 4) {
        const float a = s[3] * op;
        if (!(a > 0.0f) || !(d[3] > 0.0f)) continue;
        float r = s[0], g = s[1], b = s[2];
        fn(d[0], d[1], d[2], r, g, b);
        const float k = 1.0f - a;
        d[0] = k * d[0] + a * r;
        d[1] = k * d[1] + a * g;
        d[2] = k * d[2] + a * b;
    }
}

// Multiply inline: X = S.rgb · D.rgb (the same single-precision product the blend function gives).
void RowMultiply(float* d, const float* s, int32_t n, float op) {
    for (int32_t i = 0; i < n; ++i, d += 4, s += 4) {
        const float a = s[3] * op;
        if (!(a > 0.0f) || !(d[3] > 0.0f)) continue;
        const float k = 1.0f - a;
        d[0] = k * d[0] + a * (d[0] * s[0]);
        d[1] = k * d[1] + a * (d[1] * s[1]);
        d[2] = k * d[2] + a * (d[2] * s[2]);
    }
}

const float kWhite[3] = {1.0f, 1.0f, 1.0f};

} // namespace

void c_TesLayer_Gfx::CompositeOnto(c_TesLayer_Gfx& target) {
    if (!visible || !HasPixels() || !target.HasPixels()) return;
    const float op = static_cast<float>(opacity) / 100.0f;
    t_TesBlendFunction fn = blendOn && blendMode != 0 ? GetBlendFunction(blendMode) : nullptr;
    const bool multiply = fn && blendMode == kTesBlend_Multiply;
    const bool first = target.visible == 0;
    const float* paper = picture ? picture->paperColour : kWhite;
    const float* src = Pixels();
    float* dst = target.Pixels();
    const int32_t tw = target.width;
    tes::ForEachWindowPiece(*this, target, true,
                            [&](int32_t tx, int32_t ty, int32_t ax, int32_t ay, int32_t w, int32_t h) {
                                for (int32_t r = 0; r < h; ++r) {
                                    float* d = dst + (static_cast<size_t>(ty + r) * tw + tx) * 4;
                                    const float* s = src + (static_cast<size_t>(ay - y + r) * width + (ax - x)) * 4;
                                    if (!fn)
                                        first ? RowCopy(d, s, w, op) : RowOver(d, s, w, op);
                                    else if (first)
                                        RowBlendOnPaper(d, s, w, op, fn, paper);
                                    else if (multiply)
                                        RowMultiply(d, s, w, op);
                                    else
                                        RowBlend(d, s, w, op, fn);
                                }
                            });
    if (first) {
        target.visible = 1;
        target.headerDirty = 1;
    }
}
