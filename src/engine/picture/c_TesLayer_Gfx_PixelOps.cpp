// Colour layer pixel operations: curves, copying from colour and mono layers, exact-area resample,
// the alpha-weighted separable blur, thumbnails, masking by alpha and taking over decoded images.
// Pixel contract: straight linear RGBA floats, unclamped; a pixel with alpha at or below 0 carries
// no colour (it adds nothing to resample, blur and thumbnails). Sums run in double.
#include <algorithm>

#include "engine/picture/LayerTransform.h"
#include "engine/picture/c_TesLayer_Gfx.h"
#include "engine/picture/c_TesPic.h"

namespace {

// Layer types whose single values convert to colour (filter, wax, texture).
bool IsConvertibleMono(const c_TesLayer& layer) {
    return layer.type == 2 || layer.type == 3 || layer.type == 5;
}

// The record fields that say where the pixel block lies.
void TakeGeometry(c_TesLayer& to, const c_TesLayer& from) {
    to.x = from.x;
    to.y = from.y;
    to.width = from.width;
    to.height = from.height;
    to.compacted = from.compacted;
    to.contentX = from.contentX;
    to.contentY = from.contentY;
    to.contentWidth = from.contentWidth;
    to.contentHeight = from.contentHeight;
    to.fullWidth = from.fullWidth;
    to.fullHeight = from.fullHeight;
}

// One line of the separable blur: `n` source pixels in `src` (packed), results written to `dst`
// every `stride` floats. Taps outside the line wrap or are dropped.
void BlurLineColour(const float* src, int32_t n, int32_t kernelSize, const double* k, bool wrap, float* dst,
                    int64_t stride) {
    const int32_t half = kernelSize / 2;
    for (int32_t p = 0; p < n; ++p, dst += stride) {
        double s = 0.0, sr = 0.0, sg = 0.0, sb = 0.0, inside = 0.0;
        for (int32_t j = 0; j < kernelSize; ++j) {
            int64_t q = static_cast<int64_t>(p) + j - half;
            if (q < 0 || q >= n) {
                if (!wrap) continue;
                q = tes::WrapIndex(q, n);
            }
            inside += k[j];
            const float* v = src + q * 4;
            if (!(v[3] > 0.0f)) continue;
            const double ka = k[j] * v[3];
            s += ka;
            sr += ka * v[0];
            sg += ka * v[1];
            sb += ka * v[2];
        }
        if (s > 0.0) {
            dst[0] = static_cast<float>(sr / s);
            dst[1] = static_cast<float>(sg / s);
            dst[2] = static_cast<float>(sb / s);
            // Without wrap the alpha is normalised by the weights that fell inside, so edges keep
            // their opacity.
            dst[3] = static_cast<float>(wrap ? s : (inside > 0.0 ? s / inside : 0.0));
        } else {
            dst[0] = dst[1] = dst[2] = dst[3] = 0.0f;
        }
    }
}

} // namespace

void c_TesLayer_Gfx::ApplyCurve(int32_t count, const float* table) {
    if (!HasPixels() || bytesPerChannel != 4 || count < 1 || !table) return;
    const float n = static_cast<float>(count - 1);
    float* px = Pixels();
    const int64_t total = static_cast<int64_t>(width) * height;
    for (int64_t i = 0; i < total; ++i) {
        float* p = px + i * 4;
        for (int k = 0; k < 3; ++k) {
            const float v = p[k];
            if (!(v >= 0.0f && v <= 1.0f)) continue; // out of range and NaN stay
            const float xv = v * n;
            const int32_t idx = static_cast<int32_t>(xv);
            const float f = xv - static_cast<float>(idx);
            p[k] = f > 0.0f ? table[idx] * (1.0f - f) + table[idx + 1] * f : table[idx];
        }
    }
    headerDirty = 1;
    pixelsDirty = 1;
}

