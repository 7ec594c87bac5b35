// The stroke engine shared by every tip tool: PaintStroke, Stamp and the line of draw mode Line.
//
// Stamp order: OnPoint, placement at ⌊x⌋, ⌊y⌋ (masks rebuilt for the fractions with sub-pixel
// coordinates), smear pick-up, changed region and redraw, paint-mask restriction, then the kernel
// once per clipped rectangle (up to four with wrap-around; more only when the stamp is wider than
// a repeating picture).
#include "engine/tools/cTes_ToolFreehandTip.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/picture/c_TesLayer.h"
#include "engine/picture/c_TesPic.h"
#include "engine/tools/CoverageSpan.h"
#include "engine/tools/StrokeLine.h"
#include "engine/tools/TipEngine.h"
#include "engine/tools/cVek_ToolBox.h"
#include "shell/ShellState.h"

const int32_t cTes_ToolFreehandTip::kKindChain[] = {kToolKind_FreehandTip, kToolKind_Freehand, kToolKind_Tool,
                                                    0};

cTes_ToolFreehandTip::cTes_ToolFreehandTip() {
    kinds = kKindChain;
    continuous = 1;
    smoothedSampling = 1;
    restartPairs = 1;
    hasDrawMode = 1;
    frameForcingMode = 2;
}

void cTes_ToolFreehandTip::Apply(s_ToolPars& pars, t_ToolAnchor* anchors, c_TesLayer* layer) {
    cVek_ToolBox& box = *pars.toolBox;
    const int32_t n = tes::BuildLine(anchors[0][0], anchors[0][1], anchors[1][0], anchors[1][1],
                                     pars.subPixel != 0, box.strokePoints, box.strokeCapacity);
    if (n > 0) PaintStroke(pars, box.StrokeList());
    anchors[0][2] = -1.0f;
}

void cTes_ToolFreehandTip::PaintStroke(s_ToolPars& pars, const s_StrokePoint* points) {
    cVek_ToolBox& box = *pars.toolBox;
    if (!needsPickUp && !box.pickUp.Empty()) box.ReleasePickUp();
    box.paintMask = pars.picture->GetPaintMask();

    s_StampPars stamp;
    std::memset(&stamp, 0, sizeof stamp);
    stamp.pars = &pars;
    stamp.tip.size = pars.size;
    stamp.tip.hardness = pars.hardness;
    stamp.tip.tipShape = pars.tipShape;
    stamp.tip.strength = pars.strength;
    stamp.tip.needsEdgeCone = needsEdgeCone;
    stamp.highlight = pars.highlight;
    stamp.paint = pars.paint;
    stamp.innerEdge = pars.innerEdge;
    stamp.outerEdge = pars.outerEdge;
    stamp.strength = pars.strength;
    stamp.flow = pars.flow;
    stamp.tolerance = pars.tolerance;
    stamp.blendMode = pars.blendMode;
    stamp.selectionMode = pars.selectionMode;
    AdjustStamp(stamp);

    tes::ComputeTipGeometry(stamp.tip);
    if (box.PrepareTip(stamp.tip)) {
        if (!pars.subPixel) box.BuildTipMasks(stamp.tip);
        // A pick-up made for another tip size (settings changed within a stroke) starts afresh.
        const int32_t pick = stamp.tip.maskSize + 2;
        if (needsPickUp && (box.pickUp.Empty() || box.pickUpWidth != pick || box.pickUpHeight != pick)) {
            box.ReleasePickUp();
            box.pickUpWidth = box.pickUpHeight = pick;
        }
        for (const s_StrokePoint* p = points; p->time >= 0.0f; ++p) {
            Stamp(stamp, *p);
            if (pars.abort) break;
            if (p->end) {
                box.FinishLayerChanges(pars);
                box.ReleasePickUp();
                box.rubberBand[0] = box.rubberBand[1] = -1.0f;
                vek::shell::SetStrokeFrameForcing(0);
            }
        }
    }
    box.ClearStrokeList();
    box.paintMask = nullptr;
}

