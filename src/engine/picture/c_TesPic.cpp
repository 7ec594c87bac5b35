// Picture: construction and destruction, size and name, the layer stack (insert, move, merge,
// destroy, current layer), the selection and paint mask, the stroke buffer and emptiness.
// Only the current layer is kept expanded; every change of the current layer compacts the old one.
#include "engine/picture/c_TesPic.h"

#include <cstring>

#include "engine/picture/c_TesLayer_Filter.h"
#include "engine/picture/c_TesLayer_Texture.h"
#include "engine/picture/c_TesLayer_Wax.h"

c_TesPic::c_TesPic(int32_t w, int32_t h, std::unique_ptr<cTes_PicHistory> hist) : history(std::move(hist)) {
    std::strcpy(name, "NoName");
    SetSize(w, h);
    if (history) history->SetPicture(this);
}

c_TesPic::~c_TesPic() {
    strokeBuffer.Free();
    palette4.Free();
    palette20.Free();
    history.reset();
    ReleaseDisplay();
    selection.reset();
    forcedMask.reset();
    while (bottomLayer)
        delete bottomLayer; // each destructor unlinks and moves bottomLayer up
    topLayer = currentLayer = nullptr;
}

// ---- size and name ----

void c_TesPic::SetSize(int32_t w, int32_t h) {
    if (w < 1) w = 1;
    if (h < 1) h = 1;
    if (width <= 0 || height <= 0) {
        centreX = w / 2;
        centreY = h / 2;
    } else {
        centreX = static_cast<int32_t>(static_cast<int64_t>(centreX) * w / width);
        centreY = static_cast<int32_t>(static_cast<int64_t>(centreY) * h / height);
    }
    width = w;
    height = h;
    thumbBoxWidth = w > h ? 64 : 32;
    thumbBoxHeight = 32;
    if (w > 2 * static_cast<int64_t>(h)) {
        thumbWidth = thumbBoxWidth;
        thumbHeight = static_cast<int32_t>(static_cast<int64_t>(thumbBoxWidth) * h / w);
    } else {
        thumbWidth = static_cast<int32_t>(static_cast<int64_t>(w) * 32 / h);
        thumbHeight = 32;
    }
    // A picture far wider than high would get thumbnails 0 pixels tall.
    if (thumbWidth < 1) thumbWidth = 1;
    if (thumbHeight < 1) thumbHeight = 1;
    strokeBuffer.Free();
    headerDirty = 1;
    for (c_TesLayer* l = bottomLayer; l; l = l->above)
        l->DropBackup();
    if (selection) selection->DropBackup();
}

namespace {
// Length of `text` without a trailing "_digits" part (at least one digit).
size_t StemLength(const char* text) {
    const size_t n = std::strlen(text);
    size_t i = n;
    while (i > 0 && text[i - 1] >= '0' && text[i - 1] <= '9')
        --i;
    if (i < n && i > 0 && text[i - 1] == '_') return i - 1;
    return n;
}
} // namespace

void c_TesPic::SetName(const char* text) {
    size_t n = text ? StemLength(text) : 0;
    if (n == 0) text = "NoName", n = 6;
    if (n > 20) n = 20;
    std::memcpy(name, text, n);
    name[n] = 0;
    headerDirty = 1;
}

int32_t c_TesPic::ParseNameNumber(const char* text) {
    if (!text) return 0;
    const size_t n = std::strlen(text), stem = StemLength(text);
    if (stem == n) return 0;
    int64_t v = 0;
    for (size_t i = stem + 1; i < n; ++i) {
        v = v * 10 + (text[i] - '0');
        if (v > INT32_MAX) return 0;
    }
    return static_cast<int32_t>(v);
}

// ---- the stack ----

void c_TesPic::AssignId(c_TesLayer& layer) {
    if (layer.id == 0)
        layer.id = ++layerCounter;
    else if (layer.id > layerCounter)
        layerCounter = layer.id; // keeps later ids unique
}

