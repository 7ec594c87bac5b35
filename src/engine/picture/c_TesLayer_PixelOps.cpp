// Whole-raster and rectangle operations every layer kind shares: scrolling with wrap-around,
// mirroring, quarter turns, margins, masking by a mono layer, the "Scale Layer" and "Scroll Layer"
// commands and the in-place 8-bit conversion used by display code.
// Operations that can run short of memory stage their result first and change nothing on failure.
#include <algorithm>
#include <cstring>

#include "engine/picture/LayerTransform.h"
#include "engine/picture/c_TesLayer.h"
#include "engine/picture/c_TesPic.h"

namespace {

// The layer commands record the whole layer as a region step of the current layer before they
// change it, then refresh the backup. Transparency protection must not undo the command, so the
// protect region is left as it was. Returns 1 when a step was recorded (to be committed), 0 when
// none is needed, -1 when the backup for it could not be made (the command must not run).
int RecordWholeLayer(c_TesLayer& L) {
    c_TesPic* pic = L.picture;
    if (!pic || pic->currentLayer != &L || !pic->history) return 0;
    if (!L.EnsureBackup()) return -1;
    const s_TesRegion keep = L.protect;
    L.MarkChanged(L.x, L.y, L.width, L.height);
    L.protect = keep;
    pic->history->Record(cTes_PicHistory::kRegion, cTes_PicHistory::kCurrentLayer);
    return 1;
}

void FinishCommand(c_TesLayer& L, int recorded) {
    if (recorded > 0)
        L.CommitChanges();
    else
        L.DropBackup(); // the backup no longer shows the pixels before the next stroke
    if (L.picture) L.picture->RedrawAll();
}

} // namespace

// ---- defaults of the virtual operations ----

void c_TesLayer::ApplyCurve(int32_t count, const float* table) {}

bool c_TesLayer::CopyFrom(const c_TesLayer& source, uint32_t channelFlags) {
    return true;
}

void c_TesLayer::UpdateThumbnail() {
    thumbnail.Free();
}

// ---- raster operations ----

void c_TesLayer::ScrollBy(int32_t dx, int32_t dy) {
    if (!HasPixels() || bytesPerChannel != 4) return;
    if (compacted) {
        const int32_t fw = fullWidth, fh = fullHeight;
        if (fw <= 0 || fh <= 0) return;
        const int32_t nx = tes::WrapIndex(static_cast<int64_t>(x) + dx, fw),
                      ny = tes::WrapIndex(static_cast<int64_t>(y) + dy, fh);
        if (nx + static_cast<int64_t>(width) <= fw && ny + static_cast<int64_t>(height) <= fh) {
            // The content still lies inside the raster: only its place changes.
            x = contentX = nx;
            y = contentY = ny;
            headerDirty = 1;
            pixelsDirty = 1;
            return;
        }
        if (!SetCompact(false)) return;
        ScrollBy(dx, dy);
        SetCompact(true);
        return;
    }
    if (width <= 0 || height <= 0) return;
    const int32_t sx = tes::WrapIndex(dx, width), sy = tes::WrapIndex(dy, height);
    const int64_t ch = channels;
    float* px = Pixels();
    // Rotations in place: pixel x moves to x + sx, row y to y + sy.
    if (sx != 0)
        for (int32_t r = 0; r < height; ++r) {
            float* row = px + r * width * ch;
            std::rotate(row, row + (width - sx) * ch, row + width * ch);
        }
    if (sy != 0) std::rotate(px, px + (height - sy) * width * ch, px + height * width * ch);
    headerDirty = 1;
    pixelsDirty = 1;
}

void c_TesLayer::Flip(int32_t flags) {
    tes::FlipLayerInPlace(*this, flags);
}

bool c_TesLayer::Turn(int32_t quarterTurns) {
    tes::s_LayerStage stage;
    if (!tes::StageTurn(*this, quarterTurns, true, stage)) return false;
    tes::Publish(stage);
    return true;
}

bool c_TesLayer::AddMargins(int32_t left, int32_t right, int32_t top, int32_t bottom) {
    tes::s_LayerStage stage;
    if (!tes::StageMargins(*this, left, right, top, bottom, true, stage)) return false;
    tes::Publish(stage);
    return true;
}

namespace {

// Runs `op` over the wrapped pieces of the rectangle with the mask's matching values.
template <class Op>
void OverMaskPieces(c_TesLayer& L, int32_t rx, int32_t ry, int32_t rw, int32_t rh, const c_TesLayer* mask,
                    Op op) {
    s_TesRect p[4];
    const int n = tes::SplitWrapped(rx - L.x, ry - L.y, rw, rh, L.width, L.height, p);
    for (int i = 0; i < n; ++i) {
        const int64_t start = static_cast<int64_t>(p[i].y) * L.width + p[i].x;
        op(start, p[i].width, p[i].height, mask ? mask->Pixels() + start : nullptr, L.width - p[i].width);
    }
    if (n > 0) {
        L.headerDirty = 1;
        L.pixelsDirty = 1;
    }
}

bool MaskUsable(const c_TesLayer& L, const c_TesLayer& mask) {
    return mask.HasPixels() && !mask.compacted && mask.bytesPerChannel == 4 && mask.channels == 1 &&
           mask.width == L.width && mask.height == L.height;
}

} // namespace

