// 8-bit image codecs: PNG through libpng and JPEG through libjpeg-turbo, to and from memory and files.
//
// Images are rows top to bottom of 1 (grey), 3 (RGB) or 4 (RGBA, straight alpha) bytes per pixel.
// Decoders never trust a file: sizes are checked against kMaxImageSide and kMaxImagePixels before
// anything is allocated, and every library error ends inside this module. Every call returns false
// on failure, leaves its outputs exactly as they were and records a short reason (ImageCodecError).
// Files are read and written whole through shell/WholeFile.h: a failed save never leaves a partial
// file and never destroys the file it was meant to replace.
#pragma once

#include "shell/MemBlock.h"
#include "shell/WholeFile.h"

#include <cstddef>
#include <cstdint>
#include <string>

class cTes_ImageEncoder;

namespace vek {

// Largest width or height, and largest pixel count, a decoder accepts or Image8 creates
// (2^27 pixels: 512 MB as RGBA, e.g. 16384 × 8192).
constexpr int kMaxImageSide = 65535;
constexpr uint64_t kMaxImagePixels = uint64_t(1) << 27;

// A borrowed view of 8-bit pixels, for the encoders.
struct ImageView {
    const uint8_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int channels = 0;  // 1, 3 or 4
    size_t stride = 0; // bytes from one row to the next; 0 means width · channels
    // Image gamma property: the exponent that turns the stored values into linear light
    // (2.2 for ordinary sRGB-like images, 1.0 for linear data); 0 = none. PNG keeps it as gAMA
    // (stored value = 100000 / gamma), JPEG does not keep it.
    double gamma = 0;
};

// An owned 8-bit image, rows without gaps.
class Image8 {
  public:
    Image8() = default;
    Image8(Image8&&) noexcept = default;
    Image8& operator=(Image8&&) noexcept = default;
    Image8(const Image8&) = delete;
    Image8& operator=(const Image8&) = delete;

    // Replaces the image with a zero-filled one. False (image unchanged) for a size of 0 or beyond
    // the limits above, channels other than 1, 3 or 4, or no memory.
    bool Create(int width, int height, int channels);
    void Reset();

    bool Empty() const { return width_ == 0; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    int Channels() const { return channels_; }
    size_t Stride() const { return size_t(width_) * size_t(channels_); }
    size_t Bytes() const { return Stride() * size_t(height_); }
    uint8_t* Pixels() { return block_.As<uint8_t>(); }
    const uint8_t* Pixels() const { return block_.As<uint8_t>(); }
    uint8_t* Row(int y) { return Pixels() + size_t(y) * Stride(); }
    const uint8_t* Row(int y) const { return Pixels() + size_t(y) * Stride(); }
    ImageView View() const;

    double gamma = 0; // image gamma property as in ImageView; set by the decoders

  private:
    MemBlock block_;
    int width_ = 0;
    int height_ = 0;
    int channels_ = 0;
};

// Short reason for the last failure of any call below (static text, never null).
const char* ImageCodecError();

// Encoders. `out` receives the whole file image and is replaced only on success.
// PNG: 1 → grey, 3 → RGB, 4 → RGBA; gAMA is written when view.gamma > 0.
bool EncodePng(const ImageView& image, MemBlock& out);
// JPEG: quality 1 to 100 (0 = the encoder's default, 75); alpha is dropped, 1 channel gives grey.
bool EncodeJpeg(const ImageView& image, int quality, MemBlock& out);

// Decoders. `channels` 0 keeps the file's form (PNG: 4 when it has alpha or a transparent colour,
// else 3; JPEG: 3); 1, 3 or 4 convert (alpha added as 255 or dropped, colour turned to grey).
// 16-bit PNGs are scaled to 8 bits; palettes, low bit depths and interlacing are expanded;
// CMYK JPEGs are converted to RGB. `out` is replaced only on success.
bool DecodePng(const void* data, size_t size, Image8& out, int channels = 0);
bool DecodeJpeg(const void* data, size_t size, Image8& out, int channels = 0);
// Picks the decoder from the signature (PNG or JPEG).
bool DecodeImage(const void* data, size_t size, Image8& out, int channels = 0);

// Files, through the shell's crash-safe writer and whole-file reader.
bool SavePng(const ImageView& image, const std::string& path);
bool SaveJpeg(const ImageView& image, int quality, const std::string& path);
bool LoadImageFile(const std::string& path, Image8& out, int channels = 0);

// The exporter's encoder backed by this module (PNG). The exporter hands it sRGB-encoded pixels,
// so its PNGs carry the gamma property 2.2 (gAMA 45455). One process-wide object, stateless;
// install it with cTes_Export::SetEncoder.
cTes_ImageEncoder& PlatformImageEncoder();

} // namespace vek
