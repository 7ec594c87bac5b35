// The stroke engine shared by every tip tool: PaintStroke, Stamp and the line of draw mode Line.
//
// Stamp order: OnPoint, placement at ⌊x⌋, ⌊y⌋ (masks rebuilt for the fractions with sub-pixel
// coordinates), smear scratch, changed region and redraw, paint-mask restriction, then the kernel
// once per clipped rectangle (up to four with wrap-around; more only when the stamp is wider than
// a repeating picture); smear tools interleave their pick-up with the kernel, a few rows at a time.
#include "engine/tools/cTes_ToolFreehandTip.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/picture/c_TesLayer.h"
#include "engine/picture/c_TesPic.h"
#include "engine/tools/CoverageSpan.h"
#include "engine/tools/StrokeLine.h"
#include "engine/tools/TipEngine.h"
#include "engine/tools/ToolRows.h"
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
    if (box.PrepareTip(stamp.tip) && (!needsPickUp || box.PreparePickUp(stamp.tip))) {
        if (!pars.subPixel) box.BuildTipMasks(stamp.tip);
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

// Copies `count` straight layer pixels of one row from column x0 on; columns off a repeating row
// wrap, off a non-repeating row the nearest edge pixel stands in.
void ReadRow(const float* row, int32_t width, int32_t x0, int32_t count, bool wrap, float* out) {
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
        if (step)
            std::memcpy(o, p, sizeof(float) * 4 * static_cast<size_t>(run));
        else
            for (int32_t k = 0; k < run; ++k)
                std::memcpy(o + 4 * k, p, sizeof(float) * 4);
        i += run;
    }
}

// Columns [first, end) of a row; empty when end <= first.
struct s_Cols {
    int32_t first, end;
    int32_t Count() const { return end - first; }
};

inline s_Cols Hull(s_Cols a, s_Cols b) {
    if (a.Count() <= 0) return b;
    if (b.Count() <= 0) return a;
    return {std::min(a.first, b.first), std::max(a.end, b.end)};
}

// The area under a smear stamp (the pick-up plus one pixel, from one pixel up-left) lies wholly
// on the layer, so its rows can be read in place.
inline bool AreaOnLayer(const s_ToolPars& pars, int32_t left, int32_t top, int32_t pick) {
    return left >= 1 && top >= 1 && left + pick <= pars.width && top + pick <= pars.height;
}

} // namespace

bool cTes_ToolFreehandTip::PrepareSmear(s_StampPars& stamp, int32_t left, int32_t top) {
    cVek_ToolBox& box = *stamp.pars->toolBox;
    const s_ToolPars& pars = *stamp.pars;
    const int32_t pick = box.pickUpWidth;
    const size_t rowFloats = 4 * static_cast<size_t>(pick + 1);
    const size_t rowsBytes = sizeof(float) * 2 * rowFloats;
    if (box.smearRows.Size() < rowsBytes && !box.smearRows.AllocZeroed(rowsBytes)) return false;
    const bool onLayer = AreaOnLayer(pars, left, top, pick);
    const size_t areaBytes = sizeof(float) * rowFloats * static_cast<size_t>(pick + 1);
    if (!onLayer && box.smearArea.Size() < areaBytes && !box.smearArea.Resize(areaBytes)) return false;
    stamp.firstStamp = 0;
    if (box.pickUp.Empty()) {
        if (!box.pickUp.AllocZeroed(sizeof(float) * 4 * static_cast<size_t>(pick) * pick)) return false;
        stamp.firstStamp = 1;
    }
    if (!onLayer) {
        // Across an edge the whole area is copied first, wrapped or clamped: the stamp's own rows
        // must not show through where the clamped (or wrapped) area repeats them.
        float* area = box.smearArea.As<float>();
        for (int32_t r = 0; r <= pick; ++r) {
            int32_t py = top - 1 + r;
            py = pars.wrapY ? Wrap(py, pars.height) : std::min(std::max(py, 0), pars.height - 1);
            ReadRow(pars.pixels + static_cast<size_t>(py) * pars.width * 4, pars.width, left - 1, pick + 1,
                    pars.wrapX != 0, area + r * rowFloats);
        }
    }
    return true;
}

void cTes_ToolFreehandTip::StampRectangle(s_StampPars& stamp, size_t layerAt, int32_t maskColumn,
                                          int32_t maskRow, int32_t columns, int32_t rows, const float* maskA,
                                          const float* pickUp, int32_t pickUpStride) {
    const s_ToolPars& pars = *stamp.pars;
    const int32_t w = stamp.tip.maskWidth;
    const size_t maskAt = static_cast<size_t>(maskRow) * w + maskColumn;
    stamp.source = pars.backup + layerAt * 4;
    stamp.dest = pars.pixels + layerAt * 4;
    stamp.coverage = pars.coverage + layerAt;
    stamp.maskA = maskA + maskAt;
    stamp.maskB = stamp.tip.needsEdgeCone ? pars.toolBox->maskB.As<float>() + maskAt : nullptr;
    stamp.pickUp = pickUp;
    stamp.columns = columns;
    stamp.rows = rows;
    stamp.maskColumn = maskColumn;
    stamp.maskRow = maskRow;
    stamp.destRowSkip = pars.width - columns;
    stamp.maskRowSkip = w - columns;
    stamp.pickUpRowSkip = pickUpStride - columns;
    stamp.rowFirst = stamp.tip.rowFirst;
    stamp.rowEnd = stamp.tip.rowEnd;
    BlendSpan(stamp);
}

