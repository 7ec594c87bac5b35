// Per pixel with m > 0 and e > cov: cov ← e; P = (1 − e)·paint + e·inner; (P, 1) under a full
// tip, else painted over.
#include "app/White3dPenTool.h"

#include "engine/tools/CoverageSpan.h"

namespace scribbix {

White3dPenTool::White3dPenTool() {
    usesInnerEdge = 1;
}

void White3dPenTool::BlendSpan(s_StampPars& sp) {
    tes::ShadeSpan(sp, sp.innerEdge, [](auto e) { return e; });
}

} // namespace scribbix
