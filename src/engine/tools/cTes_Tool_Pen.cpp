// Pen kernels. Per pixel with m > cov: cov ← m, then paint over the source (blend mode 0) or mix
// the blend function's result into the source by m, keeping the source alpha.
#include "engine/tools/cTes_Tool_Pen.h"

#include "engine/picture/BlendModes.h"
#include "engine/tools/CoverageSpan.h"
#include "engine/tools/PaintOver.h"

namespace tes {

void PenSpanNormal(s_StampPars& sp) {
    const float r0 = sp.paint[0], g0 = sp.paint[1], b0 = sp.paint[2];
    CoverageSpan<false, false>(sp, [r0, g0, b0](auto e, auto& r, auto& g, auto& b) {
        r = e * 0.0f + r0;
        g = e * 0.0f + g0;
        b = e * 0.0f + b0;
    });
}

void PenSpanBlend(s_StampPars& sp, int32_t mode) {
    const t_TesBlendFunction blend = GetBlendFunction(mode);
    if (!blend) return;
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
            if (!(m > 0.0f) || !(sx[3] > 0.0f)) continue;
            float r = sp.paint[0], g = sp.paint[1], b = sp.paint[2];
            blend(sx[0], sx[1], sx[2], r, g, b);
            float* dx = d + 4 * x;
            const float u = 1.0f - m;
            dx[0] = sx[0] * u + r * m;
            dx[1] = sx[1] * u + g * m;
            dx[2] = sx[2] * u + b * m;
            dx[3] = sx[3];
        }
        s += 4 * (sp.columns + sp.destRowSkip);
        d += 4 * (sp.columns + sp.destRowSkip);
        cov += sp.columns + sp.destRowSkip;
        mask += sp.columns + sp.maskRowSkip;
    }
}

} // namespace tes

void cTes_Tool_Pen::BlendSpan(s_StampPars& stamp) {
    const int32_t mode = blendMode >= 0 ? blendMode : stamp.blendMode;
    if (mode == 0)
        tes::PenSpanNormal(stamp);
    else
        tes::PenSpanBlend(stamp, mode);
}
