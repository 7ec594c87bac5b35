// The 2-colour pen and the base of the shaded pens: the tip is hard-edged (tip shape 1, hardness
// pulled towards 1) and mask B, the edge cone, decides the colour band. Coverage is tracked on the
// cone value e, so the stamp whose centre is nearest to a pixel decides its colour; the paint-over
// itself uses the tip value m. Colour: paint at the centre fading linearly to the outer edge colour.
#pragma once

#include "engine/tools/cTes_ToolFreehandTip.h"

class cTes_Tool_DuoColorPen : public cTes_ToolFreehandTip {
  public:
    cTes_Tool_DuoColorPen();
    // Tip shape 1, hardness 0.5 + 0.5·h.
    void AdjustStamp(s_StampPars& stamp) override;
    void BlendSpan(s_StampPars& stamp) override;
};

namespace tes {
// Runs `colour(e, P)` for every pixel with e > cov (cov ← e) and paints P over the source with m;
// with `writeFull` a full tip (m >= 1) writes (P, 1) and pixels with m <= 0 are skipped.
template <class ColourOf> inline void EdgeConeSpan(s_StampPars& sp, bool writeFull, ColourOf colour);
} // namespace tes

#include "engine/tools/PaintOver.h"

template <class ColourOf> inline void tes::EdgeConeSpan(s_StampPars& sp, bool writeFull, ColourOf colour) {
    const float* s = sp.source;
    float* d = sp.dest;
    float* cov = sp.coverage;
    const float* ma = sp.maskA;
    const float* mb = sp.maskB;
    for (int32_t y = 0; y < sp.rows; ++y) {
        for (int32_t x = 0; x < sp.columns; ++x) {
            const float m = ma[x], e = mb[x];
            if (writeFull && !(m > 0.0f)) continue;
            if (!(e > cov[x])) continue;
            cov[x] = e;
            float p[3];
            colour(e, p);
            if (writeFull)
                PaintOverOrWrite(s + 4 * x, m, p, d + 4 * x);
            else
                PaintOver(s + 4 * x, m, p, d + 4 * x);
        }
        s += 4 * (sp.columns + sp.destRowSkip);
        d += 4 * (sp.columns + sp.destRowSkip);
        cov += sp.columns + sp.destRowSkip;
        ma += sp.columns + sp.maskRowSkip;
        mb += sp.columns + sp.maskRowSkip;
    }
}
