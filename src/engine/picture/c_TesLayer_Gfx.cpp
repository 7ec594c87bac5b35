// Colour layer: construction, clone, compaction (to the bounding box of pixels with alpha above
// 0, shared with the mono kinds in c_TesLayer), creation, clearing, protect transparency and its
// class block.
#include "engine/picture/c_TesLayer_Gfx.h"

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
    return compact ? TrimToContent(0.0f) : ExpandWith(0.0f);
}

bool c_TesLayer_Gfx::Create(int32_t nx, int32_t ny, int32_t w, int32_t h) {
    return CreateRaster(nx, ny, w, h);
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
