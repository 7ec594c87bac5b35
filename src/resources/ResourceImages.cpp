#include "resources/ResourceImages.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace vek::res {
namespace {

constexpr size_t kGreyFileBytes = kGreyImages * kResourceImagePixels; // 131072
constexpr size_t kMaxGreyFileBytes = 3 * kGreyFileBytes * 4;

inline uint8_t AlphaOf(int luminance) {
    return uint8_t(std::clamp((luminance - 8) * 255 / 240, 0, 255));
}

// Integer luma of an RGB texel (weights 77, 150, 29 out of 256).
inline int Luma(const uint8_t* p) {
    return (77 * p[0] + 150 * p[1] + 29 * p[2]) >> 8;
}

} // namespace

bool ReadGreyImages(const std::string& path, MemBlock& out) {
    MemBlock file;
    if (!ReadWholeFile(path, file, kMaxGreyFileBytes)) return false;
    size_t size = file.Size();
    if (size % kResourceImagePixels != 0 || size > kGreyFileBytes) {
        const size_t reduced = size / 3 / kResourceImagePixels * kResourceImagePixels;
        if (reduced == 0) return false;
        uint8_t* b = file.As<uint8_t>();
        for (size_t i = 0; i < reduced; ++i)
            b[i] = b[i * 3];
        size = reduced;
        // Best effort: a failed write-back only means converting again next time.
        WriteFileReplacing(path, b, size);
    }
    size = std::min(size, kGreyFileBytes);
    if (size == 0) return false;
    MemBlock images;
    if (!images.Alloc(size)) return false;
    std::memcpy(images.Data(), file.Data(), size);
    out = std::move(images);
    return true;
}

bool ReadMaterialImages(const std::string& path, MemBlock& out) {
    Image8 img;
    if (!LoadImageFile(path, img, 3)) return false;
    const size_t pixels = size_t(img.Width()) * size_t(img.Height());
    const size_t count = std::min<size_t>(kMaterialImages, pixels / kResourceImagePixels);
    if (count == 0) return false;
    const size_t bytes = count * kResourceImagePixels * 3;
    MemBlock rgb;
    if (!rgb.Alloc(bytes)) return false;
    // Rows have no gaps, so reading order is simply the pixel array.
    std::memcpy(rgb.Data(), img.Pixels(), bytes);
    out = std::move(rgb);
    return true;
}

bool FontAlphaFromSheet(const Image8& sheet, Image8& alpha) {
    if (sheet.Empty()) return false;
    Image8 a;
    if (!a.Create(sheet.Width(), sheet.Height(), 1)) return false;
    const int ch = sheet.Channels();
    for (int y = 0; y < sheet.Height(); ++y) {
        const uint8_t* s = sheet.Row(y);
        uint8_t* d = a.Row(y);
        for (int x = 0; x < sheet.Width(); ++x, s += ch)
            d[x] = AlphaOf(ch >= 3 ? Luma(s) : s[0]);
    }
    alpha = std::move(a);
    return true;
}

bool IconRgbaFromSheet(const Image8& sheet, Image8& rgba) {
    if (sheet.Empty() || sheet.Height() % 2 != 0 || sheet.Channels() < 3) return false;
    const int h = sheet.Height() / 2;
    Image8 out;
    if (!out.Create(sheet.Width(), h, 4)) return false;
    const int ch = sheet.Channels();
    for (int y = 0; y < h; ++y) {
        const uint8_t* colour = sheet.Row(y);
        const uint8_t* mask = sheet.Row(y + h);
        uint8_t* d = out.Row(y);
        for (int x = 0; x < sheet.Width(); ++x, colour += ch, mask += ch, d += 4) {
            d[0] = colour[0];
            d[1] = colour[1];
            d[2] = colour[2];
            d[3] = AlphaOf(Luma(mask));
        }
    }
    rgba = std::move(out);
    return true;
}

} // namespace vek::res
