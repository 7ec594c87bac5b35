// Staged whole-raster transforms: exact-area resampling (colour weighted by alpha, mono by area
// alone), quarter turns, margins and mirroring, with compacted layers kept compacted.
// Resample sums in double and rounds each result once. In-place work is chosen only where the
// result never overwrites a source value still to be read (shrinking resample row by row, pure
// crops moving data toward the start, half turns by reversal).
#include "engine/picture/LayerTransform.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tes {

namespace {

bool AllocFloats(vek::MemBlock& block, int64_t count) {
    if (count < 1) count = 1;
    if (static_cast<uint64_t>(count) > SIZE_MAX / 8) return false;
    return block.Alloc(static_cast<size_t>(count) * 4);
}

// Gives back unused bytes at the end of a block. A failed shrink keeps the larger block, whose
// leading bytes are already the right pixels.
void ShrinkTo(vek::MemBlock& block, int64_t floats) {
    const size_t bytes = static_cast<size_t>(std::max<int64_t>(floats, 1)) * 4;
    if (block.Size() > bytes) block.Resize(bytes);
}

int32_t FloorToInt(double v) {
    return static_cast<int32_t>(std::floor(v));
}
int32_t CeilToInt(double v) {
    return static_cast<int32_t>(std::ceil(v));
}

// Target pixels (c0 .. c0 + cw) × (r0 .. r0 + rh) of the source scaled to nw × nh, written into
// `out` with row stride cw. Each target pixel covers [c·fw/nw, (c+1)·fw/nw) × [r·fh/nh, (r+1)·fh/nh)
// of the source, and every source pixel contributes its exact overlap area. `out` may be the source
// block itself when shrinking from (0, 0): every write lands at or before the first value the
// remaining targets read.
void ResampleKernel(const s_RasterView& v, bool alphaWeighted, int32_t nw, int32_t nh, int32_t c0, int32_t r0,
                    int32_t cw, int32_t rh, float* out) {
    const double area = (static_cast<double>(v.fw) / nw) * (static_cast<double>(v.fh) / nh);
    const int32_t bx1 = v.bx + v.bw, by1 = v.by + v.bh;
    for (int32_t r = 0; r < rh; ++r) {
        const int64_t row = static_cast<int64_t>(r0) + r;
        const double y0 = static_cast<double>(row) * v.fh / nh;
        const double y1 = static_cast<double>(row + 1) * v.fh / nh;
        const int32_t j0 = std::max(FloorToInt(y0), v.by), j1 = std::min(CeilToInt(y1), by1);
        float* o = out + static_cast<int64_t>(r) * cw * v.channels;
        for (int32_t c = 0; c < cw; ++c) {
            const int64_t col = static_cast<int64_t>(c0) + c;
            const double x0 = static_cast<double>(col) * v.fw / nw;
            const double x1 = static_cast<double>(col + 1) * v.fw / nw;
            const int32_t i0 = std::max(FloorToInt(x0), v.bx), i1 = std::min(CeilToInt(x1), bx1);
            if (alphaWeighted) {
                double sw = 0.0, sr = 0.0, sg = 0.0, sb = 0.0;
                for (int32_t j = j0; j < j1; ++j) {
                    const double wy = std::min(y1, j + 1.0) - std::max(y0, static_cast<double>(j));
                    const float* p = v.block + (static_cast<int64_t>(j - v.by) * v.bw + (i0 - v.bx)) * 4;
                    for (int32_t i = i0; i < i1; ++i, p += 4) {
                        // Pixels without alpha carry no colour and no coverage.
                        if (!(p[3] > 0.0f)) continue;
                        const double wx = std::min(x1, i + 1.0) - std::max(x0, static_cast<double>(i));
                        const double w = wx * wy * p[3];
                        sw += w;
                        sr += w * p[0];
                        sg += w * p[1];
                        sb += w * p[2];
                    }
                }
                float* t = o + static_cast<int64_t>(c) * 4;
                if (sw > 0.0) {
                    t[0] = static_cast<float>(sr / sw);
                    t[1] = static_cast<float>(sg / sw);
                    t[2] = static_cast<float>(sb / sw);
                    t[3] = static_cast<float>(sw / area);
                } else {
                    t[0] = t[1] = t[2] = t[3] = 0.0f;
                }
            } else {
                // Sum of the differences from the outside value, so area outside the block adds
                // exactly the outside value.
                double s = 0.0;
                for (int32_t j = j0; j < j1; ++j) {
                    const double wy = std::min(y1, j + 1.0) - std::max(y0, static_cast<double>(j));
                    const float* p = v.block + static_cast<int64_t>(j - v.by) * v.bw + (i0 - v.bx);
                    for (int32_t i = i0; i < i1; ++i, ++p) {
                        const double wx = std::min(x1, i + 1.0) - std::max(x0, static_cast<double>(i));
                        s += wx * wy * (static_cast<double>(*p) - v.outside);
                    }
                }
                o[c] = static_cast<float>(v.outside + s / area);
            }
        }
    }
}

// Copies a w × h block turned by q quarter turns clockwise into `out`, in tiles so that both
// sides stay in cache.
template <int kCh> void TurnKernel(const float* in, int32_t w, int32_t h, int q, float* out) {
    const int32_t ow = (q & 1) ? h : w, oh = (q & 1) ? w : h;
    constexpr int32_t kTile = 32;
    for (int32_t ty = 0; ty < oh; ty += kTile)
        for (int32_t tx = 0; tx < ow; tx += kTile) {
            const int32_t ey = std::min(ty + kTile, oh), ex = std::min(tx + kTile, ow);
            for (int32_t y = ty; y < ey; ++y) {
                float* o = out + (static_cast<int64_t>(y) * ow + tx) * kCh;
                for (int32_t x = tx; x < ex; ++x, o += kCh) {
                    int32_t sx, sy;
                    if (q == 1) { // the left column, read from the bottom up, becomes the top row
                        sx = y;
                        sy = h - 1 - x;
                    } else if (q == 3) {
                        sx = w - 1 - y;
                        sy = x;
                    } else {
                        sx = w - 1 - x;
                        sy = h - 1 - y;
                    }
                    const float* s = in + (static_cast<int64_t>(sy) * w + sx) * kCh;
                    for (int k = 0; k < kCh; ++k)
                        o[k] = s[k];
                }
            }
        }
}

void ReversePixels(float* p, int64_t count, int ch) {
    if (ch == 1) {
        std::reverse(p, p + count);
        return;
    }
    for (int64_t a = 0, b = count - 1; a < b; ++a, --b)
        std::swap_ranges(p + a * ch, p + a * ch + ch, p + b * ch);
}

void FillFloats(float* p, int64_t count, float v) {
    std::fill(p, p + count, v);
}

// Shrinks a compacted layer's block to the bounding box of its content (colour alpha above 0,
// mono values other than the outside value), as compaction would; no content leaves the single
// top-left pixel of the raster and sets empty.
void TrimCompacted(c_TesLayer& L) {
    const int ch = L.channels;
    float* px = L.Pixels();
    int32_t left = L.width, right = -1, top = -1, bottom = -1;
    for (int32_t r = 0; r < L.height; ++r) {
        const float* row = px + static_cast<int64_t>(r) * L.width * ch;
        for (int32_t c = 0; c < L.width; ++c) {
            const bool content = ch == 4 ? row[c * 4 + 3] > 0.0f : row[c] != L.outsideValue;
            if (!content) continue;
            if (top < 0) top = r;
            bottom = r;
            left = std::min(left, c);
            right = std::max(right, c);
        }
    }
    int32_t cx, cy, cw, chh;
    if (top < 0) {
        for (int k = 0; k < ch; ++k)
            px[k] = ch == 4 ? 0.0f : L.outsideValue;
        cx = -L.x;
        cy = -L.y;
        cw = chh = 1;
        L.empty = 1;
    } else {
        cx = left;
        cy = top;
        cw = right - left + 1;
        chh = bottom - top + 1;
        L.empty = 0;
        if (cw != L.width || chh != L.height)
            for (int32_t r = 0; r < chh; ++r)
                std::memmove(px + static_cast<int64_t>(r) * cw * ch,
                             px + (static_cast<int64_t>(cy + r) * L.width + cx) * ch,
                             static_cast<size_t>(cw) * ch * 4);
    }
    if (cw != L.width || chh != L.height) ShrinkTo(L.pixels, static_cast<int64_t>(cw) * chh * ch);
    L.x += cx;
    L.y += cy;
    L.width = cw;
    L.height = chh;
    L.contentX = L.x;
    L.contentY = L.y;
    L.contentWidth = cw;
    L.contentHeight = chh;
}

bool NoPixels(const s_RasterView& v) {
    return !v.block || v.fw <= 0 || v.fh <= 0 || v.bw <= 0 || v.bh <= 0;
}

} // namespace

