// What the picture asks of the screen, without touching GL: re-composite a changed region,
// upload a layer thumbnail into the texture of a stack position, and release those textures.
// The editor implements it; a picture without one (null) runs headless.
#pragma once

#include <cstdint>

class c_TesPic;

class cTes_PicDisplay {
  public:
    virtual ~cTes_PicDisplay() = default;

    // The rectangle (picture pixels, may wrap on a repeating picture) must be composited and shown again.
    virtual void RegionChanged(c_TesPic& picture, int32_t x, int32_t y, int32_t width, int32_t height) = 0;
    // Everything must be rebuilt (size change, picture replaced).
    virtual void RedrawAll(c_TesPic& picture) = 0;
    // Thumbnail of the layer at stack position `slot` (1..30): width × height pixels packed
    // 0xRRGGBBAA, to be centred in the picture's thumbnail box. Null pixels means "no thumbnail":
    // clear that texture. The display keeps its texture names in picture.thumbnailTextures.
    virtual void UploadThumbnail(c_TesPic& picture, int32_t slot, const uint32_t* pixels, int32_t width,
                                 int32_t height) = 0;
    // Deletes the picture's thumbnail textures (picture released or destroyed).
    virtual void ReleaseThumbnails(c_TesPic& picture) = 0;
};
