#include "engine/tools/cTes_Tool_DuoColorPen.h"

#include "engine/tools/CoverageSpan.h"

cTes_Tool_DuoColorPen::cTes_Tool_DuoColorPen() {
    needsEdgeCone = 1;
}

void cTes_Tool_DuoColorPen::AdjustStamp(s_StampPars& stamp) {
    stamp.tip.tipShape = 1.0f;
    stamp.tip.hardness = 0.5f + 0.5f * stamp.tip.hardness;
}

void cTes_Tool_DuoColorPen::BlendSpan(s_StampPars& sp) {
    const float* paint = sp.paint;
    const float* outer = sp.outerEdge;
    tes::CoverageSpan<true, false>(sp, [paint, outer](auto e, auto& r, auto& g, auto& b) {
        r = e * paint[0] + (1.0f - e) * outer[0];
        g = e * paint[1] + (1.0f - e) * outer[1];
        b = e * paint[2] + (1.0f - e) * outer[2];
    });
}
