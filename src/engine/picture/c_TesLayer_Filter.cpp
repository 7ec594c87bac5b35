// Dynamic filter layer: keeps its record and class block (filter kind and parameter sub-chunks,
// written back byte for byte) and is neutral in the composite.
#include "engine/picture/c_TesLayer_Filter.h"

#include <cstring>

#include "engine/picture/TypeBlockChunks.h"

namespace {
const float kZero = 0.0f;
constexpr uint32_t kTagKind = 0x40000001;
} // namespace

c_TesLayer_Filter::c_TesLayer_Filter() : cTes_Layer_Mask(2, 1, &kZero) {}

c_TesLayer_Filter::~c_TesLayer_Filter() = default;

std::unique_ptr<c_TesLayer_MonoComp_NoType> c_TesLayer_Filter::MakeSame() const {
    auto copy = std::make_unique<c_TesLayer_Filter>();
    copy->filterKind = filterKind;
    if (!copy->filterParameters.CopyFrom(filterParameters)) return nullptr;
    return copy;
}

int32_t c_TesLayer_Filter::WriteTypeBlock(vek::MemBlock& buffer, int32_t position) const {
    uint8_t payload[4];
    tes::PutU32(payload, static_cast<uint32_t>(filterKind));
    const int32_t end = tes::PutSmallChunk(buffer, position, kTagKind, payload);
    if (end < 0) return -1;
    const int32_t extra = static_cast<int32_t>(filterParameters.Size());
    if (extra == 0) return end;
    if (!tes::Reserve(buffer, end, extra)) return -1;
    std::memcpy(buffer.As<uint8_t>() + end, filterParameters.Data(), extra);
    return end + extra;
}

bool c_TesLayer_Filter::ReadTypeBlock(const uint8_t* data, int32_t size) {
    int32_t kind = filterKind;
    int32_t paramBytes = 0;
    bool ok = tes::WalkChunks(data, size, [&](uint32_t tag, const uint8_t* p, int32_t n) {
        if (tag == kTagKind && n >= 4)
            kind = static_cast<int32_t>(tes::GetU32(p));
        else
            paramBytes += n + 8;
    });
    if (!ok) return false;
    vek::MemBlock params;
    if (paramBytes > 0) {
        if (!params.Alloc(paramBytes)) return false;
        int32_t at = 0;
        tes::WalkChunks(data, size, [&](uint32_t tag, const uint8_t* p, int32_t n) {
            if (tag == kTagKind && n >= 4) return;
            std::memcpy(params.As<uint8_t>() + at, p - 8, n + 8);
            at += n + 8;
        });
    }
    filterKind = kind;
    filterParameters = std::move(params);
    return true;
}

void c_TesLayer_Filter::GetCompositeMargins(int32_t& left, int32_t& top, int32_t& right,
                                            int32_t& bottom) const {
    left = top = right = bottom = 0;
}

void c_TesLayer_Filter::ApplyToComposite(float* target, int32_t targetRowSkip, const float* mask,
                                         int32_t maskRowSkip, int32_t w, int32_t h, int32_t op) {}
