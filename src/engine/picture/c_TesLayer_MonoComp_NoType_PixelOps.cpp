// Single-component layer pixel operations: copying from mono and colour layers, plain-area
// resample, the separable blur, and the thumbnail slot (mono layers show no thumbnail).
// Values are unclamped floats; sums run in double. Masking by alpha does nothing on mono layers.
#include <algorithm>

#include "engine/picture/LayerTransform.h"
#include "engine/picture/c_TesLayer_MonoComp_NoType.h"
#include "engine/picture/c_TesPic.h"

namespace {

// One line of the blur; without wrap the sum is normalised by the weights that fell inside, so a
// constant line stays constant up to its ends.
void BlurLineMono(const float* src, int32_t n, int32_t kernelSize, const double* k, bool wrap, float* dst,
                  int64_t stride) {
    const int32_t half = kernelSize / 2;
    for (int32_t p = 0; p < n; ++p, dst += stride) {
        double s = 0.0, inside = 0.0;
        for (int32_t j = 0; j < kernelSize; ++j) {
            int64_t q = static_cast<int64_t>(p) + j - half;
            if (q < 0 || q >= n) {
                if (!wrap) continue;
                q = tes::WrapIndex(q, n);
            }
            inside += k[j];
            s += k[j] * src[q];
        }
        *dst = static_cast<float>(wrap ? s : (inside != 0.0 ? s / inside : 0.0));
    }
}

// Mono value of a colour pixel: the mean of the selected colour channels (1.0 with none
// selected), times alpha when the alpha flag is set.
float MonoOf(const float* p, uint32_t flags) {
    double sum = 0.0;
    int count = 0;
    for (int k = 0; k < 3; ++k)
        if ((flags >> k) & 1) {
            sum += p[k];
            ++count;
        }
    double v = count ? sum / count : 1.0;
    if (flags & 8) v *= p[3];
    return static_cast<float>(v);
}

} // namespace

bool c_TesLayer_MonoComp_NoType::CopyFrom(const c_TesLayer& source, uint32_t flags) {
    if (&source == this) return true;
    const int32_t oldW = width, oldH = height, oldCompacted = compacted;
    const float oldOutside = outsideValue;
    const bool monoSource = source.type == 2 || source.type == 3 || source.type == 5;
    if (monoSource || source.type == 1) {
        if (!source.HasPixels() || source.bytesPerChannel != 4) return false;
        const int64_t n = static_cast<int64_t>(source.width) * source.height;
        if (n < 0 || source.pixels.Size() < static_cast<uint64_t>(n) * source.channels * 4) return false;
        vek::MemBlock out;
        if (monoSource) {
            if (!out.CopyFrom(source.pixels)) return false;
            outsideValue = source.outsideValue;
        } else {
            // Converted pixel by pixel; a compacted source's transparent surroundings give the
            // outside value.
            if (!out.Alloc(static_cast<size_t>(std::max<int64_t>(n, 1)) * 4)) return false;
            const float* in = source.Pixels();
            float* o = out.As<float>();
            for (int64_t i = 0; i < n; ++i)
                o[i] = MonoOf(in + i * 4, flags);
            const float transparent[4] = {0.0f, 0.0f, 0.0f, 0.0f};
            outsideValue = MonoOf(transparent, flags);
        }
        if (source.compacted && !compacted) {
            // An expanded layer stays expanded: the converted content is placed at full size.
            tes::s_RasterView v = tes::ViewOf(source);
            v.block = out.As<float>();
            v.channels = 1;
            v.outside = outsideValue;
            vek::MemBlock full;
            if (!tes::ExpandToRaster(v, full)) {
                outsideValue = oldOutside;
                return false;
            }
            pixels = std::move(full);
            bytesPerChannel = 4;
            x = y = 0;
            width = source.fullWidth;
            height = source.fullHeight;
        } else {
            pixels = std::move(out);
            bytesPerChannel = 4;
            x = source.x;
            y = source.y;
            width = source.width;
            height = source.height;
            compacted = source.compacted;
            contentX = source.contentX;
            contentY = source.contentY;
            contentWidth = source.contentWidth;
            contentHeight = source.contentHeight;
            fullWidth = source.fullWidth;
            fullHeight = source.fullHeight;
        }
    }
    if (width != oldW || height != oldH || compacted != oldCompacted) DropBackup();
    headerDirty = 1;
    pixelsDirty = 1;
    empty = 0;
    return true;
}

bool c_TesLayer_MonoComp_NoType::Resample(int32_t w, int32_t h) {
    tes::s_LayerStage stage;
    if (!tes::StageResample(*this, w, h, true, stage)) return false;
    tes::Publish(stage);
    return true;
}

bool c_TesLayer_MonoComp_NoType::Blur(int32_t kernelSize, const double* kernel, float* rowBuffer, bool wrapX,
                                      bool wrapY) {
    if (kernelSize < 1 || !kernel) return false;
    if (!HasPixels() || bytesPerChannel != 4) return true;
    return tes::SeparableBlur(*this, kernelSize, kernel, rowBuffer, wrapX, wrapY, BlurLineMono);
}

void c_TesLayer_MonoComp_NoType::UpdateThumbnail() {
    thumbnail.Free();
}

// A mono layer in the stack clears its slot's texture, so no stale picture shows there.
void c_TesLayer_MonoComp_NoType::UploadThumbnail() {
    if (!picture) return;
    if (!below && !above && picture->bottomLayer != this) return;
    thumbnailSlot = StackPosition();
    if (!picture->display || thumbnailSlot < 1 || thumbnailSlot > c_TesPic::kThumbnailTextures) return;
    picture->display->UploadThumbnail(*picture, thumbnailSlot, nullptr, 0, 0);
}

void c_TesLayer_MonoComp_NoType::EraseByMask(int64_t start, int32_t w, int32_t h, const float* mask,
                                             int32_t maskRowSkip) {}

void c_TesLayer_MonoComp_NoType::KeepByMask(int64_t start, int32_t w, int32_t h, const float* mask,
                                            int32_t maskRowSkip) {}
