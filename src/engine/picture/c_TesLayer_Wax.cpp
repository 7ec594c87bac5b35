// Masking wax: stays expanded and draws the yellow overlay. Over a target pixel with alpha Da the
// overlay has strength t = 1 − k, k = (1 − w)·opacity: alpha becomes t + k·Da and the colour the
// alpha-weighted mix (t·wax + k·Da·colour) / alpha. Over an opaque target this is
// (1 − t)·colour + t·wax; where nothing was drawn (Da = 0) it is the wax colour itself, and a
// result with alpha 0 is transparent black, so the paper step only ever sees finite colours.
#include "engine/picture/c_TesLayer_Wax.h"

namespace {
const float kZero = 0.0f;
const float kWaxRed = 1.0f, kWaxGreen = 0.7f, kWaxBlue = 0.0f;
} // namespace

c_TesLayer_Wax::c_TesLayer_Wax() : cTes_Layer_Mask(3, 0, &kZero) {}

c_TesLayer_Wax::~c_TesLayer_Wax() = default;

std::unique_ptr<c_TesLayer_MonoComp_NoType> c_TesLayer_Wax::MakeSame() const {
    return std::make_unique<c_TesLayer_Wax>();
}

bool c_TesLayer_Wax::SetCompact(bool compact) {
    if (compact) return true;
    return c_TesLayer_MonoComp_NoType::SetCompact(false);
}

void c_TesLayer_Wax::ApplyToComposite(float* target, int32_t targetRowSkip, const float* mask,
                                      int32_t maskRowSkip, int32_t w, int32_t h, int32_t percent) {
    const float op = static_cast<float>(percent) / 100.0f;
    for (int32_t r = 0; r < h; ++r) {
        for (int32_t i = 0; i < w; ++i, target += 4) {
            const float wax = mask ? *mask++ : outsideValue;
            const float k = (1.0f - wax) * op;
            const float t = 1.0f - k;
            const float kd = k * target[3];
            const float outA = t + kd;
            if (!(outA > 0.0f)) {
                target[0] = target[1] = target[2] = target[3] = 0.0f;
                continue;
            }
            target[0] = (t * kWaxRed + kd * target[0]) / outA;
            target[1] = (t * kWaxGreen + kd * target[1]) / outA;
            target[2] = (t * kWaxBlue + kd * target[2]) / outA;
            target[3] = outA;
        }
        target += static_cast<size_t>(targetRowSkip) * 4;
        if (mask) mask += maskRowSkip;
    }
}
