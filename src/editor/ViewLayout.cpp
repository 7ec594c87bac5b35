// View rectangle, view layout, screen-to-picture mapping and tile size.
#include "editor/ViewLayout.h"

#include <algorithm>
#include <cmath>

namespace tes::editor {

ScreenRect ViewRectFromDesktop(double left, double bottom, double right, double top, int32_t sw, int32_t sh) {
    // Desktop units: 1 unit is the screen height, x from -aspect/2, y up from -0.5.
    const double aspect = sh > 0 ? static_cast<double>(sw) / sh : 1.0;
    auto toX = [&](double u) { return static_cast<int32_t>(std::lround((u + aspect * 0.5) * sh)); };
    auto toY = [&](double u) { return static_cast<int32_t>(std::lround((0.5 - u) * sh)); };
    int32_t l = toX(left), r = toX(right), t = toY(top), b = toY(bottom);
    if (std::abs(l) <= 3) l = 0;
    if (std::abs(t) <= 3) t = 0;
    if (std::abs(r - sw) <= 3) r = sw;
    if (std::abs(b - sh) <= 3) b = sh;
    ScreenRect v;
    v.x = l;
    v.y = t;
    v.width = std::max(0, r - l);
    v.height = std::max(0, b - t);
    return v;
}

int32_t LayoutResult::GridFactor() const {
    if (mode == kViewActual || mode == kViewMagnify) return 1;
    if (ExactFit()) return displayWidth >= sourceWidth && displayHeight >= sourceHeight ? 1 : reduction;
    return reduction;
}

namespace {

struct Axis {
    int32_t reference = 0; // size the axis is laid out against
    int32_t refOrigin = 0; // screen position of that reference span
    bool clip = false;
    int32_t source = 0, display = 0;
    int32_t origin = 0;
    int8_t edge = kEdgeMiddle;
    int32_t screen = 0;
    int32_t centre = 0;
};

int32_t Clamp32(int64_t v) {
    return static_cast<int32_t>(std::min<int64_t>(std::max<int64_t>(v, INT32_MIN), INT32_MAX));
}

int32_t SourceSize(int32_t mode, int32_t reference, int32_t m, int32_t r) {
    switch (mode) {
    case kViewMagnify: {
        const int32_t q = reference / m;
        const int32_t rest = std::min(reference % m, q % 2 == 0 ? 1 : 2);
        return q + rest;
    }
    case kViewReduce:
        return Clamp32(static_cast<int64_t>(reference) * r);
    default:
        return reference;
    }
}

int32_t DisplaySize(int32_t mode, int32_t source, int32_t m, int32_t r) {
    switch (mode) {
    case kViewMagnify:
        return Clamp32(static_cast<int64_t>(source) * m);
    case kViewReduce:
        return static_cast<int32_t>((static_cast<int64_t>(source) + r - 1) / r);
    default:
        return source;
    }
}

// Steps 6 to 8 on one axis: source origin and edge state, placement, clipping carried back.
void PlaceAxis(Axis& a, int32_t mode, int32_t m, int32_t r, bool exact, int32_t size, int32_t centre,
               bool repeat, int32_t view0, int32_t view1) {
    int64_t o = static_cast<int64_t>(centre) - a.source / 2;
    a.edge = kEdgeMiddle;
    if (repeat) {
        o = WrapInto(o, size);
    } else {
        if (o + a.source > size) {
            o = size - a.source;
            a.edge = kEdgeFar;
        }
        if (o < 0) {
            o = 0;
            a.edge = kEdgeNear;
        }
    }
    a.origin = static_cast<int32_t>(o);
    // On a repeating axis the centre stays inside the picture too, so it never drifts by periods.
    a.centre = repeat ? WrapInto(o + a.source / 2, size) : Clamp32(o + a.source / 2);

    int32_t offset;
    if (a.display > a.reference) {
        const int32_t excess = a.display - a.reference;
        offset = a.edge == kEdgeNear ? 0 : a.edge == kEdgeFar ? excess : excess / 2;
    } else {
        offset = (a.display - a.reference) / 2;
    }
    a.screen = a.refOrigin - offset;

    if (!a.clip || exact) return;
    const int64_t s0 = a.screen, s1 = static_cast<int64_t>(a.screen) + a.display;
    if (s1 <= view0 || s0 >= view1) return;
    const int32_t cutL = static_cast<int32_t>(std::max<int64_t>(0, view0 - s0));
    const int32_t cutR = static_cast<int32_t>(std::max<int64_t>(0, s1 - view1));
    if (mode == kViewMagnify) {
        // Only whole source pixels that are completely hidden go; a partly visible magnified
        // pixel stays, so the shown span and the pointer mapping keep their registration.
        const int32_t kl = cutL / m, kr = cutR / m;
        a.origin += kl;
        a.source -= kl + kr;
        a.screen += kl * m;
        a.display -= (kl + kr) * m;
    } else if (mode == kViewReduce) {
        const int64_t keep = static_cast<int64_t>(a.display) - cutL - cutR;
        a.origin = Clamp32(static_cast<int64_t>(a.origin) + static_cast<int64_t>(cutL) * r);
        a.source = static_cast<int32_t>(
            std::min<int64_t>(static_cast<int64_t>(a.source) - static_cast<int64_t>(cutL) * r, keep * r));
        a.screen += cutL;
        a.display = static_cast<int32_t>(keep);
    } else {
        a.origin += cutL;
        a.source -= cutL + cutR;
        a.screen += cutL;
        a.display -= cutL + cutR;
    }
    if (repeat) a.origin = WrapInto(a.origin, size);
}

} // namespace

LayoutResult ComputeLayout(const LayoutInput& in) {
    LayoutResult out;
    const int32_t W = in.width, H = in.height;
    if (W <= 0 || H <= 0 || in.view.width <= 0 || in.view.height <= 0) return out;

    int32_t mode = in.mode;
    if (mode < kViewActual || mode > kViewActual2) mode = kViewActual; // a damaged file
    const bool fitMode = mode == kViewFitWhole || mode == kViewFitSide;
    int32_t m = std::max(1, in.magnification), r = std::max(1, in.reduction);

    // 1. Reference size.
    Axis ax, ay;
    const bool againstScreen =
        in.fullScreen && !(fitMode && !in.integerFit) && in.screenWidth > 0 && in.screenHeight > 0;
    if (againstScreen) {
        ax.reference = in.screenWidth, ay.reference = in.screenHeight;
        ax.refOrigin = ay.refOrigin = 0;
        ax.clip = ay.clip = true;
    } else {
        ax.reference = in.view.width, ay.reference = in.view.height;
        ax.refOrigin = in.view.x, ay.refOrigin = in.view.y;
    }
    out.referenceWidth = ax.reference;
    out.referenceHeight = ay.reference;

    // 2. Effective mode and factors. W/H < refW/refH compared exactly by cross products.
    bool exact = false, byHeight = false;
    if (fitMode) {
        const int64_t lhs = static_cast<int64_t>(W) * ay.reference,
                      rhs = static_cast<int64_t>(ax.reference) * H;
        byHeight = (mode == kViewFitWhole && lhs < rhs) || (mode == kViewFitSide && rhs <= lhs);
        if (in.integerFit) {
            const int32_t size = byHeight ? H : W, ref = byHeight ? ay.reference : ax.reference;
            const int64_t t = static_cast<int64_t>(size) * 88 / 100;
            if (ref < t) {
                mode = kViewReduce;
                r = static_cast<int32_t>((t - 1) / ref + 1);
            } else {
                mode = kViewMagnify;
                m = ref / size;
            }
            if ((mode == kViewMagnify && m < 2) || (mode == kViewReduce && r < 2)) mode = kViewActual;
        } else {
            exact = true;
        }
    } else if (mode == kViewActual2 || (mode == kViewMagnify && m < 2) || (mode == kViewReduce && r < 2)) {
        mode = kViewActual;
    }
    out.mode = mode;
    out.magnification = mode == kViewMagnify ? m : 1;
    out.reduction = exact ? (byHeight ? kExactFitByHeight : kExactFitByWidth) : (mode == kViewReduce ? r : 1);

    // 3. and 4. Visible source size and displayed size.
    if (exact) {
        if (byHeight) {
            ax.source = Clamp32((static_cast<int64_t>(ax.reference) * H + ay.reference / 2) / ay.reference);
            ay.source = H;
        } else {
            ay.source = Clamp32((static_cast<int64_t>(ay.reference) * W + ax.reference / 2) / ax.reference);
            ax.source = W;
        }
        ax.source = std::max(1, std::min(ax.source, W));
        ay.source = std::max(1, std::min(ay.source, H));
        if (byHeight) {
            ay.display = ay.reference;
            ax.display = Clamp32((static_cast<int64_t>(ax.source) * ay.reference - 1) / ay.source + 1);
        } else {
            ax.display = ax.reference;
            ay.display = Clamp32((static_cast<int64_t>(ay.source) * ax.reference - 1) / ax.source + 1);
        }
    } else {
        ax.source = std::min(SourceSize(mode, ax.reference, m, r), W);
        ay.source = std::min(SourceSize(mode, ay.reference, m, r), H);
        ax.display = DisplaySize(mode, ax.source, m, r);
        ay.display = DisplaySize(mode, ay.source, m, r);
    }

    // 5. Against the whole screen, an axis that fits inside the view rectangle is laid out there.
    if (in.fullScreen) {
        if (ax.display <= in.view.width) {
            ax.reference = in.view.width, ax.refOrigin = in.view.x, ax.clip = false;
        }
        if (ay.display <= in.view.height) {
            ay.reference = in.view.height, ay.refOrigin = in.view.y, ay.clip = false;
        }
    }

    // 6. to 8.
    PlaceAxis(ax, mode, m, r, exact, W, in.centreX, in.repeatX, in.view.x, in.view.x + in.view.width);
    PlaceAxis(ay, mode, m, r, exact, H, in.centreY, in.repeatY, in.view.y, in.view.y + in.view.height);

    out.sourceX = ax.origin, out.sourceY = ay.origin;
    out.sourceWidth = ax.source, out.sourceHeight = ay.source;
    out.screenX = ax.screen, out.screenY = ay.screen;
    out.displayWidth = ax.display, out.displayHeight = ay.display;
    out.edgeX = ax.edge, out.edgeY = ay.edge;
    out.clipX = ax.clip, out.clipY = ay.clip;
    out.centreX = ax.centre, out.centreY = ay.centre;
    return out;
}

namespace {

bool InView(const ScreenRect& v, int32_t px, int32_t py) {
    return static_cast<uint32_t>(px - v.x) < static_cast<uint32_t>(v.width) &&
           static_cast<uint32_t>(py - v.y) < static_cast<uint32_t>(v.height);
}

bool InPicture(const LayoutResult& l, bool repeatX, bool repeatY, int64_t dx, int64_t dy) {
    if (!repeatX && static_cast<uint64_t>(dx) >= static_cast<uint64_t>(l.displayWidth)) return false;
    if (!repeatY && static_cast<uint64_t>(dy) >= static_cast<uint64_t>(l.displayHeight)) return false;
    return true;
}

} // namespace

bool ScreenToPicture(const LayoutResult& l, const ScreenRect& view, int32_t W, int32_t H, bool repeatX,
                     bool repeatY, bool dragCaptured, int32_t px, int32_t py, int32_t& x, int32_t& y) {
    const int64_t dx = static_cast<int64_t>(px) - l.screenX, dy = static_cast<int64_t>(py) - l.screenY;
    const bool inside = InView(view, px, py) && InPicture(l, repeatX, repeatY, dx, dy);
    int64_t cx = dx, cy = dy;
    if (l.mode == kViewMagnify) {
        cx = FloorDiv(dx, l.magnification);
        cy = FloorDiv(dy, l.magnification);
    } else if (l.mode == kViewReduce) {
        cx = dx * l.reduction;
        cy = dy * l.reduction;
    } else if (l.ExactFit()) {
        // One scale for both axes: the picture's width over the displayed width, or its height
        // over the displayed height when fitted by height.
        const bool byWidth = l.reduction == kExactFitByWidth;
        const int64_t num = byWidth ? W : H, den = std::max(1, byWidth ? l.displayWidth : l.displayHeight);
        cx = FloorDiv(dx * num, den);
        cy = FloorDiv(dy * num, den);
    }
    x = Clamp32(l.sourceX + cx);
    y = Clamp32(l.sourceY + cy);
    return inside || dragCaptured;
}

bool ScreenToPictureF(const LayoutResult& l, const ScreenRect& view, int32_t W, int32_t H, bool repeatX,
                      bool repeatY, bool dragCaptured, int32_t px, int32_t py, float& x, float& y) {
    const int64_t dx = static_cast<int64_t>(px) - l.screenX, dy = static_cast<int64_t>(py) - l.screenY;
    const bool inside = InView(view, px, py) && InPicture(l, repeatX, repeatY, dx, dy);
    double cx = static_cast<double>(dx), cy = static_cast<double>(dy);
    if (l.mode == kViewMagnify) {
        cx /= l.magnification;
        cy /= l.magnification;
    } else if (l.mode == kViewReduce) {
        cx *= l.reduction;
        cy *= l.reduction;
    } else if (l.ExactFit()) {
        const bool byWidth = l.reduction == kExactFitByWidth;
        const double s =
            static_cast<double>(byWidth ? W : H) / std::max(1, byWidth ? l.displayWidth : l.displayHeight);
        cx *= s;
        cy *= s;
    }
    x = static_cast<float>(l.sourceX + cx);
    y = static_cast<float>(l.sourceY + cy);
    return inside || dragCaptured;
}

int32_t TileSize(int32_t sourceWidth, int32_t sourceHeight) {
    const int32_t t = std::min(sourceWidth, sourceHeight) / 10;
    int32_t size = 32;
    for (int i = 0; i < 5 && size < t; ++i)
        size *= 2;
    return size;
}

} // namespace tes::editor
