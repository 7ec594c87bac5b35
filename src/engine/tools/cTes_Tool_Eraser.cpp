#include "engine/tools/cTes_Tool_Eraser.h"

cTes_Tool_Eraser::cTes_Tool_Eraser() {
    usesPaint = 0;
    complementId = 53;
}

void cTes_Tool_Eraser::BlendSpan(s_StampPars& sp) {
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
            float* dx = d + 4 * x;
            const float a = sx[3] - m;
            if (a > 0.0f) {
                dx[0] = sx[0];
                dx[1] = sx[1];
                dx[2] = sx[2];
                dx[3] = a;
            } else {
                dx[0] = dx[1] = dx[2] = dx[3] = 0.0f;
            }
        }
        s += 4 * (sp.columns + sp.destRowSkip);
        d += 4 * (sp.columns + sp.destRowSkip);
        cov += sp.columns + sp.destRowSkip;
        mask += sp.columns + sp.maskRowSkip;
    }
}
