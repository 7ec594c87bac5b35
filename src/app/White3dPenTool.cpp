// Per pixel with m > 0 and e > cov: cov ← e; P = (1 − e)·paint + e·inner; (P, 1) under a full
// tip, else painted over.
#include "app/White3dPenTool.h"

#include "engine/tools/CoverageSpan.h"

namespace scribbix {

White3dPenTool::White3dPenTool() {
    usesInnerEdge = 1;
}

void White3dPenTool::BlendSpan(s_StampPars& sp) {
    const float* paint = sp.paint;
    const float* inner = sp.innerEdge;
    tes::CoverageSpan<true, true>(sp, [paint, inner](auto e, auto& r, auto& g, auto& b) {
        r = (1.0f - e) * paint[0] + e * inner[0];
        g = (1.0f - e) * paint[1] + e * inner[1];
        b = (1.0f - e) * paint[2] + e * inner[2];
    });
}

} // namespace scribbix
