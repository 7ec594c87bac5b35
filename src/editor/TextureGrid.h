// A grid of square GL textures holding the visible part of an 8-bit image the size of the picture
// (the display image, or the selection outline): at one texel per picture pixel (factor 1),
// reduced by a whole factor (factor R: each texel the box average of R × R pixels, or their maximum
// for the outline), or scaled to the displayed size of an exact fit (factor -1 / -2).
//
// The grid covers the layout's visible source, which may wrap around the picture's edges on a
// repeating axis. Uploads take a rectangle of the picture (inside it, not wrapped) and send only
// the texels it touches, one glTexSubImage2D per touched tile. Needs a current GL context for
// everything except the texel mapping helpers.
#pragma once

#include "editor/ViewLayout.h"

#include <cstdint>
#include <vector>

namespace tes::editor {

// An 8-bit image the size of the picture, rows packed (width × channels bytes each).
struct ImageRef {
    const uint8_t* pixels = nullptr;
    int32_t width = 0, height = 0, channels = 0;
};

class TextureGrid {
  public:
    // ---- header, in order ----
    int32_t columns = 0, rows = 0, tileSize = 0;
    int32_t sourceX = 0, sourceY = 0;            // picture pixel at texel (0, 0)
    int32_t coveredWidth = 0, coveredHeight = 0; // texels in use
    int32_t factor = 1;
    std::vector<uint32_t> names; // columns × rows GL texture names, row by row

    // Beyond the header: what the texels stand for.
    int32_t sourceWidth = 0, sourceHeight = 0; // visible source (picture pixels)
    int32_t pictureWidth = 0, pictureHeight = 0;
    int32_t channels = 3;
    bool maxFilter = false; // reduce by maximum instead of average

    TextureGrid() = default;
    ~TextureGrid();
    TextureGrid(const TextureGrid&) = delete;
    TextureGrid& operator=(const TextureGrid&) = delete;

    // Takes the geometry from the layout and makes the textures (contents undefined). False when
    // GL could not make them (nothing is kept then).
    bool Create(const LayoutResult& layout, int32_t pictureWidth, int32_t pictureHeight, int32_t channels,
                bool maxFilter);
    // Sends the texels that depend on the picture rectangle (inside the picture) from `image`.
    void Upload(const ImageRef& image, int32_t x, int32_t y, int32_t width, int32_t height);
    // Every texel.
    void UploadAll(const ImageRef& image);
    // Draws the grid with its top left at (screenX, screenY) spanning displayWidth × displayHeight
    // screen pixels, and copies of it at steps of that size on the repeating axes until the clip
    // rectangle is covered. Expects pixel coordinates (origin top left) in the current matrices.
    void Draw(int32_t screenX, int32_t screenY, int32_t displayWidth, int32_t displayHeight,
              const ScreenRect& clip, bool repeatX, bool repeatY) const;
    void Release();
    bool Exists() const { return !names.empty(); }

    // ---- texel mapping (no GL) ----
    // The texels [t0, t1) of one axis that depend on picture positions [p0, p1) (inside the
    // picture). Up to two ranges when the covered source wraps; returns how many.
    struct Span {
        int32_t t0, t1;
    };
    int MapAxis(bool xAxis, int32_t p0, int32_t p1, Span out[2]) const;
    // The texel values of the rectangle [u0, u1) × [v0, v1) of the grid, packed, computed from the
    // image with the grid's filter.
    void FillTexels(const ImageRef& image, int32_t u0, int32_t v0, int32_t u1, int32_t v1,
                    uint8_t* out) const;

  private:
    // First source offset (from sourceX / sourceY) of texel t and the offset past its last pixel.
    void Footprint(bool xAxis, int32_t t, int32_t& o0, int32_t& o1) const;
    void UploadTexels(const ImageRef& image, int32_t u0, int32_t v0, int32_t u1, int32_t v1);

    std::vector<uint8_t> scratch_; // reduced or scaled texels of one upload, grown only
};

} // namespace tes::editor
