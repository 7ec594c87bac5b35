// The picture composite and the memory checks.
// The composite runs in bands of target rows small enough to stay in the cache: each band is
// cleared, every layer draws its part of the band bottom-up, then the paper goes under it. The
// "nothing drawn yet" state of the target (its visible flag) is restarted for every band; it
// depends only on which layers draw, not on where, so every band sees the same sequence.
// Memory cost therefore grows with the layers' content, and the target is written once.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/picture/CompositeRows.h"
#include "engine/picture/c_TesPic.h"
#include "shell/MemoryBudget.h"

namespace {

int32_t ModP(int64_t v, int32_t n) {
    int64_t m = v % n;
    return static_cast<int32_t>(m < 0 ? m + n : m);
}

void ClipAxis(int32_t& start, int32_t& length, int32_t size, bool repeat) {
    if (length <= 0 || size <= 0) {
        length = 0;
        return;
    }
    if (repeat) {
        if (length > size) length = size;
        start = ModP(start, size);
        return;
    }
    int64_t s = start, e = static_cast<int64_t>(start) + length;
    if (s >= size || e <= 0) {
        length = 0;
        return;
    }
    if (s < 0) s = 0;
    if (e > size) e = size;
    start = static_cast<int32_t>(s);
    length = static_cast<int32_t>(e - s);
}

// Moves a clipped start on a repeating axis into the target's unwrapped range [origin, origin + P).
int32_t Unwrap(int32_t start, int32_t origin, int32_t period, bool repeat) {
    if (!repeat) return start;
    return origin + ModP(static_cast<int64_t>(start) - origin, period);
}

} // namespace

void c_TesPic::ClipRect(int32_t& rx, int32_t& ry, int32_t& rw, int32_t& rh) const {
    ClipAxis(rx, rw, width, repeatX != 0);
    ClipAxis(ry, rh, height, repeatY != 0);
    if (rw <= 0 || rh <= 0) rw = rh = 0;
}

std::unique_ptr<c_TesLayer_Gfx> c_TesPic::Composite(int32_t rx, int32_t ry, int32_t rw, int32_t rh,
                                                    bool includeHidden, int32_t paperMode) {
    auto target = std::make_unique<c_TesLayer_Gfx>();
    if (!CompositeInto(*target, rx, ry, rw, rh, includeHidden, paperMode)) return nullptr;
    return target;
}

bool c_TesPic::CompositeInto(c_TesLayer_Gfx& target, int32_t rx, int32_t ry, int32_t rw, int32_t rh,
                             bool includeHidden, int32_t paperMode) {
    if (!bottomLayer || target.picture) return false;
    // Widen by every layer's margins, then clip.
    int64_t ml = 0, mt = 0, mr = 0, mb = 0;
    for (c_TesLayer* l = bottomLayer; l; l = l->above) {
        int32_t a, b, c, d;
        l->GetCompositeMargins(a, b, c, d);
        ml += a, mt += b, mr += c, mb += d;
    }
    const int64_t wx = rx - ml, wy = ry - mt, ww = rw + ml + mr, wh = rh + mt + mb;
    if (wx < INT32_MIN || wy < INT32_MIN || ww > INT32_MAX || wh > INT32_MAX || ww <= 0 || wh <= 0)
        return false;
    int32_t tx = static_cast<int32_t>(wx), ty = static_cast<int32_t>(wy);
    int32_t tw = static_cast<int32_t>(ww), th = static_cast<int32_t>(wh);
    ClipRect(tx, ty, tw, th);
    if (tw <= 0 || th <= 0) return false;
    if (!target.pixels.Resize(static_cast<size_t>(tw) * th * 16)) return false;
    target.x = tx;
    target.y = ty;
    target.width = tw;
    target.height = th;
    target.bytesPerChannel = 4;
    target.compacted = 0;
    target.fullWidth = tw;
    target.fullHeight = th;
    target.contentX = tx;
    target.contentY = ty;
    target.contentWidth = tw;
    target.contentHeight = th;
    target.backup.Free();
    target.thumbnail.Free();
    target.changed = s_TesRegion();
    target.protect = s_TesRegion();
    // Layers read from files get their pixels now, once, not per band.
    for (c_TesLayer* l = bottomLayer; l; l = l->above)
        if (l->visible || includeHidden) l->EnsurePixels();

    const bool paper = paperMode == 1 || (paperMode == -1 && paperOn);
    // The working rectangle of each layer: the widened one shrunk by the margins of this layer and
    // those below it (what the layers above still need), clipped, in the target's unwrapped
    // coordinates. False when the layer is not called at all.
    auto working = [&](c_TesLayer* upTo, s_TesRect& out) {
        int64_t cx = wx, cy = wy, cw = ww, ch = wh;
        for (c_TesLayer* l = bottomLayer; l; l = l->above) {
            int32_t a, b, c, d;
            l->GetCompositeMargins(a, b, c, d);
            cx += a, cy += b, cw -= a + c, ch -= b + d;
            if (l == upTo) break;
        }
        if (cw <= 0 || ch <= 0) return false;
        int32_t kx = static_cast<int32_t>(cx), ky = static_cast<int32_t>(cy);
        int32_t kw = static_cast<int32_t>(cw), kh = static_cast<int32_t>(ch);
        ClipRect(kx, ky, kw, kh);
        if (kw <= 0 || kh <= 0) return false;
        // A window a whole period long covers the target whatever its clipped start.
        if (repeatX && kw >= width) kx = tx, kw = tw;
        if (repeatY && kh >= height) ky = ty, kh = th;
        out = {Unwrap(kx, tx, width, repeatX != 0), Unwrap(ky, ty, height, repeatY != 0), kw, kh};
        return true;
    };
    // The layer that draws last may lay the paper in its own pass.
    c_TesLayer* lastCalled = nullptr;
    s_TesRect dummy;
    for (c_TesLayer* l = bottomLayer; l; l = l->above)
        if (working(l, dummy)) lastCalled = l;

    const size_t rowFloats = static_cast<size_t>(tw) * 4;
    // About 256 KiB of target per band.
    const int32_t bandRows = static_cast<int32_t>(std::max<size_t>(1, (256 * 1024) / (rowFloats * 4)));
    float* px = target.Pixels();
    uint8_t lastVisible = 0;
    for (int32_t b0 = 0; b0 < th; b0 += bandRows) {
        const int32_t b1 = std::min(th, b0 + bandRows);
        // The band's old contents count as 0; the first layer that draws settles them.
        target.pendingClearFrom = b0;
        target.pendingClearTo = b1;
        target.visible = 0;
        target.compositePaperLaid = 0;
        for (c_TesLayer* l = bottomLayer; l; l = l->above) {
            s_TesRect k;
            if (!working(l, k)) continue;
            // Limit to this band of the target.
            const int32_t y0 = std::max(k.y, ty + b0);
            const int32_t y1 =
                static_cast<int32_t>(std::min<int64_t>(int64_t(k.y) + k.height, int64_t(ty) + b1));
            target.compositeWindow = {k.x, y0, k.width, std::max(0, y1 - y0)};
            target.compositePaper = paper && l == lastCalled ? paperColour : nullptr;
            const int32_t wasVisible = l->visible;
            if (includeHidden) l->visible = 1;
            l->CompositeOnto(target);
            l->visible = wasVisible;
        }
        target.compositePaper = nullptr;
        target.ResolvePendingClear(0, 0, 0, 0);
        lastVisible = static_cast<uint8_t>(target.visible);
        if (paper && !target.compositePaperLaid)
            tes::PaperRow(px + b0 * rowFloats, static_cast<size_t>(b1 - b0) * tw, paperColour);
    }
    target.visible = lastVisible;
    target.headerDirty = 1;
    target.pixelsDirty = 1;
    target.empty = 0;
    target.compositeWindow = {0, 0, -1, -1};
    return true;
}

