// The picture view's geometry, without GL: the view rectangle from the picture window's inner
// area, the view layout (which part of the picture is visible, at which scale and where on the
// screen), the mapping from screen pixels back to picture pixels and the tile size of the texture
// grids.
//
// Screen pixels count from the top left corner of the screen; picture pixels from the top left
// of the picture. Integer divisions of sizes are truncating; positions that may be negative are
// divided with floors, so a pointer one pixel left of a picture copy maps to the pixel left of it.
#pragma once

#include <cstdint>

namespace tes::editor {

// View modes kept in the picture.
enum : int8_t {
    kViewActual = 0,  // 1:1
    kViewMagnify = 1, // × magnification factor
    kViewReduce = 2,  // ÷ reduction factor
    kViewFitWhole = 3,
    kViewFitSide = 4,
    kViewActual2 = 5, // treated as 0
};

// Edge state of an axis after the source origin was kept inside the picture.
enum : int8_t { kEdgeNear = 0, kEdgeMiddle = 1, kEdgeFar = 2 };

// Exact-fit markers in the effective reduction factor (and a texture grid's factor).
enum : int32_t { kExactFitByWidth = -1, kExactFitByHeight = -2 };

struct ScreenRect {
    int32_t x = 0, y = 0, width = 0, height = 0;
};

// A window's inner edges in desktop units (y up) to screen pixels: converted, then a left or top
// edge within 3 pixels of 0 becomes 0 and a right or bottom edge within 3 pixels of the screen
// size becomes the screen size.
ScreenRect ViewRectFromDesktop(double left, double bottom, double right, double top, int32_t screenWidth,
                               int32_t screenHeight);

struct LayoutInput {
    int32_t screenWidth = 0, screenHeight = 0;
    ScreenRect view;
    bool fullScreen = false;       // lay the picture out against the whole screen
    bool integerFit = true;        // the fit modes pick whole-number factors
    int32_t width = 0, height = 0; // picture size
    int32_t mode = kViewFitWhole;
    int32_t magnification = 4, reduction = 4;
    int32_t centreX = 0, centreY = 0;
    bool repeatX = false, repeatY = false;
};

struct LayoutResult {
    // Effective mode (0, 1, 2, or 3 / 4 for an exact fit) and factors; reduction is -1 / -2 for
    // an exact fit by width / by height.
    int32_t mode = 0;
    int32_t magnification = 1, reduction = 1;
    int32_t referenceWidth = 0, referenceHeight = 0; // before the per-axis full-screen step
    // Visible source (picture pixels) and where it is shown (screen pixels). The shown span may
    // stick out of the view rectangle by less than one magnified pixel; drawing clips to it.
    int32_t sourceX = 0, sourceY = 0, sourceWidth = 0, sourceHeight = 0;
    int32_t screenX = 0, screenY = 0, displayWidth = 0, displayHeight = 0;
    int8_t edgeX = kEdgeMiddle, edgeY = kEdgeMiddle;
    bool clipX = false, clipY = false;
    // The centre the layout settled on (origin + half the source size, before clipping).
    int32_t centreX = 0, centreY = 0;

    bool ExactFit() const { return reduction < 0; }
    // The texture grid's factor: 1 when tiles hold picture pixels (1:1, magnified, or an exact
    // fit that enlarges), else the reduction factor or the exact-fit marker.
    int32_t GridFactor() const;
    // Size of the grid in texels: the source size for factor 1, the displayed size otherwise.
    int32_t CoveredWidth() const { return GridFactor() == 1 ? sourceWidth : displayWidth; }
    int32_t CoveredHeight() const { return GridFactor() == 1 ? sourceHeight : displayHeight; }
};

// Runs the layout; nothing is computed for an empty picture or view (result all zero but mode).
LayoutResult ComputeLayout(const LayoutInput& in);

// Screen pixel to picture pixel. Inside when the pointer is in the view rectangle and, on an axis
// that does not repeat, within the displayed picture; while a drag is captured always inside.
// The result is not wrapped on repeating axes.
bool ScreenToPicture(const LayoutResult& layout, const ScreenRect& view, int32_t pictureWidth,
                     int32_t pictureHeight, bool repeatX, bool repeatY, bool dragCaptured, int32_t px,
                     int32_t py, int32_t& x, int32_t& y);
// The same with fractions (exact divisions).
bool ScreenToPictureF(const LayoutResult& layout, const ScreenRect& view, int32_t pictureWidth,
                      int32_t pictureHeight, bool repeatX, bool repeatY, bool dragCaptured, int32_t px,
                      int32_t py, float& x, float& y);

// Tile size of a texture grid for a source of that size: 32, doubled while below
// min(width, height) / 10, at most five times (so 32 .. 1024).
int32_t TileSize(int32_t sourceWidth, int32_t sourceHeight);

// Floor division and modulo for possibly negative numerators (positive divisors).
inline int64_t FloorDiv(int64_t a, int64_t b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}
inline int32_t WrapInto(int64_t a, int32_t period) {
    const int64_t m = a % period;
    return static_cast<int32_t>(m < 0 ? m + period : m);
}

} // namespace tes::editor
