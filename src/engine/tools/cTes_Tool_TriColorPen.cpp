#include "engine/tools/cTes_Tool_TriColorPen.h"

void cTes_Tool_TriColorPen::BlendSpan(s_StampPars& sp) {
    const float* paint = sp.paint;
    const float* inner = sp.innerEdge;
    const float* outer = sp.outerEdge;
    tes::EdgeConeSpan(sp, false, [paint, inner, outer](float e, float* p) {
        const float e2 = 2.0f * e;
        if (e2 <= 1.0f) {
            for (int ch = 0; ch < 3; ++ch)
                p[ch] = (1.0f - e2) * outer[ch] + e2 * inner[ch];
        } else {
            const float u = e2 - 1.0f;
            for (int ch = 0; ch < 3; ++ch)
                p[ch] = (1.0f - u) * inner[ch] + u * paint[ch];
        }
    });
}