s_RasterView ViewOf(const c_TesLayer& layer) {
    s_RasterView v;
    v.block = layer.HasPixels() && layer.bytesPerChannel == 4 ? layer.Pixels() : nullptr;
    v.channels = layer.channels;
    v.bw = layer.width;
    v.bh = layer.height;
    if (layer.compacted) {
        v.bx = layer.x;
        v.by = layer.y;
        v.fw = layer.fullWidth;
        v.fh = layer.fullHeight;
        v.outside = layer.IsColour() ? 0.0f : layer.outsideValue;
    } else {
        v.fw = layer.width;
        v.fh = layer.height;
    }
    // A block smaller than its rectangle (damaged record) is treated as no pixels.
    if (v.block && layer.pixels.Size() < static_cast<uint64_t>(v.bw) * v.bh * v.channels * 4)
        v.block = nullptr;
    return v;
}

bool StageResample(c_TesLayer& L, int32_t nw, int32_t nh, bool allowInPlace, s_LayerStage& s) {
    s.layer = &L;
    return StageResampleView(ViewOf(L), L.compacted != 0, L.IsColour(), nw, nh, allowInPlace, s);
}

bool StageResampleView(const s_RasterView& v, bool compacted, bool alphaWeighted, int32_t nw, int32_t nh,
                       bool allowInPlace, s_LayerStage& s) {
    if (NoPixels(v)) return true;
    nw = std::max(nw, 1);
    nh = std::max(nh, 1);
    if (nw == v.fw && nh == v.fh) return true; // exact identity
    s.source = v;
    s.alphaWeighted = alphaWeighted;
    s.compacted = compacted;
    s.fw = nw;
    s.fh = nh;
    s.outside = v.outside;
    if (!s.compacted) {
        s.bx = s.by = 0;
        s.bw = nw;
        s.bh = nh;
        if (allowInPlace && nw <= v.fw && nh <= v.fh) {
            s.inPlace = kInPlaceResample;
            return true;
        }
    } else {
        // The target pixels whose area meets the content rectangle; the rest stay outside.
        const int64_t c0 = static_cast<int64_t>(v.bx) * nw / v.fw;
        const int64_t c1 = (static_cast<int64_t>(v.bx + v.bw) * nw + v.fw - 1) / v.fw;
        const int64_t r0 = static_cast<int64_t>(v.by) * nh / v.fh;
        const int64_t r1 = (static_cast<int64_t>(v.by + v.bh) * nh + v.fh - 1) / v.fh;
        s.bx = static_cast<int32_t>(std::clamp<int64_t>(c0, 0, nw - 1));
        s.by = static_cast<int32_t>(std::clamp<int64_t>(r0, 0, nh - 1));
        s.bw = static_cast<int32_t>(std::clamp<int64_t>(c1, s.bx + 1, nw) - s.bx);
        s.bh = static_cast<int32_t>(std::clamp<int64_t>(r1, s.by + 1, nh) - s.by);
    }
    vek::MemBlock out;
    if (!AllocFloats(out, static_cast<int64_t>(s.bw) * s.bh * v.channels)) return false;
    ResampleKernel(v, s.alphaWeighted, nw, nh, s.bx, s.by, s.bw, s.bh, out.As<float>());
    s.block = std::move(out);
    return true;
}

