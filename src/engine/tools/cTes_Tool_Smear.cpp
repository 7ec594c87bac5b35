// The smear kernel and pick-up. Kernel, per pixel with m > 0, w = k·ρ·(1 − σ)²: the carried paint
// G mixed with the stroke-start pixel S (a = G.α·(1 − w), n = S.α·w + a, X = S·(1 − t) + G·t with
// t = a / n), then X laid over the current pixel D with coverage q = n·m: α' = (1 − m)·D.α + q.
// All of it is a weighted sum of premultiplied colours, which is how it is computed: the pick-up
// buffer and the area under the tip are kept premultiplied, and only the result is divided back.
#include "engine/tools/cTes_Tool_Smear.h"

#include <algorithm>
#include <cmath>

#include "engine/tools/ToolRows.h"
#include "shell/Random.h"

cTes_Tool_Smear::cTes_Tool_Smear() {
    needsPickUp = 1;
    usesPaint = 0;
    complementId = 53;
}

void cTes_Tool_Smear::StrokeSetup(s_StampPars& stamp) {
    const float size = stamp.pars ? stamp.pars->size : stamp.tip.size;
    const double diameter = std::max(1.0, std::floor(static_cast<double>(size)));
    decayRate = static_cast<float>(1.0 - std::pow(0.001, 1.0 / (diameter + 1.0)));
}

bool cTes_Tool_Smear::PickUpWeights(s_StampPars& stamp, s_PickUpWeights& w) {
    // Straight: G.α' = G.α·k + A.α·(1 − k), G.rgb' = G.rgb·(1 − t) + A.rgb·t with t = A.α·(1 − k) / G.α';
    // premultiplied that is one weighted sum, and no alpha left gives (0, 0, 0, 0) by itself.
    if (stamp.firstStamp) {
        StrokeSetup(stamp);
        w = {0.0f, 1.0f, {0.0f, 0.0f, 0.0f, 0.0f}};
    } else {
        w = {smearFactor, 1.0f - smearFactor, {0.0f, 0.0f, 0.0f, 0.0f}};
    }
    return true;
}

void cTes_Tool_Smear::PickUp(s_StampPars& stamp, float* pickUp, const float* area, int32_t count) {
    s_PickUpWeights w;
    if (PickUpWeights(stamp, w)) tes::ToolRows().mixRow(pickUp, area, count, w);
}

void cTes_Tool_Smear::BlendSpan(s_StampPars& stamp) {
    tes::SmearSpan(stamp, smearFactor, decayRate, false, 0, 0.0f);
}

void tes::SmearSpan(s_StampPars& sp, float k, float rho, bool grain, uint32_t grainPpm, float grainDepth) {
    const float sigma = sp.strength;
    const float w = k * rho * (1.0f - sigma) * (1.0f - sigma);
    if (!grain) {
        tes::ToolRows().smearRect(sp, w);
        return;
    }
    const auto smearRow = tes::ToolRows().smearRow;
    const float fx = sp.tip.fx, fy = sp.tip.fy;
    const float* s = sp.source;
    float* d = sp.dest;
    const float* g = sp.pickUp;
    const size_t pickUpRow = 4 * static_cast<size_t>(sp.columns + sp.pickUpRowSkip);
    float* cov = sp.coverage;
    const float* mask = sp.maskA;
    for (int32_t y = 0; y < sp.rows; ++y) {
        int32_t first, end;
        tes::SpanColumns(sp, y, first, end);
        for (int32_t x = first; x < end; ++x) {
            float m = mask[x];
            if (!(m > 0.0f)) continue;
            // The pixel's grain for the whole stroke, drawn on its first visit.
            float gr = cov[x];
            if (gr == 0.0f) {
                gr = vek::RandomPpm() < grainPpm ? vek::RandomAmount() * grainDepth * sigma : -1.0f;
                cov[x] = gr;
            }
            if (gr > 0.0f) m = std::max(0.0f, m - gr);
            smearRow(s + 4 * x, g + 4 * x, g + pickUpRow + 4 * x, d + 4 * x, &m, 1, w, fx, fy);
        }
        s += 4 * (sp.columns + sp.destRowSkip);
        d += 4 * (sp.columns + sp.destRowSkip);
        cov += sp.columns + sp.destRowSkip;
        g += pickUpRow;
        mask += sp.columns + sp.maskRowSkip;
    }
}