// ---- memory ----

bool c_TesPic::CheckMemory(int32_t w, int32_t h, const c_TesPic* picture, int32_t extraLayers, int32_t kind) {
    if (picture) {
        if (w == 0) w = picture->width;
        if (h == 0) h = picture->height;
    }
    if (w < 0 || h < 0 || extraLayers < 0) return false;
    using U = unsigned __int128;
    const U pixels = static_cast<U>(w) * static_cast<U>(h);
    const U budget = static_cast<U>(vek::MemoryBudgetMB()) * 1048576u;
    const U base = pixels * 44u;
    U layers = 0;
    if (picture)
        for (const c_TesLayer* l = picture->bottomLayer; l; l = l->above)
            layers += static_cast<U>(static_cast<uint32_t>(l->channels) *
                                     static_cast<uint32_t>(l->bytesPerChannel)) *
                      pixels;
    U needed;
    if (picture && layers > 0 && extraLayers == 0) {
        needed = layers + base;
    } else {
        const U extra = extraLayers == 0 ? 1u : static_cast<U>(extraLayers);
        needed = layers + extra * pixels * 4u * (kind == 0 || kind == 1 ? 4u : 1u) + base;
    }
    return needed <= budget;
}

uint64_t c_TesPic::MaxPixels(int32_t kind, const c_TesPic* picture) {
    uint64_t perPixel = kind == 0 ? 44 : kind == 1 ? 60 : 48;
    if (picture)
        for (const c_TesLayer* l = picture->bottomLayer; l; l = l->above)
            perPixel += static_cast<uint64_t>(static_cast<uint32_t>(l->channels) *
                                              static_cast<uint32_t>(l->bytesPerChannel));
    if (perPixel == 0) perPixel = 1;
    return vek::MemoryBudgetMB() * 1048576ull / perPixel;
}

bool c_TesPic::ReduceForNewLayer() {
    const double pixels = static_cast<double>(width) * height;
    double factor = std::sqrt(static_cast<double>(MaxPixels(0, this)) / pixels);
    if (factor > 0.85) factor = 0.8;
    int64_t nw = static_cast<int64_t>(factor * width + 0.5);
    nw -= nw % 10;
    if (nw < 1) nw = 1;
    const int64_t nh = (static_cast<int64_t>(height) * nw + width / 2) / width;
    return ScalePicture(static_cast<int32_t>(nw), static_cast<int32_t>(std::max<int64_t>(1, nh)));
}
