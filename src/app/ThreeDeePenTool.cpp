// Per pixel with m > 0 and e > cov: cov ← e; w = (1 − e)²; P = w·outer + (1 − w)·paint; (P, 1)
// under a full tip, else P painted over the stroke-start pixel.
#include "app/ThreeDeePenTool.h"

namespace scribbix {

ThreeDeePenTool::ThreeDeePenTool() {
    usesOuterEdge = 1;
}

void ThreeDeePenTool::BlendSpan(s_StampPars& sp) {
    const float* paint = sp.paint;
    const float* outer = sp.outerEdge;
    tes::EdgeConeSpan(sp, true, [paint, outer](float e, float* p) {
        const float w = (1.0f - e) * (1.0f - e);
        for (int ch = 0; ch < 3; ++ch)
            p[ch] = w * outer[ch] + (1.0f - w) * paint[ch];
    });
}

} // namespace scribbix
