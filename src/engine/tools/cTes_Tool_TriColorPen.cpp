#include "engine/tools/cTes_Tool_TriColorPen.h"

#include "engine/tools/CoverageSpan.h"

void cTes_Tool_TriColorPen::BlendSpan(s_StampPars& sp) {
    const float* paint = sp.paint;
    const float* inner = sp.innerEdge;
    const float* outer = sp.outerEdge;
    // Outer half: outer edge → inner edge; inner half: inner edge → paint.
    tes::CoverageSpan<true, false>(sp, [paint, inner, outer](auto e, auto& r, auto& g, auto& b) {
        const auto e2 = 2.0f * e;
        const auto outerHalf = e2 <= 1.0f;
        const auto u = e2 - 1.0f;
        r = outerHalf ? (1.0f - e2) * outer[0] + e2 * inner[0] : (1.0f - u) * inner[0] + u * paint[0];
        g = outerHalf ? (1.0f - e2) * outer[1] + e2 * inner[1] : (1.0f - u) * inner[1] + u * paint[1];
        b = outerHalf ? (1.0f - e2) * outer[2] + e2 * inner[2] : (1.0f - u) * inner[2] + u * paint[2];
    });
}
