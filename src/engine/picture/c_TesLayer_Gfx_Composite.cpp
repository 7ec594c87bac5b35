// Colour layer drawn onto a colour composite target.
// Pixel contract: straight linear RGBA, never clamped; A = source alpha · opacity/100 in single
// precision, and a pixel with A at or below 0 never changes the target. A hidden target is one
// nothing has been drawn into yet: the first layer copies (a blend-mode layer blends against the
// paper colour); later layers blend over it. outA, f, 1 − f and 1 − A are single-precision values.
// Normal and Multiply rows run through the SIMD kernels of CompositeRows.h.
#include <cstring>

#include "engine/picture/BlendModes.h"
#include "engine/picture/CompositePieces.h"
#include "engine/picture/CompositeRows.h"
#include "engine/picture/c_TesLayer_Gfx.h"

namespace {

// Target empty, blend mode: D.rgb = blend(paper, S.rgb), D.alpha = A where A > 0.
void RowBlendOnPaper(float* d, const float* s, int32_t n, float op, t_TesBlendFunction fn,
                     const float paper[3]) {
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

const float kWhite[3] = {1.0f, 1.0f, 1.0f};

} // namespace

void c_TesLayer_Gfx::ResolvePendingClear(int32_t keepX, int32_t keepY, int32_t keepW, int32_t keepH,
                                         const float* paper) {
    if (pendingClearTo <= pendingClearFrom) return;
    float* p = Pixels();
    const size_t row = static_cast<size_t>(width) * 4;
    auto settle = [&](float* at, size_t count) {
        if (!paper) {
            std::memset(at, 0, count * 16);
            return;
        }
        for (size_t i = 0; i < count; ++i, at += 4)
            at[0] = paper[0], at[1] = paper[1], at[2] = paper[2], at[3] = 1.0f;
    };
    for (int32_t r = pendingClearFrom; r < pendingClearTo; ++r) {
        float* line = p + r * row;
        if (keepW <= 0 || r < keepY || r >= keepY + keepH) {
            settle(line, static_cast<size_t>(width));
            continue;
        }
        settle(line, static_cast<size_t>(keepX));
        settle(line + static_cast<size_t>(keepX + keepW) * 4, static_cast<size_t>(width - keepX - keepW));
    }
    pendingClearFrom = pendingClearTo = 0;
}

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

    struct Piece {
        int32_t tx, ty, ax, ay, w, h;
    };
    Piece pieces[16];
    int count = 0;
    tes::ForEachWindowPiece(*this, target, true,
                            [&](int32_t tx, int32_t ty, int32_t ax, int32_t ay, int32_t w, int32_t h) {
                                if (count < 16) pieces[count++] = {tx, ty, ax, ay, w, h};
                            });
    // A Normal layer that meets stale target pixels as one piece writes that piece in full and
    // clears only the rest; anything else clears first.
    // When it is also the last layer over a papered band, it lays the paper in the same pass.
    bool full = false;
    const float* withPaper = nullptr;
    if (target.pendingClearTo > target.pendingClearFrom) {
        if (!fn && count == 1) {
            withPaper = target.compositePaper;
            target.ResolvePendingClear(pieces[0].tx, pieces[0].ty, pieces[0].w, pieces[0].h, withPaper);
            full = true;
            if (withPaper) target.compositePaperLaid = 1;
        } else {
            target.ResolvePendingClear(0, 0, 0, 0);
        }
    }
    for (int i = 0; i < count; ++i) {
        const Piece& p = pieces[i];
        for (int32_t r = 0; r < p.h; ++r) {
            float* d = dst + (static_cast<size_t>(p.ty + r) * tw + p.tx) * 4;
            const float* s = src + (static_cast<size_t>(p.ay - y + r) * width + (p.ax - x)) * 4;
            if (withPaper)
                tes::RowCopyFullPaper(d, s, p.w, op, withPaper);
            else if (!fn)
                full    ? tes::RowCopyFull(d, s, p.w, op)
                : first ? tes::RowCopy(d, s, p.w, op)
                        : tes::RowOver(d, s, p.w, op);
            else if (first)
                RowBlendOnPaper(d, s, p.w, op, fn, paper);
            else if (multiply)
                tes::RowMultiply(d, s, p.w, op);
            else
                RowBlend(d, s, p.w, op, fn);
        }
    }
    if (first) {
        target.visible = 1;
        target.headerDirty = 1;
    }
}