c_TesLayer* c_TesPic::InsertLayer(std::unique_ptr<c_TesLayer> owned, int32_t where) {
    if (!owned) return nullptr;
    c_TesLayer* layer = owned.release();
    layer->picture = this;
    layer->below = layer->above = nullptr;
    AssignId(*layer);
    if (!bottomLayer) {
        topLayer = bottomLayer = currentLayer = layer;
        RecomputeEnds(layer);
        headerDirty = 1;
        return layer;
    }
    if (!currentLayer) SetCurrent(topLayer);
    c_TesLayer* cur = currentLayer;
    auto linkAbove = [&](c_TesLayer* ref) {
        layer->below = ref;
        layer->above = ref->above;
        if (ref->above) ref->above->below = layer;
        ref->above = layer;
        if (topLayer == ref) topLayer = layer;
    };
    auto linkBelow = [&](c_TesLayer* ref) {
        layer->above = ref;
        layer->below = ref->below;
        if (ref->below) ref->below->above = layer;
        ref->below = layer;
        if (bottomLayer == ref) bottomLayer = layer;
    };
    switch (where) {
    case 0:
        linkAbove(cur);
        delete cur; // unlinks itself; the new layer takes its place
        cur = nullptr;
        break;
    case 1:
        linkAbove(cur);
        break;
    case 2:
        linkBelow(cur);
        break;
    case 4:
        linkBelow(bottomLayer);
        break;
    default:
        linkAbove(topLayer);
        break;
    }
    // Only the current layer stays expanded.
    if (cur && cur != layer) cur->SetCompact(true);
    currentLayer = layer;
    RecomputeEnds(layer);
    headerDirty = 1;
    return layer;
}

void c_TesPic::RecomputeEnds(c_TesLayer* any) {
    if (!any) {
        topLayer = bottomLayer = nullptr;
        return;
    }
    c_TesLayer* b = any;
    while (b->below)
        b = b->below;
    c_TesLayer* t = any;
    while (t->above)
        t = t->above;
    bottomLayer = b;
    topLayer = t;
    for (c_TesLayer* l = bottomLayer; l; l = l->above)
        l->UploadThumbnail();
}

namespace {
// A new layer of the picture size, inserted at `where`; null when memory runs out.
template <class L> L* AddSized(c_TesPic& pic, int32_t where) {
    auto layer = std::make_unique<L>();
    if (!layer->Create(0, 0, pic.width, pic.height)) return nullptr;
    return static_cast<L*>(pic.InsertLayer(std::move(layer), where));
}
} // namespace

c_TesLayer_Gfx* c_TesPic::AddColourLayer(bool reduceWhenShort) {
    if (reduceWhenShort && !CheckMemory(0, 0, this, 1, 0)) ReduceForNewLayer();
    return AddSized<c_TesLayer_Gfx>(*this, 1);
}

c_TesLayer_Filter* c_TesPic::AddFilterLayer() {
    return AddSized<c_TesLayer_Filter>(*this, 1);
}

c_TesLayer_Wax* c_TesPic::AddWaxLayer() {
    return AddSized<c_TesLayer_Wax>(*this, 3);
}

c_TesLayer_Texture* c_TesPic::AddTextureLayer() {
    return AddSized<c_TesLayer_Texture>(*this, 4);
}

c_TesLayer* c_TesPic::AddLayerCopy(const c_TesLayer& source) {
    std::unique_ptr<c_TesLayer> clone = source.Clone();
    if (!clone) return nullptr;
    if (!clone->HasPixels()) {
        c_TesPic* from = source.picture;
        if (!from || !from->store || source.bytesPerChannel == 0) return nullptr;
        from->store->SavePending(*from);
        from->store->LoadPixels(*from, source, *clone);
        if (!clone->HasPixels()) return nullptr;
    }
    // Fit and centre before inserting, so a failure leaves the picture as it was.
    if (!clone->SetCompact(false)) return nullptr;
    clone->x = 0;
    clone->y = 0;
    if (clone->width != width || clone->height != height) {
        const int64_t cw = clone->width, ch = clone->height;
        if (cw > 0 && ch > 0) {
            const double rw = static_cast<double>(width) / cw, rh = static_cast<double>(height) / ch;
            int64_t nw, nh;
            if (rh < rw) {
                nh = height;
                nw = (cw * height + ch / 2) / ch;
            } else {
                nw = width;
                nh = (ch * width + cw / 2) / cw;
            }
            if (nw < 1) nw = 1;
            if (nh < 1) nh = 1;
            if ((nw < cw || nh < ch) && !clone->Resample(static_cast<int32_t>(nw), static_cast<int32_t>(nh)))
                return nullptr;
        }
        const int32_t left = (width - clone->width) / 2, right = width - clone->width - left;
        const int32_t top = (height - clone->height) / 2, bottom = height - clone->height - top;
        if (!clone->AddMargins(left, right, top, bottom)) return nullptr;
    }
    clone->headerDirty = 1;
    clone->pixelsDirty = 1;
    return InsertLayer(std::move(clone), 1);
}

