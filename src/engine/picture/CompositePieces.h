// Maps a composite target's window onto a layer's raster. The window is in the target's unwrapped
// picture coordinates; on an axis where the layer's picture repeats it is cut at the picture edge
// and each part is moved back into the picture, so a target that runs past the edge draws the
// pixels from the opposite side. Each overlap is handed over as target-relative and
// picture coordinates of the same size.
#pragma once

#include <algorithm>
#include <cstdint>

#include "engine/picture/c_TesLayer_Gfx.h"
#include "engine/picture/c_TesPic.h"

namespace tes {

struct s_Segment {
    int32_t unwrapped; // start in the target's unwrapped coordinates
    int32_t mapped;    // start in picture coordinates
    int32_t length;
};

// Splits [start, start + length) at multiples of `period` (no split when period is 0). Returns the
// count; at most `max` segments are produced.
inline int SplitAxis(int32_t start, int32_t length, int32_t period, s_Segment* out, int max) {
    if (length <= 0) return 0;
    if (period <= 0) {
        out[0] = {start, start, length};
        return 1;
    }
    int n = 0;
    int64_t m = start % period;
    if (m < 0) m += period;
    int32_t u = start;
    while (length > 0 && n < max) {
        const int32_t take = static_cast<int32_t>(std::min<int64_t>(length, period - m));
        out[n++] = {u, static_cast<int32_t>(m), take};
        u += take;
        length -= take;
        m = 0;
    }
    return n;
}

// Calls f(targetX, targetY, picX, picY, w, h) for every part of target.compositeWindow (clipped to
// the target's raster) in picture coordinates; with clipToLayer only where it overlaps `layer`'s
// raster rectangle. Target coordinates are relative to the target's raster origin.
template <class F>
void ForEachWindowPiece(const c_TesLayer& layer, const c_TesLayer_Gfx& target, bool clipToLayer, F f) {
    const s_TesRect win = target.compositeWindow.width < 0
                              ? s_TesRect{target.x, target.y, target.width, target.height}
                              : target.compositeWindow;
    int32_t wx0 = std::max(win.x, target.x), wy0 = std::max(win.y, target.y);
    int32_t wx1 = std::min<int64_t>(int64_t(win.x) + win.width, int64_t(target.x) + target.width);
    int32_t wy1 = std::min<int64_t>(int64_t(win.y) + win.height, int64_t(target.y) + target.height);
    if (wx1 <= wx0 || wy1 <= wy0) return;
    const c_TesPic* pic = layer.picture;
    const int32_t px = pic && pic->repeatX ? pic->width : 0;
    const int32_t py = pic && pic->repeatY ? pic->height : 0;
    s_Segment xs[4], ys[4];
    const int nx = SplitAxis(wx0, wx1 - wx0, px, xs, 4);
    const int ny = SplitAxis(wy0, wy1 - wy0, py, ys, 4);
    for (int j = 0; j < ny; ++j)
        for (int i = 0; i < nx; ++i) {
            int32_t ax = xs[i].mapped, ay = ys[j].mapped, aw = xs[i].length, ah = ys[j].length;
            int32_t ux = xs[i].unwrapped, uy = ys[j].unwrapped;
            if (clipToLayer) {
                const int32_t lx0 = std::max(ax, layer.x), ly0 = std::max(ay, layer.y);
                const int32_t lx1 = std::min<int64_t>(int64_t(ax) + aw, int64_t(layer.x) + layer.width);
                const int32_t ly1 = std::min<int64_t>(int64_t(ay) + ah, int64_t(layer.y) + layer.height);
                if (lx1 <= lx0 || ly1 <= ly0) continue;
                ux += lx0 - ax;
                uy += ly0 - ay;
                ax = lx0;
                ay = ly0;
                aw = lx1 - lx0;
                ah = ly1 - ly0;
            }
            f(ux - target.x, uy - target.y, ax, ay, aw, ah);
        }
}

} // namespace tes
