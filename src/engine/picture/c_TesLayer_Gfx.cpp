// Colour layer: construction, clone, compaction to the bounding box of pixels with alpha above 0
// and expansion back, creation, clearing, backups with protect transparency, and its class block.
// Compaction and expansion build the new block first and install it only when complete, so a
// failed allocation leaves the layer exactly as it was.
#include "engine/picture/c_TesLayer_Gfx.h"

#include <algorithm>
#include <cstring>

#include "engine/picture/TypeBlockChunks.h"

namespace {
const float kZero = 0.0f;
constexpr uint32_t kTagProtect = 0x40000001;
} // namespace

c_TesLayer_Gfx::c_TesLayer_Gfx() : c_TesLayer(4, 1, 0, &kZero) {}

c_TesLayer_Gfx::~c_TesLayer_Gfx() = default;

std::unique_ptr<c_TesLayer> c_TesLayer_Gfx::Clone() const {
    auto copy = std::make_unique<c_TesLayer_Gfx>();
    if (!copy->CopyRecordFrom(*this)) return nullptr;
    return copy;
}

bool c_TesLayer_Gfx::SetCompact(bool compact) {
    if (!HasPixels()) return true;
    const float* px = Pixels();
    if (compact) {
        if (compacted) return true;
        // Bounding box of alpha > 0: rows from the top and bottom first, then only the columns
        // outside the box found so far need looking at in the rows between.
        int32_t top = -1, bottom = -1, left = width, right = -1;
        auto rowHasContent = [&](int32_t r) {
            const float* p = px + static_cast<size_t>(r) * width * 4 + 3;
            for (int32_t c = 0; c < width; ++c)
                if (p[c * 4] > 0.0f) return true;
            return false;
        };
        for (int32_t r = 0; r < height && top < 0; ++r)
            if (rowHasContent(r)) top = r;
        if (top >= 0) {
            for (int32_t r = height - 1; r >= top && bottom < 0; --r)
                if (rowHasContent(r)) bottom = r;
            for (int32_t r = top; r <= bottom; ++r) {
                const float* p = px + static_cast<size_t>(r) * width * 4 + 3;
                for (int32_t c = 0; c < left; ++c)
                    if (p[c * 4] > 0.0f) {
                        left = c;
                        break;
                    }
                for (int32_t c = width - 1; c > right; --c)
                    if (p[c * 4] > 0.0f) {
                        right = c;
                        break;
                    }
            }
        }
        const bool none = top < 0;
        const int32_t cx = none ? 0 : left, cy = none ? 0 : top;
        const int32_t cw = none ? 1 : right - left + 1, ch = none ? 1 : bottom - top + 1;
        if (cw == width && ch == height) {
            fullWidth = width;
            fullHeight = height;
            compacted = 1;
            contentX = x;
            contentY = y;
            contentWidth = width;
            contentHeight = height;
            empty = none ? 1 : 0;
            return true;
        }
        vek::MemBlock trimmed;
        if (!trimmed.Alloc(static_cast<size_t>(cw) * ch * 16)) return false;
        for (int32_t r = 0; r < ch; ++r)
            std::memcpy(trimmed.As<float>() + static_cast<size_t>(r) * cw * 4,
                        px + (static_cast<size_t>(cy + r) * width + cx) * 4, static_cast<size_t>(cw) * 16);
        pixels = std::move(trimmed);
        fullWidth = width;
        fullHeight = height;
        compacted = 1;
        empty = none ? 1 : 0;
        x += cx;
        y += cy;
        width = cw;
        height = ch;
        contentX = x;
        contentY = y;
        contentWidth = cw;
        contentHeight = ch;
        return true;
    }

    if (!compacted) return true;
    if (width == fullWidth && height == fullHeight) {
        compacted = 0;
        empty = 0;
        return true;
    }
    if (fullWidth <= 0 || fullHeight <= 0 || x < 0 || y < 0 || x + width > fullWidth ||
        y + height > fullHeight)
        return false; // a content rectangle outside the full raster cannot be placed
    vek::MemBlock full;
    if (!full.AllocZeroed(static_cast<size_t>(fullWidth) * fullHeight * 16)) return false;
    for (int32_t r = 0; r < height; ++r)
        std::memcpy(full.As<float>() + (static_cast<size_t>(y + r) * fullWidth + x) * 4,
                    px + static_cast<size_t>(r) * width * 4, static_cast<size_t>(width) * 16);
    const bool single = width == 1 && height == 1;
    const float singleAlpha = px[3];
    pixels = std::move(full);
    x = 0;
    y = 0;
    width = fullWidth;
    height = fullHeight;
    compacted = 0;
    if (single) empty = singleAlpha == 0.0f ? 1 : 0;
    return true;
}

bool c_TesLayer_Gfx::Create(int32_t nx, int32_t ny, int32_t w, int32_t h) {
    if (HasPixels()) return true;
    if (w < 0 || h < 0) return false;
    const uint64_t bytes = static_cast<uint64_t>(w) * static_cast<uint64_t>(h) * 16;
    if (bytes > SIZE_MAX / 2) return false;
    if (!pixels.AllocZeroed(static_cast<size_t>(bytes))) return false;
    bytesPerChannel = 4;
    x = nx;
    y = ny;
    width = w;
    height = h;
    return true;
}

int32_t c_TesLayer_Gfx::WriteTypeBlock(vek::MemBlock& buffer, int32_t position) const {
    const uint8_t payload[4] = {static_cast<uint8_t>(classFlag ? 1 : 0), 0, 0, 0};
    return tes::PutSmallChunk(buffer, position, kTagProtect, payload);
}

bool c_TesLayer_Gfx::ReadTypeBlock(const uint8_t* data, int32_t size) {
    int32_t flag = classFlag;
    const bool ok = tes::WalkChunks(data, size, [&](uint32_t tag, const uint8_t* p, int32_t n) {
        if (tag == kTagProtect && n >= 1) flag = p[0] ? 1 : 0;
    });
    if (!ok) return false;
    classFlag = flag;
    return true;
}

void c_TesLayer_Gfx::Clear() {
    if (HasPixels()) std::memset(pixels.Data(), 0, static_cast<size_t>(width) * height * 16);
    empty = 1;
    headerDirty = 1;
    pixelsDirty = 1;
}

void c_TesLayer_Gfx::SaveToBackup(int64_t start, int32_t w, int32_t h) {
    c_TesLayer::SaveToBackup(start, w, h);
}

void c_TesLayer_Gfx::RestoreProtectedAlpha(int64_t start, int32_t w, int32_t h) {
    if (!classFlag || !HasPixels() || backup.Size() != pixels.Size() || w <= 0 || h <= 0) return;
    float* dst = Pixels();
    const float* src = backup.As<float>();
    for (int32_t r = 0; r < h; ++r) {
        const size_t row = (static_cast<size_t>(start) + static_cast<size_t>(r) * width) * 4 + 3;
        for (int32_t c = 0; c < w; ++c)
            dst[row + c * 4] = src[row + c * 4];
    }
}
