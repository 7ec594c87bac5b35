// Per pixel with m > 0 and e > cov: cov ← e; w = (1 − e)²; P = w·outer + (1 − w)·paint; (P, 1)
// under a full tip, else P painted over the stroke-start pixel.
#include "app/ThreeDeePenTool.h"

#include "engine/tools/CoverageSpan.h"

namespace scribbix {

ThreeDeePenTool::ThreeDeePenTool() {
    usesOuterEdge = 1;
}

void ThreeDeePenTool::BlendSpan(s_StampPars& sp) {
    tes::ShadeSpan(sp, sp.outerEdge, [](auto e) { return (1.0f - e) * (1.0f - e); });
}

} // namespace scribbix