bool StageTurn(c_TesLayer& L, int32_t quarterTurns, bool allowInPlace, s_LayerStage& s) {
    s.layer = &L;
    const s_RasterView v = ViewOf(L);
    const int q = ((quarterTurns % 4) + 4) % 4;
    if (NoPixels(v) || q == 0) return true;
    s.source = v;
    s.compacted = L.compacted != 0;
    s.outside = v.outside;
    if (q == 1) {
        s.fw = v.fh;
        s.fh = v.fw;
        s.bx = v.fh - v.by - v.bh;
        s.by = v.bx;
    } else if (q == 3) {
        s.fw = v.fh;
        s.fh = v.fw;
        s.bx = v.by;
        s.by = v.fw - v.bx - v.bw;
    } else {
        s.fw = v.fw;
        s.fh = v.fh;
        s.bx = v.fw - v.bx - v.bw;
        s.by = v.fh - v.by - v.bh;
    }
    s.bw = (q & 1) ? v.bh : v.bw;
    s.bh = (q & 1) ? v.bw : v.bh;
    if (q == 2 && allowInPlace) {
        s.inPlace = kInPlaceHalfTurn;
        return true;
    }
    vek::MemBlock out;
    if (!AllocFloats(out, static_cast<int64_t>(v.bw) * v.bh * v.channels)) return false;
    if (v.channels == 4)
        TurnKernel<4>(v.block, v.bw, v.bh, q, out.As<float>());
    else
        TurnKernel<1>(v.block, v.bw, v.bh, q, out.As<float>());
    s.block = std::move(out);
    return true;
}