namespace {

// Reads a mono mask layer's value at a picture pixel (the outside value off its raster).
inline float MaskValueAt(const c_TesLayer& mask, int32_t px, int32_t py) {
    const int32_t mx = px - mask.x, my = py - mask.y;
    if (!mask.HasPixels() || mx < 0 || my < 0 || mx >= mask.width || my >= mask.height)
        return mask.outsideValue;
    return mask.Pixels()[static_cast<size_t>(my) * mask.width + mx];
}

inline int32_t Wrap(int32_t v, int32_t n) {
    const int32_t r = v % n;
    return r < 0 ? r + n : r;
}

// One axis of the stamp cut into runs on the layer: run k covers `length` layer pixels from
// `layerStart`, taken from mask offset `maskStart`.
struct s_Run {
    int32_t layerStart, maskStart, length;
};

// The first run from mask offset `from` (0 when none is left). Without wrap there is one run,
// clipped to the layer.
inline bool NextRun(int32_t origin, int32_t extent, int32_t from, int32_t size, bool wrap, s_Run& run) {
    if (from >= extent) return false;
    if (wrap) {
        const int32_t at = Wrap(origin + from, size);
        run = {at, from, std::min(extent - from, size - at)};
        return true;
    }
    if (from > 0) return false;
    const int32_t lo = std::max(0, -origin), hi = std::min(extent, size - origin);
    if (hi <= lo) return false;
    run = {origin + lo, lo, hi - lo};
    return true;
}

// Copies `count` layer pixels of one row from column x0 on, premultiplied by their alpha; columns
// off a repeating row wrap, off a non-repeating row the nearest edge pixel stands in.
void ReadRowPremultiplied(const float* row, int32_t width, int32_t x0, int32_t count, bool wrap, float* out) {
    for (int32_t i = 0; i < count;) {
        int32_t x = x0 + i, run, step = 4;
        if (wrap) {
            x = Wrap(x, width);
            run = std::min(count - i, width - x);
        } else if (x < 0 || x >= width) {
            // Off the edge: the edge pixel, repeated up to the layer (or to the end).
            run = x < 0 ? std::min(count - i, -x) : count - i;
            x = x < 0 ? 0 : width - 1;
            step = 0;
        } else {
            run = std::min(count - i, width - x);
        }
        const float* p = row + static_cast<size_t>(x) * 4;
        float* o = out + static_cast<size_t>(i) * 4;
        for (int32_t k = 0; k < run; ++k, p += step, o += 4) {
            tes::v4f v;
            __builtin_memcpy(&v, p, 16);
            v *= tes::v4f{v[3], v[3], v[3], 1.0f};
            __builtin_memcpy(o, &v, 16);
        }
        i += run;
    }
}

// One row of the bilinear shift from two rows: out[c] = w00·r0[c] + w10·r0[c + 4] + w01·r1[c] +
// w11·r1[c + 4] over `count` floats.
void MixRows(const float* __restrict r0, const float* __restrict r1, float* __restrict out, int32_t count,
             float w00, float w10, float w01, float w11) {
    for (int32_t c = 0; c < count; ++c)
        out[c] = w00 * r0[c] + w10 * r0[c + 4] + w01 * r1[c] + w11 * r1[c + 4];
}

// Bilinear shift of a premultiplied RGBA image: out(i, j) = w00·in(i + i00, j + j00) +
// w10·in(i + i10, j + j00) + w01·in(i + i00, j + j01) + w11·in(i + i10, j + j01), rows of
// `inStride` and `outStride` pixels; with `accumulate` the result is added to out.
void ShiftPremultiplied(const float* in, int32_t inStride, float* out, int32_t outStride, int32_t w,
                        int32_t h, int32_t i00, int32_t i10, int32_t j00, int32_t j01, float w00, float w10,
                        float w01, float w11, bool accumulate = false) {
    for (int32_t j = 0; j < h; ++j) {
        const float* __restrict r0 = in + static_cast<size_t>(j + j00) * inStride * 4;
        const float* __restrict r1 = in + static_cast<size_t>(j + j01) * inStride * 4;
        float* __restrict o = out + static_cast<size_t>(j) * outStride * 4;
        if (accumulate) {
            for (int32_t c = 0; c < w * 4; ++c)
                o[c] += w00 * r0[c + 4 * i00] + w10 * r0[c + 4 * i10];
        } else if (w01 == 0.0f && w11 == 0.0f) {
            for (int32_t c = 0; c < w * 4; ++c)
                o[c] = w00 * r0[c + 4 * i00] + w10 * r0[c + 4 * i10];
        } else {
            for (int32_t c = 0; c < w * 4; ++c)
                o[c] = w00 * r0[c + 4 * i00] + w10 * r0[c + 4 * i10] + w01 * r1[c + 4 * i00] +
                       w11 * r1[c + 4 * i10];
        }
    }
}

} // namespace