bool c_TesLayer_Gfx::CopyFrom(const c_TesLayer& source, uint32_t flags) {
    if (&source == this) return true;
    const int32_t oldW = width, oldH = height, oldCompacted = compacted;
    if (source.type == 1) {
        if (!source.HasPixels()) return false;
        vek::MemBlock copy;
        if (source.compacted && !compacted) {
            // An expanded layer (the current one) stays expanded.
            if (!tes::ExpandToRaster(tes::ViewOf(source), copy)) return false;
            pixels = std::move(copy);
            bytesPerChannel = 4;
            x = y = 0;
            width = source.fullWidth;
            height = source.fullHeight;
        } else {
            if (!copy.CopyFrom(source.pixels)) return false;
            pixels = std::move(copy);
            bytesPerChannel = source.bytesPerChannel;
            TakeGeometry(*this, source);
        }
    } else if (IsConvertibleMono(source)) {
        const tes::s_RasterView v = tes::ViewOf(source);
        if (!v.block || v.fw <= 0 || v.fh <= 0) return false;
        // A compacted source is written out at full size: its outside value need not be
        // transparent once converted.
        vek::MemBlock out;
        if (!out.Alloc(static_cast<size_t>(v.fw) * v.fh * 16)) return false;
        float* o = out.As<float>();
        for (int32_t r = 0; r < v.fh; ++r)
            for (int32_t c = 0; c < v.fw; ++c, o += 4) {
                const bool in = c >= v.bx && c < v.bx + v.bw && r >= v.by && r < v.by + v.bh;
                const float m = in ? v.block[static_cast<int64_t>(r - v.by) * v.bw + (c - v.bx)] : v.outside;
                for (int k = 0; k < 4; ++k)
                    o[k] = (flags >> k) & 1 ? m : 1.0f;
            }
        pixels = std::move(out);
        bytesPerChannel = 4;
        x = source.compacted ? 0 : source.x;
        y = source.compacted ? 0 : source.y;
        width = v.fw;
        height = v.fh;
        compacted = 0;
        fullWidth = v.fw;
        fullHeight = v.fh;
    }
    if (width != oldW || height != oldH || compacted != oldCompacted) DropBackup();
    headerDirty = 1;
    pixelsDirty = 1;
    empty = 0;
    return true;
}

bool c_TesLayer_Gfx::Resample(int32_t w, int32_t h) {
    tes::s_LayerStage stage;
    if (!tes::StageResample(*this, w, h, true, stage)) return false;
    tes::Publish(stage);
    return true;
}

bool c_TesLayer_Gfx::Blur(int32_t kernelSize, const double* kernel, float* rowBuffer, bool wrapX,
                          bool wrapY) {
    if (kernelSize < 1 || !kernel) return false;
    if (!HasPixels() || bytesPerChannel != 4) return true;
    return tes::SeparableBlur(*this, kernelSize, kernel, rowBuffer, wrapX, wrapY, BlurLineColour);
}

void c_TesLayer_Gfx::UpdateThumbnail() {
    if (!picture || !HasPixels() || bytesPerChannel != 4) {
        thumbnail.Free();
        return;
    }
    const int32_t tw = picture->thumbWidth, th = picture->thumbHeight;
    const int32_t fw = RasterWidth(), fh = RasterHeight();
    if (tw < 1 || th < 1 || fw < 1 || fh < 1) {
        thumbnail.Free();
        return;
    }
    const size_t bytes = static_cast<size_t>(tw) * th * 4;
    if (thumbnail.Size() != bytes && !thumbnail.Alloc(bytes)) {
        thumbnail.Free();
        return;
    }
    const double sx = static_cast<double>(fw) / tw, sy = static_cast<double>(fh) / th;
    // Four samples a cell, spread over its upper-left part; a compacted layer maps each sample
    // through its content rectangle and finds nothing outside it.
    const double ox[4] = {0.0, 0.4, 0.1, 0.4}, oy[4] = {0.0, 0.1, 0.4, 0.4};
    const float* px = Pixels();
    uint32_t* out = thumbnail.As<uint32_t>();
    for (int32_t row = 0; row < th; ++row)
        for (int32_t col = 0; col < tw; ++col) {
            const double cx = col * sx, cy = row * sy;
            double a = 0.0, r = 0.0, g = 0.0, b = 0.0;
            for (int k = 0; k < 4; ++k) {
                const int64_t X = static_cast<int64_t>(cx + ox[k] * sx) - x;
                const int64_t Y = static_cast<int64_t>(cy + oy[k] * sy) - y;
                if (X < 0 || Y < 0 || X >= width || Y >= height) continue;
                const float* p = px + (Y * width + X) * 4;
                a += p[3];
                r += static_cast<double>(p[0]) * p[3];
                g += static_cast<double>(p[1]) * p[3];
                b += static_cast<double>(p[2]) * p[3];
            }
            uint32_t v = 0;
            if (a > 0.0)
                v = tes::ToByte(static_cast<float>(r / a)) << 24 |
                    tes::ToByte(static_cast<float>(g / a)) << 16 |
                    tes::ToByte(static_cast<float>(b / a)) << 8 | tes::ToByte(static_cast<float>(a * 0.25));
            out[static_cast<int64_t>(row) * tw + col] = v;
        }
}