c_TesLayer* c_TesPic::FindLayer(int32_t id) const {
    for (c_TesLayer* l = bottomLayer; l; l = l->above)
        if (l->id == id) return l;
    return nullptr;
}

void c_TesPic::SetCurrent(c_TesLayer* layer) {
    if (layer == currentLayer) return;
    if (currentLayer) currentLayer->SetCompact(true);
    currentLayer = layer;
    if (layer) {
        layer->Show();
        layer->EnsurePixels();
        layer->SetCompact(false);
    }
    headerDirty = 1;
}

void c_TesPic::SetCurrentById(int32_t id) {
    // An unknown id keeps the current layer: the stack must not be left without one.
    if (c_TesLayer* l = FindLayer(id)) SetCurrent(l);
}

namespace {
void Detach(c_TesLayer* l) {
    if (l->below) l->below->above = l->above;
    if (l->above) l->above->below = l->below;
    l->below = l->above = nullptr;
}
void PutAbove(c_TesLayer* l, c_TesLayer* ref) {
    l->below = ref;
    l->above = ref->above;
    if (ref->above) ref->above->below = l;
    ref->above = l;
}
void PutBelow(c_TesLayer* l, c_TesLayer* ref) {
    l->above = ref;
    l->below = ref->below;
    if (ref->below) ref->below->above = l;
    ref->below = l;
}
} // namespace

void c_TesPic::MoveLayer(c_TesLayer* layer, int32_t how) {
    headerDirty = 1;
    if (!layer || layer->picture != this || layer == selection.get()) return;
    c_TesLayer* ref = nullptr;
    switch (how) {
    case 1:
        if (!(ref = layer->above)) return;
        Detach(layer);
        PutAbove(layer, ref);
        break;
    case 2:
        if (!(ref = layer->below)) return;
        Detach(layer);
        PutBelow(layer, ref);
        break;
    case 3:
        if (layer == topLayer) return;
        ref = topLayer;
        Detach(layer);
        PutAbove(layer, ref);
        break;
    case 4:
        if (layer == bottomLayer) return;
        ref = bottomLayer;
        Detach(layer);
        PutBelow(layer, ref);
        break;
    default:
        return;
    }
    RecomputeEnds(layer);
}

bool c_TesPic::MergeLayer(c_TesLayer* layer, int32_t direction) {
    if (!layer || layer->picture != this || layer == selection.get()) return false;
    c_TesLayer* upper = direction == 0 ? layer->above : layer;
    c_TesLayer* lower = direction == 0 ? layer : layer->below;
    if (!upper || !lower || lower->type != 1) return false;
    // An upper layer whose pixels cannot be loaded would vanish with its files.
    if (!upper->HasPixels() && upper->bytesPerChannel != 0 && !upper->EnsurePixels()) return false;
    auto* target = static_cast<c_TesLayer_Gfx*>(lower);
    if (history) history->Record(cTes_PicHistory::kPicture, cTes_PicHistory::kCurrentLayer);
    const bool lowerHidden = !lower->visible;
    upper->Show();
    SetCurrent(lower);
    if (!lower->HasPixels() || lower->compacted) return false; // could not be expanded
    target->SetWindowToRaster();
    upper->CompositeOnto(*target);
    // The backup no longer matches the merged pixels; the next stroke takes a fresh one.
    lower->DropBackup();
    lower->headerDirty = 1;
    lower->pixelsDirty = 1;
    if (!upper->IsEmpty()) lower->empty = 0;
    if (store) store->DeleteFiles(*this, *upper);
    delete upper;
    RecomputeEnds(lower);
    if (lowerHidden) lower->Hide();
    headerDirty = 1;
    RedrawAll();
    return true;
}

bool c_TesPic::DestroyLayer(c_TesLayer* layer) {
    if (!layer || layer->picture != this || layer == selection.get()) return false;
    bool otherColour = false;
    for (c_TesLayer* l = layer->above; l && !otherColour; l = l->above)
        otherColour = l->type == 1;
    for (c_TesLayer* l = layer->below; l && !otherColour; l = l->below)
        otherColour = l->type == 1;
    if (!otherColour) return false;
    if (history) history->Record(cTes_PicHistory::kPicture, cTes_PicHistory::kCurrentLayer);
    if (store) store->DeleteFiles(*this, *layer);
    const bool wasCurrent = layer == currentLayer;
    c_TesLayer* next = layer->above ? layer->above : layer->below;
    delete layer;
    RecomputeEnds(next);
    if (wasCurrent) SetCurrent(next);
    headerDirty = 1;
    RedrawAll();
    return true;
}