bool StageMargins(c_TesLayer& L, int32_t left, int32_t right, int32_t top, int32_t bottom, bool allowInPlace,
                  s_LayerStage& s) {
    s.layer = &L;
    return StageMarginsView(ViewOf(L), L.compacted != 0, L.IsColour() ? 0.0f : *L.fillValue, left, right, top,
                            bottom, allowInPlace, s);
}

bool StageMarginsView(const s_RasterView& v, bool compacted, float fill, int32_t left, int32_t right,
                      int32_t top, int32_t bottom, bool allowInPlace, s_LayerStage& s) {
    if (NoPixels(v)) return true;
    const int64_t nw64 = static_cast<int64_t>(v.fw) + left + right;
    const int64_t nh64 = static_cast<int64_t>(v.fh) + top + bottom;
    if (nw64 < 1 || nh64 < 1 || nw64 > INT32_MAX || nh64 > INT32_MAX) return false;
    if (left == 0 && right == 0 && top == 0 && bottom == 0) return true;
    const int32_t nw = static_cast<int32_t>(nw64), nh = static_cast<int32_t>(nh64);
    const int ch = v.channels;
    s.source = v;
    s.fw = nw;
    s.fh = nh;
    s.compacted = compacted;

    // The old raster's place in the new one, clipped.
    const int64_t ox0 = std::max<int64_t>(left, 0), ox1 = std::min<int64_t>(int64_t(left) + v.fw, nw);
    const int64_t oy0 = std::max<int64_t>(top, 0), oy1 = std::min<int64_t>(int64_t(top) + v.fh, nh);
    const bool oldRemains = ox1 > ox0 && oy1 > oy0;

    // Copies the part of the source block that lands inside (dx, dy, dw, dh) of the new raster
    // into `out` (a dw × dh block already filled).
    auto copyInto = [&](float* out, int64_t dx, int64_t dy, int64_t dw, int64_t dh) {
        const int64_t sx0 = std::max<int64_t>(int64_t(v.bx) + left, dx);
        const int64_t sx1 = std::min<int64_t>(int64_t(v.bx) + v.bw + left, dx + dw);
        const int64_t sy0 = std::max<int64_t>(int64_t(v.by) + top, dy);
        const int64_t sy1 = std::min<int64_t>(int64_t(v.by) + v.bh + top, dy + dh);
        if (sx1 <= sx0 || sy1 <= sy0) return;
        for (int64_t y = sy0; y < sy1; ++y)
            std::memcpy(out + ((y - dy) * dw + (sx0 - dx)) * ch,
                        v.block + ((y - top - v.by) * v.bw + (sx0 - left - v.bx)) * ch,
                        static_cast<size_t>(sx1 - sx0) * ch * 4);
    };

    if (!s.compacted) {
        s.bx = s.by = 0;
        s.bw = nw;
        s.bh = nh;
        s.nothingLeft = !oldRemains;
        s.outside = fill; // what in-place work fills with when nothing is left
        if (allowInPlace && left <= 0 && right <= 0 && top <= 0 && bottom <= 0) {
            s.inPlace = kInPlaceCrop;
            s.cropLeft = -left;
            s.cropTop = -top;
            return true;
        }
        vek::MemBlock out;
        if (!AllocFloats(out, int64_t(nw) * nh * ch)) return false;
        FillFloats(out.As<float>(), int64_t(nw) * nh * ch, fill);
        copyInto(out.As<float>(), 0, 0, nw, nh);
        s.block = std::move(out);
        return true;
    }

    // Compacted: only the content moves, unless a mono layer's outside value differs from the fill
    // and new area appears: then the old raster's whole area must be held with its outside value.
    const bool grows = !(ox0 == 0 && oy0 == 0 && ox1 == nw && oy1 == nh);
    int64_t dx, dy, dw, dh;
    float blockFill;
    if (ch == 1 && grows && v.outside != fill && oldRemains) {
        dx = ox0;
        dy = oy0;
        dw = ox1 - ox0;
        dh = oy1 - oy0;
        blockFill = v.outside;
        s.outside = fill;
    } else {
        s.outside = grows ? fill : v.outside;
        if (ch == 1 && grows && !oldRemains) s.outside = fill;
        dx = std::max<int64_t>(int64_t(v.bx) + left, 0);
        dy = std::max<int64_t>(int64_t(v.by) + top, 0);
        dw = std::min<int64_t>(int64_t(v.bx) + v.bw + left, nw) - dx;
        dh = std::min<int64_t>(int64_t(v.by) + v.bh + top, nh) - dy;
        blockFill = s.outside;
        if (dw <= 0 || dh <= 0) {
            // Nothing of the content remains: one pixel of the outside value at the top left.
            dx = dy = 0;
            dw = dh = 1;
            s.nothingLeft = true;
        }
    }
    vek::MemBlock out;
    if (!AllocFloats(out, dw * dh * ch)) return false;
    FillFloats(out.As<float>(), dw * dh * ch, ch == 4 ? 0.0f : blockFill);
    if (!s.nothingLeft) copyInto(out.As<float>(), dx, dy, dw, dh);
    s.block = std::move(out);
    s.bx = static_cast<int32_t>(dx);
    s.by = static_cast<int32_t>(dy);
    s.bw = static_cast<int32_t>(dw);
    s.bh = static_cast<int32_t>(dh);
    return true;
}

