// Per pixel with m > cov: cov ← m; where the paint-over alpha is positive one draw decides (10 %)
// whether a second draw gives the sprinkle amount s; the colour is paint·(1 − s) + highlight·s.
#include "engine/tools/cTes_Tool_SprinkledPen.h"

#include "engine/tools/CoverageSpan.h"
#include "engine/tools/PaintOver.h"
#include "shell/Random.h"

cTes_Tool_SprinkledPen::cTes_Tool_SprinkledPen() {
    usesHighlight = 1;
}

void cTes_Tool_SprinkledPen::BlendSpan(s_StampPars& sp) {
    tes::RaiseCoverage(sp, [&sp](const float* s, float* d, float m) {
        const float a = (1.0f - m) * s[3] + m;
        float colour[3] = {sp.paint[0], sp.paint[1], sp.paint[2]};
        if (a > 0.0f && vek::RandomPpm() < 100000) {
            const float k = vek::RandomAmount();
            for (int ch = 0; ch < 3; ++ch)
                colour[ch] = sp.paint[ch] * (1.0f - k) + sp.highlight[ch] * k;
        }
        tes::PaintOver(s, m, colour, d);
    });
}