int32_t c_TesPic::LayerCount() const {
    int32_t n = 0;
    for (c_TesLayer* l = bottomLayer; l; l = l->above)
        ++n;
    return n;
}

c_TesLayer* c_TesPic::LayerAt(int32_t position) const {
    if (position < 1) return nullptr;
    c_TesLayer* l = bottomLayer;
    while (l && --position > 0)
        l = l->above;
    return l;
}

// ---- masks ----

cTes_Layer_Selection* c_TesPic::GetSelection() {
    if (!selection) {
        auto s = std::make_unique<cTes_Layer_Selection>();
        if (!s->Create(0, 0, width, height)) return nullptr;
        s->picture = this;
        AssignId(*s);
        selection = std::move(s);
        headerDirty = 1;
    }
    return selection.get();
}

c_TesLayer* c_TesPic::GetPaintMask() {
    if (forcedMask) return forcedMask.get();
    if (selection && selection->visible) {
        selection->EnsurePixels();
        selection->SetCompact(false);
        return selection.get();
    }
    if (!currentLayer) return nullptr;
    for (c_TesLayer* l = currentLayer->above; l; l = l->above)
        if (l->type == 3 && l->visible) {
            l->EnsurePixels();
            l->SetCompact(false);
            return l;
        }
    return nullptr;
}

// ---- misc ----

float* c_TesPic::GetStrokeBuffer() {
    const size_t bytes = static_cast<size_t>(width) * height * 4;
    if (strokeBuffer.Empty() || strokeBuffer.Size() != bytes) {
        vek::MemBlock fresh;
        if (!fresh.AllocZeroed(bytes)) return nullptr;
        strokeBuffer = std::move(fresh);
    }
    return strokeBuffer.As<float>();
}

bool c_TesPic::IsEmpty() {
    if (!bottomLayer) return emptyFlag != 0;
    bool all = true;
    for (c_TesLayer* l = bottomLayer; l; l = l->above)
        all = l->IsEmpty() && all;
    const uint8_t flag = all ? 1 : 0;
    if (flag != emptyFlag) headerDirty = 1;
    emptyFlag = flag;
    return all;
}

namespace {
// Built-in palettes of the engine's panels: a small set and a hue circle with greys.
const float kPalette4[4][3] = {{0, 0, 0}, {1, 1, 1}, {0.5f, 0.5f, 0.5f}, {1, 0, 0}};
const float kPalette20[20][3] = {{0, 0, 0},          {0.25f, 0.25f, 0.25f},
                                 {0.5f, 0.5f, 0.5f}, {0.75f, 0.75f, 0.75f},
                                 {1, 1, 1},          {1, 0, 0},
                                 {1, 0.25f, 0},      {1, 0.5f, 0},
                                 {1, 0.75f, 0},      {1, 1, 0},
                                 {0.5f, 1, 0},       {0, 1, 0},
                                 {0, 1, 0.5f},       {0, 1, 1},
                                 {0, 0.5f, 1},       {0, 0, 1},
                                 {0.5f, 0, 1},       {1, 0, 1},
                                 {1, 0, 0.5f},       {0.5f, 0.25f, 0}};
} // namespace

float* c_TesPic::GetPalette(int32_t which) {
    vek::MemBlock& block = which == 0 ? palette4 : palette20;
    if (which != 0 && which != 1) return nullptr;
    if (block.Empty()) {
        const size_t bytes = which == 0 ? sizeof kPalette4 : sizeof kPalette20;
        vek::MemBlock fresh;
        if (!fresh.Alloc(bytes)) return nullptr;
        std::memcpy(fresh.Data(), which == 0 ? &kPalette4[0][0] : &kPalette20[0][0], bytes);
        block = std::move(fresh);
    }
    return block.As<float>();
}

void c_TesPic::RegionChanged(int32_t rx, int32_t ry, int32_t rw, int32_t rh) {
    if (display) display->RegionChanged(*this, rx, ry, rw, rh);
}

void c_TesPic::RedrawAll() {
    if (display) display->RedrawAll(*this);
}

void c_TesPic::ReleaseDisplay() {
    if (display) display->ReleaseThumbnails(*this);
}