s_RasterView ViewOfStage(const s_LayerStage& s) {
    s_RasterView v;
    v.block = s.block.As<float>();
    v.channels = s.source.channels;
    v.bx = s.bx;
    v.by = s.by;
    v.bw = s.bw;
    v.bh = s.bh;
    v.fw = s.fw;
    v.fh = s.fh;
    v.outside = s.outside;
    return v;
}

bool HasWork(const s_LayerStage& s) {
    return s.source.block != nullptr;
}

void Publish(s_LayerStage& s) {
    if (!s.layer || !s.source.block) return; // nothing to do
    c_TesLayer& L = *s.layer;
    const int ch = L.channels;
    switch (s.inPlace) {
    case kInPlaceResample:
        ResampleKernel(s.source, s.alphaWeighted, s.fw, s.fh, 0, 0, s.fw, s.fh, L.Pixels());
        ShrinkTo(L.pixels, int64_t(s.fw) * s.fh * ch);
        break;
    case kInPlaceCrop: {
        float* px = L.Pixels();
        if (s.nothingLeft) {
            FillFloats(px, int64_t(s.fw) * s.fh * ch, s.outside);
        } else {
            // Rows move toward the start only: the kept area begins at (cropLeft, cropTop).
            for (int32_t r = 0; r < s.fh; ++r)
                std::memmove(px + int64_t(r) * s.fw * ch,
                             px + (int64_t(r + s.cropTop) * s.source.bw + s.cropLeft) * ch,
                             static_cast<size_t>(s.fw) * ch * 4);
        }
        ShrinkTo(L.pixels, int64_t(s.fw) * s.fh * ch);
        break;
    }
    case kInPlaceHalfTurn:
        ReversePixels(L.Pixels(), int64_t(s.source.bw) * s.source.bh, ch);
        break;
    case kNoInPlaceWork:
        L.pixels = std::move(s.block);
        break;
    }
    if (s.compacted) {
        L.compacted = 1;
        L.x = s.bx;
        L.y = s.by;
        L.width = s.bw;
        L.height = s.bh;
        L.fullWidth = s.fw;
        L.fullHeight = s.fh;
        if (!L.IsColour()) L.outsideValue = s.outside;
        TrimCompacted(L);
    } else {
        L.width = s.fw;
        L.height = s.fh;
        if (s.nothingLeft) L.empty = 1;
    }
    L.DropBackup();
    L.headerDirty = 1;
    L.pixelsDirty = 1;
    s.source.block = nullptr;
}