void cTes_ToolFreehandTip::SmearStamp(s_StampPars& stamp, int32_t left, int32_t top, const float* maskA) {
    s_ToolPars& pars = *stamp.pars;
    cVek_ToolBox& box = *pars.toolBox;
    const tes::s_ToolRowKernels& kernels = tes::ToolRows();
    const int32_t pick = box.pickUpWidth, w = stamp.tip.maskWidth, h = stamp.tip.maskHeight;
    const int32_t lw = pars.width, lh = pars.height;
    const bool wrapX = pars.wrapX != 0, wrapY = pars.wrapY != 0;
    const float fx = stamp.tip.fx, fy = stamp.tip.fy;
    const int32_t* reachFirst = box.pickUpReach.As<int32_t>();
    const int32_t* reachEnd = reachFirst + pick;
    auto reach = [&](int32_t q) { return q < pick ? s_Cols{reachFirst[q], reachEnd[q]} : s_Cols{0, 0}; };
    const size_t rowFloats = 4 * static_cast<size_t>(pick + 1);
    const bool onLayer = AreaOnLayer(pars, left, top, pick);
    auto areaRow = [&](int32_t r) -> const float* {
        return onLayer ? pars.pixels + (static_cast<size_t>(top - 1 + r) * lw + (left - 1)) * 4
                       : box.smearArea.As<float>() + r * rowFloats;
    };
    float* shifted = box.smearRows.As<float>(); // the last area row in the tip's frame
    float* frame = shifted + rowFloats;         // the row the pick-up mixes in
    float* pickUp = box.pickUp.As<float>();

    // Tip rows [j0, j1) through BlendSpan, one rectangle per run of layer rows and columns; the
    // kernel reads pick-up rows j0 .. j1.
    auto blendRows = [&](int32_t j0, int32_t j1) {
        j1 = std::min(j1, h);
        for (int32_t j = j0; j < j1;) {
            int32_t py = top + j, n = j1 - j;
            if (wrapY) {
                py = Wrap(py, lh);
                n = std::min(n, lh - py);
            } else if (py < 0) {
                j += std::min(n, -py);
                continue;
            } else if (py >= lh) {
                return;
            } else {
                n = std::min(n, lh - py);
            }
            s_Run rx;
            for (int32_t from = 0; NextRun(left, w, from, lw, wrapX, rx); from += rx.length)
                StampRectangle(stamp, static_cast<size_t>(py) * lw + rx.layerStart, rx.maskStart, j, rx.length, n,
                               maskA, pickUp + (static_cast<size_t>(j) * pick + rx.maskStart) * 4, pick);
            j += n;
        }
    };

    // The area under the tip (from one pixel up-left, premultiplied, so every step is a weighted
    // sum, the smear rules being linear in premultiplied colour) is shifted by (-fx, -fy) into the
    // tip's frame and mixed into the pick-up row by row; the kernel lays the pick-up back onto the
    // layer's grid as it composites (BlendSpan). Tip row j needs pick-up rows j and j + 1, and
    // pick-up row q reads layer rows top - 1 + q and top + q, so rows are composited a few at a
    // time behind the pick-up, never before the pick-up has read them. Only the reach of the tip
    // is computed: the columns of the pick-up a stamp can read (with the weights, the area's
    // columns, which hold them; the rest is never read).
    s_PickUpWeights weights;
    const bool weighted = PickUpWeights(stamp, weights);
    constexpr int32_t kRowsPerBlend = 8;
    int32_t blended = 0;
    const s_Cols first = reach(0);
    if (first.Count() > 0)
        kernels.frameRow(areaRow(0) + 4 * first.first, shifted + 4 * first.first, nullptr, first.Count(), fx, fy);
    for (int32_t q = 0; q < pick; ++q) {
        const s_Cols c = reach(q), area = Hull(c, reach(q + 1));
        float* g = pickUp + static_cast<size_t>(q) * pick * 4;
        const float* a = areaRow(q + 1) + 4 * area.first;
        if (weighted) {
            if (area.Count() > 0)
                kernels.frameMixRow(a, shifted + 4 * area.first, g + 4 * area.first, area.Count(), fx, fy, weights);
        } else {
            if (area.Count() > 0)
                kernels.frameRow(a, shifted + 4 * area.first, frame + 4 * area.first, area.Count(), fx, fy);
            if (c.Count() > 0) PickUp(stamp, g + 4 * c.first, frame + 4 * c.first, c.Count());
        }
        if (q - blended >= kRowsPerBlend || q + 1 == pick) {
            blendRows(blended, q);
            blended = q;
        }
    }
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
    if (needsPickUp) {
        SmearStamp(stamp, left, top, maskA);
        return;
    }
    for (int32_t fromY = 0; NextRun(top, h, fromY, lh, wrapY, ry); fromY += ry.length)
        for (int32_t fromX = 0; NextRun(left, w, fromX, lw, wrapX, rx); fromX += rx.length)
            StampRectangle(stamp, static_cast<size_t>(ry.layerStart) * lw + rx.layerStart, rx.maskStart, ry.maskStart, rx.length,
                           ry.length, maskA, nullptr, 0);
}
