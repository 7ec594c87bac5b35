// Per pixel with m > 0 and e > cov: cov ← e; w = (1 − e)²; P = w·outer + (1 − w)·paint; (P, 1)
// under a full tip, else P painted over the stroke-start pixel.
#include "app/ThreeDeePenTool.h"

#include "engine/tools/CoverageSpan.h"

namespace scribbix {

ThreeDeePenTool::ThreeDeePenTool() {
    usesOuterEdge = 1;
}

void ThreeDeePenTool::BlendSpan(s_StampPars& sp) {
    const float* paint = sp.paint;
    const float* outer = sp.outerEdge;
    tes::CoverageSpan<true, true>(sp, [paint, outer](auto e, auto& r, auto& g, auto& b) {
        const auto w = (1.0f - e) * (1.0f - e);
        r = w * outer[0] + (1.0f - w) * paint[0];
        g = w * outer[1] + (1.0f - w) * paint[1];
        b = w * outer[2] + (1.0f - w) * paint[2];
    });
}

} // namespace scribbix