bool ExpandToRaster(const s_RasterView& v, vek::MemBlock& out) {
    if (NoPixels(v)) return false;
    const int ch = v.channels;
    vek::MemBlock full;
    if (!AllocFloats(full, int64_t(v.fw) * v.fh * ch)) return false;
    float* f = full.As<float>();
    FillFloats(f, int64_t(v.fw) * v.fh * ch, ch == 4 ? 0.0f : v.outside);
    // Only the part of the block inside the raster is placed.
    const int32_t x0 = std::max(v.bx, 0), x1 = std::min(v.bx + v.bw, v.fw);
    const int32_t y0 = std::max(v.by, 0), y1 = std::min(v.by + v.bh, v.fh);
    for (int32_t y = y0; y < y1 && x1 > x0; ++y)
        std::memcpy(f + (int64_t(y) * v.fw + x0) * ch,
                    v.block + (int64_t(y - v.by) * v.bw + (x0 - v.bx)) * ch,
                    static_cast<size_t>(x1 - x0) * ch * 4);
    out = std::move(full);
    return true;
}

void FlipLayerInPlace(c_TesLayer& L, int32_t flags) {
    const s_RasterView v = ViewOf(L);
    if (NoPixels(v) || (flags & 3) == 0) return;
    const int ch = v.channels;
    float* px = L.Pixels();
    if (flags & 1) {
        for (int32_t r = 0; r < v.bh; ++r)
            ReversePixels(px + int64_t(r) * v.bw * ch, v.bw, ch);
        if (L.compacted) L.x = v.fw - v.bx - v.bw;
    }
    if (flags & 2) {
        const int64_t rowFloats = int64_t(v.bw) * ch;
        for (int32_t a = 0, b = v.bh - 1; a < b; ++a, --b)
            std::swap_ranges(px + a * rowFloats, px + (a + 1) * rowFloats, px + b * rowFloats);
        if (L.compacted) L.y = v.fh - v.by - v.bh;
    }
    if (L.compacted) {
        L.contentX = L.x;
        L.contentY = L.y;
    }
    L.headerDirty = 1;
    L.pixelsDirty = 1;
}

