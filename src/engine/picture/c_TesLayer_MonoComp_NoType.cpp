// Single-component layer: construction, clone, compaction to the part that differs from a
// constant border (chosen from the corners; the trimming itself is shared in c_TesLayer),
// creation, clearing, its class block (the outside value) and the mono composite driver that hands
// target areas to the kind's ApplyToComposite.
#include "engine/picture/c_TesLayer_MonoComp_NoType.h"

#include <algorithm>

#include "engine/picture/CompositePieces.h"
#include "engine/picture/TypeBlockChunks.h"

namespace {
const float kZero = 0.0f;
constexpr uint32_t kTagOutside = 0x20001;
} // namespace

c_TesLayer_MonoComp_NoType::c_TesLayer_MonoComp_NoType() : c_TesLayer(1, 0, 1, &kZero) {}

c_TesLayer_MonoComp_NoType::c_TesLayer_MonoComp_NoType(int32_t typeCode, int32_t flag, const float* fill)
    : c_TesLayer(1, typeCode, flag, fill) {}

c_TesLayer_MonoComp_NoType::~c_TesLayer_MonoComp_NoType() = default;

std::unique_ptr<c_TesLayer_MonoComp_NoType> c_TesLayer_MonoComp_NoType::MakeSame() const {
    return std::make_unique<c_TesLayer_MonoComp_NoType>();
}

std::unique_ptr<c_TesLayer> c_TesLayer_MonoComp_NoType::Clone() const {
    std::unique_ptr<c_TesLayer_MonoComp_NoType> copy = MakeSame();
    if (!copy || !copy->CopyRecordFrom(*this)) return nullptr;
    return copy;
}

bool c_TesLayer_MonoComp_NoType::SetCompact(bool compact) {
    if (!compact) return ExpandWith(outsideValue);
    if (!HasPixels() || compacted || width <= 0 || height <= 0) return true;
    const float* px = Pixels();
    const float tl = px[0], tr = px[width - 1];
    const float bl = px[static_cast<size_t>(height - 1) * width];
    const float br = px[static_cast<size_t>(height - 1) * width + width - 1];
    bool found = false;
    float c = 0.0f;
    // Checked in this order; the last equal pair wins.
    if (tl == bl) found = true, c = tl;
    if (tr == br) found = true, c = tr;
    if (tl == tr) found = true, c = tl;
    if (bl == br) found = true, c = bl;
    if (!found) {
        MarkCompactedWhole();
        return true;
    }
    return TrimToContent(c);
}

bool c_TesLayer_MonoComp_NoType::Create(int32_t nx, int32_t ny, int32_t w, int32_t h) {
    return CreateRaster(nx, ny, w, h);
}

int32_t c_TesLayer_MonoComp_NoType::WriteTypeBlock(vek::MemBlock& buffer, int32_t position) const {
    uint8_t payload[4];
    tes::PutF32(payload, outsideValue);
    return tes::PutSmallChunk(buffer, position, kTagOutside, payload);
}

bool c_TesLayer_MonoComp_NoType::ReadTypeBlock(const uint8_t* data, int32_t size) {
    float v = outsideValue;
    const bool ok = tes::WalkChunks(data, size, [&](uint32_t tag, const uint8_t* p, int32_t n) {
        if (tag == kTagOutside && n >= 4) v = tes::GetF32(p);
    });
    if (!ok) return false;
    outsideValue = v;
    return true;
}

void c_TesLayer_MonoComp_NoType::Clear() {
    if (HasPixels()) std::fill_n(Pixels(), static_cast<size_t>(width) * height, *fillValue);
    if (compacted) outsideValue = *fillValue;
    empty = 1;
    headerDirty = 1;
    pixelsDirty = 1;
}

void c_TesLayer_MonoComp_NoType::ApplyToComposite(float* target, int32_t targetRowSkip, const float* mask,
                                                  int32_t maskRowSkip, int32_t w, int32_t h, int32_t op) {}

void c_TesLayer_MonoComp_NoType::CompositeOnto(c_TesLayer_Gfx& target) {
    if (!visible || opacity == 0 || !target.HasPixels()) return;
    target.ResolvePendingClear(0, 0, 0, 0);
    const bool outsideMatters = compacted && (NeutralIsOne() ? outsideValue < 1.0f : outsideValue > 0.0f);
    const float* values = HasPixels() ? Pixels() : nullptr;
    float* dst = target.Pixels();
    const int32_t tw = target.width;
    auto apply = [&](int32_t tx, int32_t ty, int32_t w, int32_t h, const float* mask, int32_t maskSkip) {
        if (w <= 0 || h <= 0) return;
        ApplyToComposite(dst + (static_cast<size_t>(ty) * tw + tx) * 4, tw - w, mask, maskSkip, w, h,
                         opacity);
    };
    tes::ForEachWindowPiece(
        *this, target, false, [&](int32_t tx, int32_t ty, int32_t ax, int32_t ay, int32_t w, int32_t h) {
            // The part over the raster (the content while compacted).
            const int32_t ix0 = std::max(ax, x), iy0 = std::max(ay, y);
            const int32_t ix1 = std::min(ax + w, x + width);
            const int32_t iy1 = std::min(ay + h, y + height);
            const bool overlap = ix1 > ix0 && iy1 > iy0;
            if (overlap) {
                const float* m = values ? values + static_cast<size_t>(iy0 - y) * width + (ix0 - x) : nullptr;
                apply(tx + ix0 - ax, ty + iy0 - ay, ix1 - ix0, iy1 - iy0, m, width - (ix1 - ix0));
            }
            if (!outsideMatters) return;
            // Up to four bands around the content, drawn with the outside value.
            if (!overlap) {
                apply(tx, ty, w, h, nullptr, 0);
                return;
            }
            apply(tx, ty, w, iy0 - ay, nullptr, 0);
            apply(tx, ty + iy1 - ay, w, ay + h - iy1, nullptr, 0);
            apply(tx, ty + iy0 - ay, ix0 - ax, iy1 - iy0, nullptr, 0);
            apply(tx + ix1 - ax, ty + iy0 - ay, ax + w - ix1, iy1 - iy0, nullptr, 0);
        });
}
