// Per pixel with m > 0 and e > cov: cov ← e; e₂ = 2e; outer half: w = ((1 − e₂)·0.8 + 0.2)² − 0.04
// and P = w·outer + (1 − w)·paint; inner half: u = e₂ − 1 and P = (1 − u)·paint + u·H.
#include "app/Highlight3DPenTool.h"

#include "engine/tools/CoverageSpan.h"

namespace scribbix {

Highlight3DPenTool::Highlight3DPenTool() {
    usesInnerEdge = 1;
    usesOuterEdge = 1;
}

void Highlight3DPenTool::DeriveHighlight(const float q[3], float h[3]) {
    const float sum = q[0] + q[1] + q[2];
    float chroma[3] = {0.3333f, 0.3333f, 0.3334f};
    if (sum > 0.0f)
        for (int ch = 0; ch < 3; ++ch)
            chroma[ch] = q[ch] / sum;
    const float level = 1.63f * sum + 0.06f;
    for (int ch = 0; ch < 3; ++ch)
        h[ch] = chroma[ch] * level;
    static const float kWeight[3] = {0.81f, 1.77f, 0.42f};
    float over = 0.0f;
    for (int ch = 0; ch < 3; ++ch) {
        if (h[ch] > 1.0f) {
            const float d = (h[ch] - 1.0f) * 0.75f;
            h[ch] -= d;
            over += d * kWeight[ch];
        }
    }
    if (over > 0.0f) {
        h[0] += 0.3333f * over;
        h[1] += 0.3333f * over;
        h[2] += 0.3334f * over;
    }
}

void Highlight3DPenTool::BlendSpan(s_StampPars& sp) {
    float light[3];
    DeriveHighlight(sp.paint, light);
    const float* paint = sp.paint;
    const float* outer = sp.outerEdge;
    const float h0 = light[0], h1 = light[1], h2 = light[2];
    tes::CoverageSpan<true, true>(sp, [paint, outer, h0, h1, h2](auto e, auto& r, auto& g, auto& b) {
        const auto e2 = 2.0f * e;
        const auto outerHalf = e2 <= 1.0f;
        const auto a = (1.0f - e2) * 0.8f + 0.2f;
        const auto w = a * a - 0.04f;
        const auto u = e2 - 1.0f;
        r = outerHalf ? w * outer[0] + (1.0f - w) * paint[0] : (1.0f - u) * paint[0] + u * h0;
        g = outerHalf ? w * outer[1] + (1.0f - w) * paint[1] : (1.0f - u) * paint[1] + u * h1;
        b = outerHalf ? w * outer[2] + (1.0f - w) * paint[2] : (1.0f - u) * paint[2] + u * h2;
    });
}

} // namespace scribbix
