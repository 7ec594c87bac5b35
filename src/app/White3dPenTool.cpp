// Per pixel with m > 0 and e > cov: cov ← e; P = (1 − e)·paint + e·inner; (P, 1) under a full
// tip, else painted over.
#include "app/White3dPenTool.h"

namespace scribbix {

White3dPenTool::White3dPenTool() {
    usesInnerEdge = 1;
}

void White3dPenTool::BlendSpan(s_StampPars& sp) {
    const float* paint = sp.paint;
    const float* inner = sp.innerEdge;
    tes::EdgeConeSpan(sp, true, [paint, inner](float e, float* p) {
        for (int ch = 0; ch < 3; ++ch)
            p[ch] = (1.0f - e) * paint[ch] + e * inner[ch];
    });
}

} // namespace scribbix