bool SeparableBlur(c_TesLayer& L, int32_t kernelSize, const double* kernel, float* lineBuffer, bool wrapX,
                   bool wrapY, BlurLine line) {
    const bool wasCompacted = L.compacted != 0;
    if (wasCompacted && !L.SetCompact(false)) return false;
    const int ch = L.channels;
    vek::MemBlock own;
    if (!lineBuffer) {
        if (!AllocFloats(own, int64_t(std::max(L.width, L.height)) * ch)) {
            if (wasCompacted) L.SetCompact(true);
            return false;
        }
        lineBuffer = own.As<float>();
    }
    float* px = L.Pixels();
    const int64_t rowFloats = int64_t(L.width) * ch;
    for (int32_t r = 0; r < L.height; ++r) {
        float* row = px + r * rowFloats;
        std::memcpy(lineBuffer, row, static_cast<size_t>(rowFloats) * 4);
        line(lineBuffer, L.width, kernelSize, kernel, wrapX, row, ch);
    }
    for (int32_t c = 0; c < L.width; ++c) {
        float* col = px + int64_t(c) * ch;
        for (int32_t r = 0; r < L.height; ++r)
            std::memcpy(lineBuffer + int64_t(r) * ch, col + r * rowFloats, static_cast<size_t>(ch) * 4);
        line(lineBuffer, L.height, kernelSize, kernel, wrapY, col, rowFloats);
    }
    L.headerDirty = 1;
    L.pixelsDirty = 1;
    if (wasCompacted) L.SetCompact(true);
    return true;
}

bool ContentBounds(const c_TesLayer& L, int32_t& bx, int32_t& by, int32_t& bw, int32_t& bh) {
    if (L.compacted || !L.HasPixels()) {
        bx = L.x;
        by = L.y;
        bw = L.width;
        bh = L.height;
        // Compaction leaves an empty layer as its single top-left pixel and sets empty.
        return !(L.empty && bw <= 1 && bh <= 1);
    }
    const int32_t w = L.width, h = L.height;
    bx = 0;
    by = 0;
    bw = w;
    bh = h;
    if (w <= 0 || h <= 0) return false;
    const float* px = L.Pixels();
    float constant = 0.0f;
    if (!L.IsColour()) {
        if (L.type == 3) return true; // wax never compacts
        const float tl = px[0], tr = px[w - 1], bl = px[int64_t(h - 1) * w],
                    br = px[int64_t(h - 1) * w + w - 1];
        bool found = false;
        // Pairs checked in this order; the last equal pair wins.
        if (tl == bl) found = true, constant = tl;
        if (tr == br) found = true, constant = tr;
        if (tl == tr) found = true, constant = tl;
        if (bl == br) found = true, constant = bl;
        if (!found) return true;
    }
    int32_t left = w, right = -1, top = -1, bottom = -1;
    for (int32_t r = 0; r < h; ++r) {
        const float* row = px + int64_t(r) * w * L.channels;
        for (int32_t c = 0; c < w; ++c) {
            const bool content = L.IsColour() ? row[c * 4 + 3] > 0.0f : row[c] != constant;
            if (!content) continue;
            if (top < 0) top = r;
            bottom = r;
            left = std::min(left, c);
            right = std::max(right, c);
        }
    }
    if (top < 0) {
        bw = bh = 1;
        return false;
    }
    bx = left;
    by = top;
    bw = right - left + 1;
    bh = bottom - top + 1;
    return true;
}

} // namespace tes