bool cTes_ToolFreehandTip::PrepareSmear(s_StampPars& stamp, int32_t left, int32_t top) {
    cVek_ToolBox& box = *stamp.pars->toolBox;
    s_ToolPars& pars = *stamp.pars;
    const int32_t pw = box.pickUpWidth, ph = box.pickUpHeight;
    const int32_t w = stamp.tip.maskWidth, h = stamp.tip.maskHeight;
    // Scratch: two rows of the area under the tip (one pixel wider than the pick-up, so the shift
    // can interpolate) and one row in the tip's frame; then the pick-up laid on the layer's grid.
    const size_t rowFloats = 4 * static_cast<size_t>(pw + 1);
    const size_t areaBytes = sizeof(float) * 3 * rowFloats;
    const size_t gridBytes = sizeof(float) * 4 * static_cast<size_t>(w) * h;
    if (box.smearArea.Size() < areaBytes && !box.smearArea.Resize(areaBytes)) return false;
    if (box.smearGrid.Size() < gridBytes && !box.smearGrid.Resize(gridBytes)) return false;
    stamp.firstStamp = 0;
    if (box.pickUp.Empty()) {
        if (!box.pickUp.AllocZeroed(sizeof(float) * 4 * static_cast<size_t>(pw) * ph)) return false;
        stamp.firstStamp = 1;
    }
    // Row by row, so the scratch stays in the cache: the layer under the tip from one pixel
    // up-left, premultiplied (every step below is then a plain weighted sum, as the smear rules
    // are linear in premultiplied colour); shifted by (-fx, -fy) into the tip's frame; mixed into
    // the pick-up; and, two pick-up rows later, laid back on the layer's grid, where grid pixel i
    // lies at tip-frame position i - fx, between pick-up entries i and i + 1.
    float* upper = box.smearArea.As<float>();
    float* lower = upper + rowFloats;
    float* frame = lower + rowFloats;
    float* pick = box.pickUp.As<float>();
    float* grid = box.smearGrid.As<float>();
    const int32_t lw = pars.width, lh = pars.height;
    const bool wrapX = pars.wrapX != 0;
    auto layerRow = [&](int32_t j) {
        int32_t py = top - 1 + j;
        py = pars.wrapY ? Wrap(py, lh) : std::min(std::max(py, 0), lh - 1);
        return pars.pixels + static_cast<size_t>(py) * lw * 4;
    };
    const float fx = stamp.tip.fx, fy = stamp.tip.fy;
    const float w00 = (1 - fx) * (1 - fy), w10 = fx * (1 - fy), w01 = (1 - fx) * fy, w11 = fx * fy;
    // At a whole-pixel position both shifts are plain offsets: the area row is the frame row, and
    // the kernel reads the pick-up itself one entry in (see Stamp).
    const bool whole = fx == 0.0f && fy == 0.0f;
    box.smearGridIsPickUp = whole ? 1 : 0;
    ReadRowPremultiplied(layerRow(0), lw, left - 1, pw + 1, wrapX, upper);
    for (int32_t j = 0; j < ph; ++j) {
        if (whole) {
            PickUp(stamp, pick + static_cast<size_t>(j) * pw * 4, upper, pw);
            if (j + 1 < ph) ReadRowPremultiplied(layerRow(j + 1), lw, left - 1, pw + 1, wrapX, upper);
            continue;
        }
        ReadRowPremultiplied(layerRow(j + 1), lw, left - 1, pw + 1, wrapX, lower);
        MixRows(upper, lower, frame, pw * 4, w00, w10, w01, w11);
        PickUp(stamp, pick + static_cast<size_t>(j) * pw * 4, frame, pw);
        if (j >= 1 && j - 1 < h)
            ShiftPremultiplied(pick + static_cast<size_t>(j - 1) * pw * 4, pw,
                               grid + static_cast<size_t>(j - 1) * w * 4, w, w, 1, 1, 0, 1, 0, w00, w10, w01,
                               w11);
        std::swap(upper, lower);
    }
    return true;
}

