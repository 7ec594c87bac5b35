// Per pick-up pixel: the paint colour laid over the area pixel A with coverage f (giving X, a₁),
// then X mixed into the pick-up as the smear does, with a₁ in place of A's alpha. The pick-up and
// the area are premultiplied, so both steps are weighted sums.
#include "engine/tools/cTes_Tool_OilPaint.h"

#include <cstring>

cTes_Tool_OilPaint::cTes_Tool_OilPaint() {
    smearFactor = 0.8f;
    usesPaint = 1;
}

void cTes_Tool_OilPaint::PickUp(s_StampPars& stamp, float* __restrict g, const float* __restrict a,
                                int32_t count) {
    float f;
    if (stamp.firstStamp) {
        StrokeSetup(stamp);
        std::memcpy(g, a, sizeof(float) * 4 * static_cast<size_t>(count));
        f = 1.0f;
    } else {
        f = smearFactor * decayRate;
    }
    // Premultiplied: X = A·(1 − f) + (paint, 1)·f, then G = G·k + X·(1 − k).
    const float k = smearFactor, l = 1.0f - smearFactor, keep = 1.0f - f;
    const float px[4] = {stamp.paint[0] * f, stamp.paint[1] * f, stamp.paint[2] * f, f};
    for (int32_t i = 0; i < count; ++i, g += 4, a += 4)
        for (int c = 0; c < 4; ++c)
            g[c] = g[c] * k + (a[c] * keep + px[c]) * l;
}
