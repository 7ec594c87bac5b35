// Pen kernels. Per pixel with m > cov: cov ← m, then paint over the source (blend mode 0) or mix
// the blend function's result into the source by m, keeping the source alpha.
#include "engine/tools/cTes_Tool_Pen.h"

#include "engine/picture/BlendModes.h"
#include "engine/tools/CoverageSpan.h"

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
    RaiseCoverage(sp, [&sp, blend](const float* s, float* d, float m) {
        if (!(m > 0.0f) || !(s[3] > 0.0f)) return;
        float r = sp.paint[0], g = sp.paint[1], b = sp.paint[2];
        blend(s[0], s[1], s[2], r, g, b);
        const float u = 1.0f - m;
        d[0] = s[0] * u + r * m;
        d[1] = s[1] * u + g * m;
        d[2] = s[2] * u + b * m;
        d[3] = s[3];
    });
}

} // namespace tes

void cTes_Tool_Pen::BlendSpan(s_StampPars& stamp) {
    const int32_t mode = blendMode >= 0 ? blendMode : stamp.blendMode;
    if (mode == 0)
        tes::PenSpanNormal(stamp);
    else
        tes::PenSpanBlend(stamp, mode);
}