void cTes_ToolFreehandTip::Stamp(s_StampPars& stamp, const s_StrokePoint& point) {
    s_ToolPars& pars = *stamp.pars;
    cVek_ToolBox& box = *pars.toolBox;
    OnPoint(pars, point.x, point.y, point.buttons);
    if (pars.abort) return;
    // Coordinates far outside any picture are a broken event, not a place to paint.
    if (!(std::fabs(point.x) < 1.0e8f) || !(std::fabs(point.y) < 1.0e8f)) return;
    stamp.point = &point;
    const int32_t ix = static_cast<int32_t>(point.x), iy = static_cast<int32_t>(point.y);
    float fx = point.x - static_cast<float>(ix), fy = point.y - static_cast<float>(iy);
    if (pars.subPixel) {
        stamp.tip.fx = fx;
        stamp.tip.fy = fy;
        box.BuildTipMasks(stamp.tip);
    }
    int32_t left = ix - stamp.tip.halfWidth, top = iy - stamp.tip.halfHeight;
    if (fx < 0.0f) --left;
    if (fy < 0.0f) --top;
    const int32_t w = stamp.tip.maskWidth, h = stamp.tip.maskHeight;
    const int32_t lw = pars.width, lh = pars.height;
    const bool wrapX = pars.wrapX != 0, wrapY = pars.wrapY != 0;
    s_Run rx, ry;
    if (!NextRun(left, w, 0, lw, wrapX, rx) || !NextRun(top, h, 0, lh, wrapY, ry)) return;

    if (needsPickUp && !PrepareSmear(stamp, left, top)) return;

    // Changed region: the whole stamp along a repeating axis (the layer wraps it), else the
    // clipped part.
    const int32_t cx = wrapX ? left : rx.layerStart, cw = wrapX ? std::min(w, lw) : rx.length;
    const int32_t cy = wrapY ? top : ry.layerStart, ch = wrapY ? std::min(h, lh) : ry.length;
    pars.layer->MarkChanged(cx, cy, cw, ch);
    pars.picture->RegionChanged(cx, cy, cw, ch);

    const float* maskA = box.maskA.As<float>();
    if (const c_TesLayer* mask = box.paintMask) {
        float* restricted = box.maskRestricted.As<float>();
        std::memcpy(restricted, maskA, sizeof(float) * static_cast<size_t>(w) * h);
        for (int32_t my = 0; my < h; ++my) {
            int32_t py = top + my;
            if (wrapY)
                py = Wrap(py, lh);
            else if (py < 0 || py >= lh)
                continue;
            float* row = restricted + static_cast<size_t>(my) * w;
            for (int32_t mx = 0; mx < w; ++mx) {
                int32_t px = left + mx;
                if (wrapX)
                    px = Wrap(px, lw);
                else if (px < 0 || px >= lw)
                    continue;
                row[mx] *= 1.0f - MaskValueAt(*mask, px, py);
            }
        }
        maskA = restricted;
    }
    const float* maskB = stamp.tip.needsEdgeCone ? box.maskB.As<float>() : nullptr;
    // The pick-up on the layer's grid: the grid, or at a whole-pixel position the pick-up buffer
    // itself from its entry (1, 1) on.
    const bool direct = needsPickUp && box.smearGridIsPickUp;
    const float* grid = !needsPickUp ? nullptr
                        : direct     ? box.pickUp.As<float>() + (static_cast<size_t>(box.pickUpWidth) + 1) * 4
                                     : box.smearGrid.As<float>();
    const int32_t gridStride = direct ? box.pickUpWidth : w;

    for (int32_t fromY = 0; NextRun(top, h, fromY, lh, wrapY, ry); fromY += ry.length) {
        for (int32_t fromX = 0; NextRun(left, w, fromX, lw, wrapX, rx); fromX += rx.length) {
            const size_t layerAt = static_cast<size_t>(ry.layerStart) * lw + rx.layerStart;
            const size_t maskAt = static_cast<size_t>(ry.maskStart) * w + rx.maskStart;
            stamp.source = pars.backup + layerAt * 4;
            stamp.dest = pars.pixels + layerAt * 4;
            stamp.coverage = pars.coverage + layerAt;
            stamp.maskA = maskA + maskAt;
            stamp.maskB = maskB ? maskB + maskAt : nullptr;
            stamp.pickUp =
                grid ? grid + (static_cast<size_t>(ry.maskStart) * gridStride + rx.maskStart) * 4 : nullptr;
            stamp.columns = rx.length;
            stamp.rows = ry.length;
            stamp.maskColumn = rx.maskStart;
            stamp.maskRow = ry.maskStart;
            stamp.destRowSkip = lw - rx.length;
            stamp.maskRowSkip = w - rx.length;
            stamp.pickUpRowSkip = gridStride - rx.length;
            stamp.rowFirst = stamp.tip.rowFirst;
            stamp.rowEnd = stamp.tip.rowEnd;
            BlendSpan(stamp);
        }
    }
}
