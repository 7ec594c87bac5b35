// The selection mask: fill value 1.0 (not selected), draws nothing into the composite, and gives
// the editor its outline map and the crop its bounding box.
#include "engine/picture/cTes_Layer_Selection.h"

#include <algorithm>

#include "engine/picture/c_TesPic.h"

namespace {
const float kOne = 1.0f;
} // namespace

cTes_Layer_Selection::cTes_Layer_Selection() : cTes_Layer_Mask(6, 0, &kOne) {}

cTes_Layer_Selection::~cTes_Layer_Selection() = default;

std::unique_ptr<c_TesLayer_MonoComp_NoType> cTes_Layer_Selection::MakeSame() const {
    return std::make_unique<cTes_Layer_Selection>();
}

void cTes_Layer_Selection::CompositeOnto(c_TesLayer_Gfx& target) {}

void cTes_Layer_Selection::ApplyToComposite(float* target, int32_t targetRowSkip, const float* mask,
                                            int32_t maskRowSkip, int32_t w, int32_t h, int32_t op) {}

void cTes_Layer_Selection::BuildOutline(c_TesLayer& target, int32_t rx, int32_t ry, int32_t rw,
                                        int32_t rh) const {
    if (!visible || !HasPixels() || compacted || target.compacted || !target.HasPixels()) return;
    if (target.width < width || target.height < height) return;
    const int32_t x0 = std::max(rx - x, 0), y0 = std::max(ry - y, 0);
    const int32_t x1 = std::min(rx - x + rw, width), y1 = std::min(ry - y + rh, height);
    if (x1 <= x0 || y1 <= y0) return;
    const bool wrap = picture && picture->repeatX;
    const float* v = Pixels();
    uint8_t* out = target.pixels.As<uint8_t>();
    for (int32_t r = y0; r < y1; ++r) {
        const float* row = v + static_cast<size_t>(r) * width;
        uint8_t* o = out + static_cast<size_t>(r) * target.width;
        for (int32_t c = x0; c < x1; ++c) {
            const float left = c > 0 ? row[c - 1] : (wrap ? row[width - 1] : 1.0f);
            const float right = c < width - 1 ? row[c + 1] : (wrap ? row[0] : 1.0f);
            o[c] = OutlineMark(left, row[c], right);
        }
    }
}

uint8_t cTes_Layer_Selection::OutlineMark(float a, float b, float c) {
    const float lo = std::min(a, std::min(b, c)), hi = std::max(a, std::max(b, c));
    if (lo <= 0.0f && 0.0f < hi) return 255;
    if (lo < 0.5f && 0.5f <= hi) return 128;
    if (lo < 1.0f && 1.0f <= hi) return 64;
    return 0;
}

void cTes_Layer_Selection::SelectionBounds(int32_t& bx, int32_t& by, int32_t& bw, int32_t& bh) const {
    if (!HasPixels()) {
        bx = compacted ? 0 : x;
        by = compacted ? 0 : y;
        bw = RasterWidth();
        bh = RasterHeight();
        return;
    }
    if (compacted && outsideValue < 1.0f && (width != fullWidth || height != fullHeight)) {
        // Everything around the content is (partly) selected.
        bx = 0;
        by = 0;
        bw = fullWidth;
        bh = fullHeight;
        return;
    }
    const float* v = Pixels();
    int32_t left = width, right = -1, top = -1, bottom = -1;
    for (int32_t r = 0; r < height; ++r) {
        const float* row = v + static_cast<size_t>(r) * width;
        for (int32_t c = 0; c < width; ++c)
            if (row[c] < 1.0f) {
                if (top < 0) top = r;
                bottom = r;
                left = std::min(left, c);
                right = std::max(right, c);
            }
    }
    if (top < 0) {
        bx = by = bw = bh = 0;
        return;
    }
    bx = x + left;
    by = y + top;
    bw = right - left + 1;
    bh = bottom - top + 1;
}
