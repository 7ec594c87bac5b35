// The smear kernel and pick-up. Kernel, per pixel with m > 0, w = k·ρ·(1 − σ)²: the carried paint
// G mixed with the stroke-start pixel S (a = G.α·(1 − w), n = S.α·w + a, X = S·(1 − t) + G·t with
// t = a / n), then X laid over the current pixel D with coverage q = n·m: α' = (1 − m)·D.α + q.
#include "engine/tools/cTes_Tool_Smear.h"

#include <algorithm>
#include <cmath>
#include <cstring>

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

void cTes_Tool_Smear::MixIntoPickUp(float* g, const float* a, int32_t count) const {
    const float k = smearFactor;
    for (int32_t i = 0; i < count; ++i, g += 4, a += 4) {
        const float add = a[3] * (1.0f - k);
        const float n = g[3] * k + add;
        if (!(n > 0.0f)) {
            g[0] = g[1] = g[2] = g[3] = 0.0f;
            continue;
        }
        const float t = add / n, u = 1.0f - t;
        g[0] = g[0] * u + a[0] * t;
        g[1] = g[1] * u + a[1] * t;
        g[2] = g[2] * u + a[2] * t;
        g[3] = n;
    }
}

void cTes_Tool_Smear::PickUp(s_StampPars& stamp, float* pickUp, const float* area, int32_t count) {
    if (stamp.firstStamp) {
        StrokeSetup(stamp);
        std::memcpy(pickUp, area, sizeof(float) * 4 * static_cast<size_t>(count));
        return;
    }
    MixIntoPickUp(pickUp, area, count);
}

void cTes_Tool_Smear::BlendSpan(s_StampPars& stamp) {
    tes::SmearSpan(stamp, smearFactor, decayRate, false, 0, 0.0f);
}

void tes::SmearSpan(s_StampPars& sp, float k, float rho, bool grain, uint32_t grainPpm, float grainDepth) {
    const float sigma = sp.strength;
    const float w = k * rho * (1.0f - sigma) * (1.0f - sigma);
    const float* s = sp.source;
    float* d = sp.dest;
    const float* g = sp.pickUp;
    float* cov = sp.coverage;
    const float* mask = sp.maskA;
    for (int32_t y = 0; y < sp.rows; ++y) {
        for (int32_t x = 0; x < sp.columns; ++x) {
            float m = mask[x];
            if (!(m > 0.0f)) continue;
            if (grain) {
                // The pixel's grain for the whole stroke, drawn on its first visit.
                float gr = cov[x];
                if (gr == 0.0f) {
                    gr = vek::RandomPpm() < grainPpm ? vek::RandomAmount() * grainDepth * sigma : -1.0f;
                    cov[x] = gr;
                }
                if (gr > 0.0f) m = std::max(0.0f, m - gr);
            }
            const float* sx = s + 4 * x;
            const float* gx = g + 4 * x;
            float* dx = d + 4 * x;
            const float a = gx[3] * (1.0f - w);
            const float n = sx[3] * w + a;
            float xr = 0.0f, xg = 0.0f, xb = 0.0f;
            if (n > 0.0f) {
                const float t = a / n, u = 1.0f - t;
                xr = sx[0] * u + gx[0] * t;
                xg = sx[1] * u + gx[1] * t;
                xb = sx[2] * u + gx[2] * t;
            }
            const float q = n * m;
            const float alpha = (1.0f - m) * dx[3] + q;
            if (!(alpha > 0.0f)) {
                dx[0] = dx[1] = dx[2] = dx[3] = 0.0f;
            } else if (n > 0.0f) {
                const float u = q / alpha, v = 1.0f - u;
                dx[0] = dx[0] * v + xr * u;
                dx[1] = dx[1] * v + xg * u;
                dx[2] = dx[2] * v + xb * u;
                dx[3] = alpha;
            } else {
                // Carried transparency thins the pixel like a nearly transparent pick-up would;
                // leaving it untouched would make an exactly empty pick-up the only one that
                // cannot erase.
                dx[3] = alpha;
            }
        }
        s += 4 * (sp.columns + sp.destRowSkip);
        d += 4 * (sp.columns + sp.destRowSkip);
        cov += sp.columns + sp.destRowSkip;
        g += 4 * (sp.columns + sp.pickUpRowSkip);
        mask += sp.columns + sp.maskRowSkip;
    }
}