void c_TesLayer::EraseMasked(int32_t rx, int32_t ry, int32_t rw, int32_t rh, const c_TesLayer& mask) {
    if (rw <= 0 || rh <= 0 || !HasPixels() || compacted || bytesPerChannel != 4 || !MaskUsable(*this, mask))
        return;
    OverMaskPieces(*this, rx, ry, rw, rh, &mask,
                   [this](int64_t start, int32_t w, int32_t h, const float* m, int32_t skip) {
                       EraseByMask(start, w, h, m, skip);
                   });
}

void c_TesLayer::KeepMasked(int32_t rx, int32_t ry, int32_t rw, int32_t rh, const c_TesLayer* mask) {
    if (rw <= 0 || rh <= 0 || !HasPixels() || compacted || bytesPerChannel != 4) return;
    if (mask && !MaskUsable(*this, *mask)) return;
    OverMaskPieces(*this, rx, ry, rw, rh, mask,
                   [this](int64_t start, int32_t w, int32_t h, const float* m, int32_t skip) {
                       KeepByMask(start, w, h, m, skip);
                   });
}

// ---- layer commands ----

bool c_TesLayer::ScaleLayer(int32_t xScalePercent, int32_t yScalePercent) {
    if (!HasPixels() || bytesPerChannel != 4) return false;
    const bool wasCompacted = compacted != 0;
    if (wasCompacted && !SetCompact(false)) return false;
    const int32_t ow = width, oh = height;
    const int32_t nw = static_cast<int32_t>(
        std::clamp<int64_t>(static_cast<int64_t>(std::max(xScalePercent, 0)) * ow / 100, 1, INT32_MAX));
    const int32_t nh = static_cast<int32_t>(
        std::clamp<int64_t>(static_cast<int64_t>(std::max(yScalePercent, 0)) * oh / 100, 1, INT32_MAX));
    // Scaled content centred at the old size; enlarging crops. Both steps are built before anything
    // is recorded or changed.
    tes::s_LayerStage scaled, placed;
    const tes::s_RasterView view = tes::ViewOf(*this);
    if (!tes::StageResampleView(view, false, IsColour(), nw, nh, false, scaled)) {
        if (wasCompacted) SetCompact(true);
        return false;
    }
    if (tes::HasWork(scaled)) {
        const int32_t left = (ow - nw) / 2, right = ow - nw - left;
        const int32_t top = (oh - nh) / 2, bottom = oh - nh - top;
        const float fill = IsColour() ? 0.0f : *fillValue;
        if (!tes::StageMarginsView(tes::ViewOfStage(scaled), false, fill, left, right, top, bottom, false,
                                   placed)) {
            if (wasCompacted) SetCompact(true);
            return false;
        }
        const int recorded = RecordWholeLayer(*this);
        if (recorded < 0) {
            if (wasCompacted) SetCompact(true);
            return false;
        }
        pixels = std::move(tes::HasWork(placed) ? placed.block : scaled.block);
        headerDirty = 1;
        pixelsDirty = 1;
        FinishCommand(*this, recorded);
    }
    if (wasCompacted) SetCompact(true);
    return true;
}

void c_TesLayer::ScrollLayer(int32_t distance, bool left, bool right, bool up, bool down) {
    if (!HasPixels() || bytesPerChannel != 4) return;
    const int64_t dx = (static_cast<int64_t>(right) - left) * distance;
    const int64_t dy = (static_cast<int64_t>(down) - up) * distance;
    const int32_t w = RasterWidth(), h = RasterHeight();
    if (w <= 0 || h <= 0) return;
    const int32_t sx = tes::WrapIndex(dx, w), sy = tes::WrapIndex(dy, h);
    if (sx == 0 && sy == 0) return;
    const int recorded = RecordWholeLayer(*this);
    if (recorded < 0) return;
    ScrollBy(sx, sy);
    FinishCommand(*this, recorded);
}

bool c_TesLayer::ToEightBit() {
    if (!HasPixels() || bytesPerChannel != 4) return false;
    const int64_t n = static_cast<int64_t>(width) * height;
    if (pixels.Size() < static_cast<uint64_t>(n) * channels * 4) return false;
    const float* in = Pixels();
    // Every write lands at or before the first value still to be read.
    if (channels == 4) {
        uint32_t* out = pixels.As<uint32_t>();
        for (int64_t i = 0; i < n; ++i) {
            const float* p = in + i * 4;
            const uint32_t v = tes::ToByte(p[0]) << 24 | tes::ToByte(p[1]) << 16 | tes::ToByte(p[2]) << 8 |
                               tes::ToByte(p[3]);
            out[i] = v;
        }
    } else {
        uint8_t* out = pixels.As<uint8_t>();
        for (int64_t i = 0; i < n; ++i) {
            const float v = in[i];
            out[i] = static_cast<uint8_t>(tes::ToByte(v));
        }
    }
    bytesPerChannel = 1;
    return true;
}
