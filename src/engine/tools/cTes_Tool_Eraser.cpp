#include "engine/tools/cTes_Tool_Eraser.h"

#include "engine/tools/CoverageSpan.h"

cTes_Tool_Eraser::cTes_Tool_Eraser() {
    usesPaint = 0;
    complementId = 53;
}

void cTes_Tool_Eraser::BlendSpan(s_StampPars& sp) {
    tes::RaiseCoverage(sp, [](const float* s, float* d, float m) {
        const float a = s[3] - m;
        if (a > 0.0f) {
            d[0] = s[0], d[1] = s[1], d[2] = s[2], d[3] = a;
        } else {
            d[0] = d[1] = d[2] = d[3] = 0.0f;
        }
    });
}
