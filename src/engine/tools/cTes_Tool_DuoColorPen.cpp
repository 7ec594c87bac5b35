#include "engine/tools/cTes_Tool_DuoColorPen.h"

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
    tes::EdgeConeSpan(sp, false, [paint, outer](float e, float* p) {
        for (int ch = 0; ch < 3; ++ch)
            p[ch] = e * paint[ch] + (1.0f - e) * outer[ch];
    });
}
