// The pixel side of the resource files, without GL: the eight grey paper images, the six material
// images and the two font sheets turned into the texel layouts the textures are built from.
// Every call returns false and leaves its outputs untouched when a file is missing or malformed.
#pragma once

#include "platform/ImageCodec.h"
#include "shell/MemBlock.h"

#include <string>

namespace vek::res {

constexpr int kResourceSide = 128;
constexpr size_t kResourceImagePixels = 128 * 128; // 16384
constexpr int kGreyImages = 8;
constexpr int kMaterialImages = 6;

// Reads the grey image file ("pg128.bin": 128 × 128 bytes per image, one after the other). A file
// that holds three bytes per pixel — its size is not a multiple of 16384 bytes, or it is larger
// than eight grey images — is reduced to the first byte of every three, cut to whole images, and
// written back under the same name so the conversion happens once (if the folder is read-only the
// reduced images are still used). `out` gets whole images only, at most eight.
bool ReadGreyImages(const std::string& path, MemBlock& out);

// Decodes the material JPEG ("Material128.JPG") as R, G, B bytes; the images are consecutive runs
// of 16384 pixels in reading order (128 wide and 768 tall holds six). `out` gets whole images
// only, at most six.
bool ReadMaterialImages(const std::string& path, MemBlock& out);

// Text font sheet (white glyphs on black) → one alpha byte per texel:
// a = clamp((L − 8) × 255 / 240, 0, 255) in integers, the floor hiding JPEG noise around glyphs.
bool FontAlphaFromSheet(const Image8& sheet, Image8& alpha);
// Icon sheet → RGBA of the upper half: colour from the upper half, alpha from the grey of the
// lower half through the same rule. The sheet's height must be even.
bool IconRgbaFromSheet(const Image8& sheet, Image8& rgba);

} // namespace vek::res
