// Whole-picture operations: scale, margins, crop, flip and turn of every layer and the selection.
// All or nothing: every layer's result is staged (new blocks allocated, compacted layers kept
// compacted) before any layer changes, so running out of memory leaves the picture as it was.
// Layers whose pixels are still on disk are loaded first so that they move with the others.
#include <algorithm>
#include <memory>
#include <new>

#include "engine/picture/LayerTransform.h"
#include "engine/picture/c_TesPic.h"

namespace {

// The layers of the stack from the bottom up, then the selection.
int32_t CollectLayers(c_TesPic& pic, c_TesLayer** out) {
    int32_t n = 0;
    for (c_TesLayer* l = pic.bottomLayer; l; l = l->above) {
        if (out) out[n] = l;
        ++n;
    }
    if (pic.selection) {
        if (out) out[n] = pic.selection.get();
        ++n;
    }
    return n;
}

// Stages `stage(layer, s)` for every layer and publishes all of them, or none when one fails.
template <class StageFn> bool TransformAll(c_TesPic& pic, StageFn stageFn) {
    const int32_t n = CollectLayers(pic, nullptr);
    std::unique_ptr<c_TesLayer*[]> layers(new (std::nothrow) c_TesLayer*[std::max(n, 1)]);
    std::unique_ptr<tes::s_LayerStage[]> stages(new (std::nothrow) tes::s_LayerStage[std::max(n, 1)]);
    if (!layers || !stages) return false;
    CollectLayers(pic, layers.get());
    for (int32_t i = 0; i < n; ++i) {
        layers[i]->EnsurePixels();
        if (!stageFn(*layers[i], stages[i])) return false;
    }
    for (int32_t i = 0; i < n; ++i)
        tes::Publish(stages[i]);
    return true;
}

// New thumbnails for the stack and a full redraw after the geometry changed.
void Refresh(c_TesPic& pic) {
    for (c_TesLayer* l = pic.bottomLayer; l; l = l->above)
        l->UpdateThumbnail();
    if (pic.bottomLayer) pic.RecomputeEnds(pic.bottomLayer);
    pic.RedrawAll();
}

} // namespace

bool c_TesPic::ScalePicture(int32_t w, int32_t h) {
    w = std::max(w, 1);
    h = std::max(h, 1);
    const bool done = TransformAll(
        *this, [w, h](c_TesLayer& l, tes::s_LayerStage& s) { return tes::StageResample(l, w, h, true, s); });
    if (!done) return false;
    SetSize(w, h);
    headerDirty = 1;
    Refresh(*this);
    return true;
}

bool c_TesPic::AddPictureMargins(int32_t left, int32_t right, int32_t top, int32_t bottom) {
    const int64_t nw = static_cast<int64_t>(width) + left + right;
    const int64_t nh = static_cast<int64_t>(height) + top + bottom;
    // At least one pixel must remain.
    if (nw < 1 || nh < 1 || nw > INT32_MAX || nh > INT32_MAX) return false;
    if (left == 0 && right == 0 && top == 0 && bottom == 0) return true;
    const bool done = TransformAll(*this, [=](c_TesLayer& l, tes::s_LayerStage& s) {
        return tes::StageMargins(l, left, right, top, bottom, true, s);
    });
    if (!done) return false;
    SetSize(static_cast<int32_t>(nw), static_cast<int32_t>(nh));
    headerDirty = 1;
    Refresh(*this);
    return true;
}

bool c_TesPic::CropPicture(bool useSelection, int32_t margin) {
    int64_t gapL = 0, gapR = 0, gapT = 0, gapB = 0;
    if (!useSelection) {
        if (!bottomLayer) return false;
        gapL = gapR = gapT = gapB = INT64_MAX;
        for (c_TesLayer* l = bottomLayer; l; l = l->above) {
            l->EnsurePixels();
            int32_t bx, by, bw, bh;
            // A layer that holds nothing does not pin the crop to the top-left corner.
            if (!tes::ContentBounds(*l, bx, by, bw, bh)) continue;
            gapL = std::min<int64_t>(gapL, bx);
            gapT = std::min<int64_t>(gapT, by);
            gapR = std::min<int64_t>(gapR, static_cast<int64_t>(width) - bx - bw);
            gapB = std::min<int64_t>(gapB, static_cast<int64_t>(height) - by - bh);
        }
        if (gapL == INT64_MAX) return true; // nothing anywhere: nothing to cut
    } else {
        if (!selection) return false;
        int32_t bx, by, bw, bh;
        selection->SelectionBounds(bx, by, bw, bh);
        if (bw > 0 && bh > 0) {
            gapL = bx;
            gapT = by;
            gapR = static_cast<int64_t>(width) - bx - bw;
            gapB = static_cast<int64_t>(height) - by - bh;
        }
    }
    // Less the margin, never below 0, and never so much that nothing remains.
    auto cut = [margin](int64_t gap, int64_t size) { return std::clamp<int64_t>(gap - margin, 0, size - 1); };
    gapL = cut(gapL, width);
    gapR = std::min(cut(gapR, width), static_cast<int64_t>(width) - 1 - gapL);
    gapT = cut(gapT, height);
    gapB = std::min(cut(gapB, height), static_cast<int64_t>(height) - 1 - gapT);
    const bool done = (gapL == 0 && gapR == 0 && gapT == 0 && gapB == 0) ||
                      AddPictureMargins(static_cast<int32_t>(-gapL), static_cast<int32_t>(-gapR),
                                        static_cast<int32_t>(-gapT), static_cast<int32_t>(-gapB));
    // The selection has served once the crop is made; a crop that failed leaves it to the user.
    if (done && useSelection) {
        selection->Hide();
        headerDirty = 1;
    }
    return done;
}

bool c_TesPic::FlipPicture(int32_t flags) {
    for (c_TesLayer* l = bottomLayer; l; l = l->above) {
        l->EnsurePixels();
        l->Flip(flags);
        l->DropBackup(); // the backup keeps the old orientation
    }
    if (selection) {
        selection->EnsurePixels();
        selection->Flip(flags);
        selection->DropBackup();
    }
    headerDirty = 1;
    Refresh(*this);
    return true;
}

bool c_TesPic::TurnPicture(int32_t quarterTurns) {
    const int q = ((quarterTurns % 4) + 4) % 4;
    if (q == 0) return true;
    const bool done = TransformAll(
        *this, [q](c_TesLayer& l, tes::s_LayerStage& s) { return tes::StageTurn(l, q, true, s); });
    if (!done) return false;
    if (q & 1) SetSize(height, width);
    headerDirty = 1;
    Refresh(*this);
    return true;
}
