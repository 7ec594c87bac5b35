// Whole-raster transforms shared by the layer and picture operations: exact-area resampling,
// quarter turns, margins and mirroring, for expanded and compacted layers alike.
//
// Each transform runs in two steps. Staging does every fallible allocation and leaves the layer
// untouched; publishing installs the result and cannot fail. A picture stages every layer first and
// publishes only when all stages succeeded, so a failed allocation changes nothing. Compacted layers
// are transformed as compacted rasters (content block plus outside value), never expanded.
#pragma once

#include <cstdint>

#include "engine/picture/c_TesLayer.h"
#include "shell/MemBlock.h"

namespace tes {

// A raster as the transforms see it: the block covers (bx, by, bw, bh) of an fw × fh raster; the
// rest is transparent black (colour) or `outside` (mono).
struct s_RasterView {
    const float* block = nullptr;
    int32_t channels = 4;
    int32_t bx = 0, by = 0, bw = 0, bh = 0;
    int32_t fw = 0, fh = 0;
    float outside = 0.0f;
};

// The layer's raster; block null when the layer has no pixels.
s_RasterView ViewOf(const c_TesLayer& layer);

// Work that publishing does in the layer's own block instead of a new one (no allocation).
enum e_InPlaceWork { kNoInPlaceWork, kInPlaceResample, kInPlaceCrop, kInPlaceHalfTurn };

// A transform result waiting to be installed into its layer.
struct s_LayerStage {
    c_TesLayer* layer = nullptr;
    vek::MemBlock block; // the finished pixels, unless in-place work remains
    e_InPlaceWork inPlace = kNoInPlaceWork;
    s_RasterView source; // what in-place work reads (the layer's own block)
    bool alphaWeighted = true;
    int32_t cropLeft = 0, cropTop = 0; // in-place crop: offset of the kept area
    // The result: the block's rectangle in the new raster and the raster size.
    bool compacted = false;
    int32_t bx = 0, by = 0, bw = 0, bh = 0, fw = 0, fh = 0;
    float outside = 0.0f;
    bool nothingLeft = false; // margins cut away the whole old raster
};

// Exact-area scaling to nw × nh (each at least 1). alphaWeighted: colour weighting; otherwise
// plain area averaging (mono). False when the block cannot be allocated.
bool StageResample(c_TesLayer& layer, int32_t nw, int32_t nh, bool allowInPlace, s_LayerStage& stage);
// Quarter turns clockwise (taken modulo 4; 0 stages nothing to do).
bool StageTurn(c_TesLayer& layer, int32_t quarterTurns, bool allowInPlace, s_LayerStage& stage);
// Margins added (positive) or cut (negative) on each side; new area transparent black (colour) or
// the fill value (mono). False when the new raster would be smaller than 1 × 1 or memory runs out.
bool StageMargins(c_TesLayer& layer, int32_t left, int32_t right, int32_t top, int32_t bottom,
                  bool allowInPlace, s_LayerStage& stage);
// The same on a bare raster (chained transforms); in-place work needs stage.layer to own v.block.
bool StageResampleView(const s_RasterView& v, bool compacted, bool alphaWeighted, int32_t nw, int32_t nh,
                       bool allowInPlace, s_LayerStage& stage);
bool StageMarginsView(const s_RasterView& v, bool compacted, float fill, int32_t left, int32_t right,
                      int32_t top, int32_t bottom, bool allowInPlace, s_LayerStage& stage);
// A finished stage (new block, no in-place work) as a raster for the next transform.
s_RasterView ViewOfStage(const s_LayerStage& stage);
// False when the stage has nothing to do (no pixels, identity).
bool HasWork(const s_LayerStage& stage);

// Installs a stage: runs the in-place work or takes over the new block, sets the geometry, trims a
// compacted result to its content, drops the backup (its layout no longer matches), sets header
// and pixels dirty.
void Publish(s_LayerStage& stage);

// The whole fw × fh raster of a view in a new block (the outside filled in). False when memory runs
// out or the view has no pixels.
bool ExpandToRaster(const s_RasterView& v, vek::MemBlock& out);

// Mirrors the block in place (bit 0 left-right, bit 1 top-bottom) and moves a compacted layer's
// content rectangle to match. Cannot fail.
void FlipLayerInPlace(c_TesLayer& layer, int32_t flags);

// Bounding box of what compaction would keep, without changing the layer: colour pixels with
// alpha above 0; mono pixels that differ from the constant border chosen from the corners (wax
// keeps everything). A compacted layer reports its content rectangle. False when the layer holds
// nothing (the box is then its single top-left pixel).
bool ContentBounds(const c_TesLayer& layer, int32_t& x, int32_t& y, int32_t& width, int32_t& height);

// v modulo n, in 0..n-1 also for negative v (n > 0).
inline int32_t WrapIndex(int64_t v, int32_t n) {
    const int64_t m = v % n;
    return static_cast<int32_t>(m < 0 ? m + n : m);
}

// One line of a separable blur: `n` packed source pixels in `src`, results every `stride` floats
// from `dst`; `wrap` says whether taps beyond the line's ends wrap around or are dropped.
using BlurLine = void (*)(const float* src, int32_t n, int32_t kernelSize, const double* kernel, bool wrap,
                          float* dst, int64_t stride);
// The separable blur of a layer: every row, then every column, each first copied into the line
// buffer (one row or column of the layer's pixels; null: one is allocated). A compacted layer is
// blurred at full size and compacted again. False when memory runs out (layer unchanged).
bool SeparableBlur(c_TesLayer& layer, int32_t kernelSize, const double* kernel, float* lineBuffer, bool wrapX,
                   bool wrapY, BlurLine line);

// value · 255 + 0.5 truncated and clamped to 0..255 (NaN gives 0).
inline uint32_t ToByte(float v) {
    const float t = v * 255.0f + 0.5f;
    if (!(t > 0.0f)) return 0;
    if (t >= 255.0f) return 255;
    return static_cast<uint32_t>(t);
}

} // namespace tes
