// Per pick-up pixel: the paint colour laid over the area pixel A with coverage f (giving X, a₁),
// then X mixed into the pick-up as the smear does, with a₁ in place of A's alpha.
#include "engine/tools/cTes_Tool_OilPaint.h"

#include <cstring>

cTes_Tool_OilPaint::cTes_Tool_OilPaint() {
    smearFactor = 0.8f;
    usesPaint = 1;
}

void cTes_Tool_OilPaint::PickUp(s_StampPars& stamp, float* g, const float* a, int32_t count) {
    float f;
    if (stamp.firstStamp) {
        StrokeSetup(stamp);
        std::memcpy(g, a, sizeof(float) * 4 * static_cast<size_t>(count));
        f = 1.0f;
    } else {
        f = smearFactor * decayRate;
    }
    const float k = smearFactor;
    const float* paint = stamp.paint;
    for (int32_t i = 0; i < count; ++i, g += 4, a += 4) {
        const float a1 = a[3] * (1.0f - f) + f;
        float x[3] = {a[0], a[1], a[2]};
        if (a1 > 0.0f) {
            const float t = f / a1, u = 1.0f - t;
            for (int ch = 0; ch < 3; ++ch)
                x[ch] = a[ch] * u + paint[ch] * t;
        }
        const float add = a1 * (1.0f - k);
        const float n = g[3] * k + add;
        if (!(n > 0.0f)) {
            g[0] = g[1] = g[2] = g[3] = 0.0f;
        } else if (a1 > 0.0f) {
            const float t = add / n, u = 1.0f - t;
            for (int ch = 0; ch < 3; ++ch)
                g[ch] = g[ch] * u + x[ch] * t;
            g[3] = n;
        }
    }
}
