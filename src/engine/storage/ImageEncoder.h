// The exporter's way to turn 8-bit pixels into an image file without the engine linking any codec
// library. The program installs an implementation from the platform layer at set-up; tests install
// their own. Implementations are stateless between calls.
#pragma once

#include "shell/MemBlock.h"

#include <cstdint>

// File kinds an encoder may be asked for.
enum e_TesImageFileKind {
    kTesImageFile_Png = 3, // same number as the export format code
};

class cTes_ImageEncoder {
  public:
    virtual ~cTes_ImageEncoder() = default;

    // Encodes `height` rows of `width` pixels, top row first, `channels` bytes per pixel (3 = RGB,
    // 4 = RGBA with straight alpha), rows `stride` bytes apart. The values are sRGB-encoded.
    // `option` is the export record's option field. Fills `out` with the whole file image and
    // returns true; on failure (unknown kind, no memory, codec error) returns false and leaves
    // `out` as it was.
    virtual bool Encode(int kind, const uint8_t* pixels, int width, int height, int channels, size_t stride,
                        int option, vek::MemBlock& out) = 0;
};