void c_TesLayer_Gfx::UploadThumbnail() {
    if (!picture) return;
    // Only layers of the stack have a slot (the selection lives outside it).
    if (!below && !above && picture->bottomLayer != this) return;
    thumbnailSlot = StackPosition();
    if (!picture->display || thumbnailSlot < 1 || thumbnailSlot > c_TesPic::kThumbnailTextures) return;
    const int32_t tw = picture->thumbWidth, th = picture->thumbHeight;
    if (thumbnail.Size() != static_cast<size_t>(tw) * th * 4) UpdateThumbnail();
    if (thumbnail.Empty())
        picture->display->UploadThumbnail(*picture, thumbnailSlot, nullptr, 0, 0);
    else
        picture->display->UploadThumbnail(*picture, thumbnailSlot, thumbnail.As<uint32_t>(), tw, th);
}

void c_TesLayer_Gfx::EraseByMask(int64_t start, int32_t w, int32_t h, const float* mask,
                                 int32_t maskRowSkip) {
    if (!HasPixels() || !mask || w <= 0 || h <= 0 || start < 0) return;
    if ((start + static_cast<int64_t>(h - 1) * width + w) * 16 > static_cast<int64_t>(pixels.Size())) return;
    float* row = Pixels() + start * 4;
    for (int32_t r = 0; r < h; ++r, row += static_cast<int64_t>(width) * 4, mask += maskRowSkip)
        for (int32_t c = 0; c < w; ++c, ++mask) {
            const float m = *mask;
            if (m > 0.0f) row[c * 4 + 3] *= 1.0f - m;
        }
}

void c_TesLayer_Gfx::KeepByMask(int64_t start, int32_t w, int32_t h, const float* mask, int32_t maskRowSkip) {
    if (!HasPixels() || w <= 0 || h <= 0 || start < 0) return;
    if ((start + static_cast<int64_t>(h - 1) * width + w) * 16 > static_cast<int64_t>(pixels.Size())) return;
    float* row = Pixels() + start * 4;
    for (int32_t r = 0; r < h; ++r, row += static_cast<int64_t>(width) * 4) {
        if (!mask) {
            for (int32_t c = 0; c < w; ++c)
                row[c * 4 + 3] = 0.0f;
            continue;
        }
        for (int32_t c = 0; c < w; ++c, ++mask) {
            const float m = *mask;
            if (m < 1.0f) row[c * 4 + 3] *= m;
        }
        mask += maskRowSkip;
    }
}

bool c_TesLayer_Gfx::SetFromImage(s_TesImage& image) {
    if (image.width < 1 || image.height < 1) return false;
    const uint64_t count = static_cast<uint64_t>(image.width) * static_cast<uint64_t>(image.height);
    if (count > SIZE_MAX / 32) return false;
    vek::MemBlock block;
    if (image.format == 5) {
        if (image.pixels.Size() < count * 16) return false;
        block = std::move(image.pixels);
    } else if (image.format == 1 || image.format == 2) {
        if (image.pixels.Size() < count * 4) return false;
        if (!block.Alloc(static_cast<size_t>(count) * 16)) return false;
        float level[256];
        for (int i = 0; i < 256; ++i)
            level[i] = static_cast<float>(i / 255.0);
        const uint8_t* in = image.pixels.As<uint8_t>();
        float* out = block.As<float>();
        const bool withAlpha = image.format == 2;
        // Bytes in memory: blue, green, red, then alpha or unused.
        for (uint64_t i = 0; i < count; ++i, in += 4, out += 4) {
            out[0] = level[in[2]];
            out[1] = level[in[1]];
            out[2] = level[in[0]];
            out[3] = withAlpha ? level[in[3]] : 1.0f;
        }
    } else {
        return false;
    }
    pixels = std::move(block);
    bytesPerChannel = 4;
    x = 0;
    y = 0;
    width = image.width;
    height = image.height;
    compacted = 0;
    fullWidth = width;
    fullHeight = height;
    contentX = contentY = 0;
    contentWidth = width;
    contentHeight = height;
    DropBackup();
    headerDirty = 1;
    pixelsDirty = 1;
    empty = 0;
    return true;
}
