// Texture layer: created with a ramp, never drawn in the composite.
#include "engine/picture/c_TesLayer_Texture.h"

namespace {
const float kZero = 0.0f;
} // namespace

c_TesLayer_Texture::c_TesLayer_Texture() : c_TesLayer_MonoComp_NoType(5, 1, &kZero) {}

c_TesLayer_Texture::~c_TesLayer_Texture() = default;

std::unique_ptr<c_TesLayer_MonoComp_NoType> c_TesLayer_Texture::MakeSame() const {
    return std::make_unique<c_TesLayer_Texture>();
}

bool c_TesLayer_Texture::Create(int32_t nx, int32_t ny, int32_t w, int32_t h) {
    if (HasPixels()) return true;
    if (!c_TesLayer_MonoComp_NoType::Create(nx, ny, w, h)) return false;
    // 0, then +0.0001 in single precision each value; a value past 1.0 restarts at 0.
    float* p = Pixels();
    const size_t n = static_cast<size_t>(width) * height;
    float v = 0.0f;
    for (size_t i = 0; i < n; ++i) {
        p[i] = v;
        v = v + 0.0001f;
        if (v > 1.0f) v = 0.0f;
    }
    return true;
}

void c_TesLayer_Texture::CompositeOnto(c_TesLayer_Gfx& target) {}
