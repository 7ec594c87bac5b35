// Per pixel with m > cov: cov ← m; where the paint-over alpha is positive one draw decides (10 %)
// whether a second draw gives the sprinkle amount s; the colour is paint·(1 − s) + highlight·s.
#include "engine/tools/cTes_Tool_SprinkledPen.h"

#include "engine/tools/PaintOver.h"
#include "shell/Random.h"

cTes_Tool_SprinkledPen::cTes_Tool_SprinkledPen() {
    usesHighlight = 1;
}

void cTes_Tool_SprinkledPen::BlendSpan(s_StampPars& sp) {
    const float* s = sp.source;
    float* d = sp.dest;
    float* cov = sp.coverage;
    const float* mask = sp.maskA;
    for (int32_t y = 0; y < sp.rows; ++y) {
        for (int32_t x = 0; x < sp.columns; ++x) {
            const float m = mask[x];
            if (!(m > cov[x])) continue;
            cov[x] = m;
            const float* sx = s + 4 * x;
            const float a = (1.0f - m) * sx[3] + m;
            float colour[3] = {sp.paint[0], sp.paint[1], sp.paint[2]};
            if (a > 0.0f && vek::RandomPpm() < 100000) {
                const float k = vek::RandomAmount();
                for (int ch = 0; ch < 3; ++ch)
                    colour[ch] = sp.paint[ch] * (1.0f - k) + sp.highlight[ch] * k;
            }
            tes::PaintOver(sx, m, colour, d + 4 * x);
        }
        s += 4 * (sp.columns + sp.destRowSkip);
        d += 4 * (sp.columns + sp.destRowSkip);
        cov += sp.columns + sp.destRowSkip;
        mask += sp.columns + sp.maskRowSkip;
    }
}
