// The smear kernel and pick-up. Kernel, per pixel with m > 0, w = k·ρ·(1 − σ)²: the carried paint
// G mixed with the stroke-start pixel S (a = G.α·(1 − w), n = S.α·w + a, X = S·(1 − t) + G·t with
// t = a / n), then X laid over the current pixel D with coverage q = n·m: α' = (1 − m)·D.α + q.
// All of it is a weighted sum of premultiplied colours, which is how it is computed: the pick-up
// buffer and the area under the tip are kept premultiplied, and only the result is divided back.
#include "engine/tools/cTes_Tool_Smear.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/tools/CoverageSpan.h"
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

void cTes_Tool_Smear::MixIntoPickUp(float* __restrict g, const float* __restrict a, int32_t count) const {
    // Straight: G.α' = G.α·k + A.α·(1 − k), G.rgb' = G.rgb·(1 − t) + A.rgb·t with t = A.α·(1 − k) / G.α';
    // premultiplied that is one weighted sum, and no alpha left gives (0, 0, 0, 0) by itself.
    const float k = smearFactor, l = 1.0f - smearFactor;
    for (int32_t i = 0; i < count * 4; ++i)
        g[i] = g[i] * k + a[i] * l;
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

namespace {

// Four pixels at x: the same rule as the single-pixel loop below, in channel vectors.
inline void SmearQuad(const float* s, const float* g, float* d, tes::v4f m, float w, float v) {
    using tes::v4f;
    __m128 s0 = _mm_loadu_ps(s), s1 = _mm_loadu_ps(s + 4), s2 = _mm_loadu_ps(s + 8),
           s3 = _mm_loadu_ps(s + 12);
    __m128 g0 = _mm_loadu_ps(g), g1 = _mm_loadu_ps(g + 4), g2 = _mm_loadu_ps(g + 8),
           g3 = _mm_loadu_ps(g + 12);
    __m128 d0 = _mm_loadu_ps(d), d1 = _mm_loadu_ps(d + 4), d2 = _mm_loadu_ps(d + 8),
           d3 = _mm_loadu_ps(d + 12);
    _MM_TRANSPOSE4_PS(s0, s1, s2, s3);
    _MM_TRANSPOSE4_PS(g0, g1, g2, g3);
    _MM_TRANSPOSE4_PS(d0, d1, d2, d3);
    const v4f sa = reinterpret_cast<v4f>(s3) * w, dd = (1.0f - m) * reinterpret_cast<v4f>(d3);
    const v4f alpha = dd + m * (sa + reinterpret_cast<v4f>(g3) * v);
    const tes::v4i valid = alpha > 0.0f, touched = m > 0.0f;
    const v4f inv = 1.0f / (valid ? alpha : tes::Splat(1.0f));
    const v4f r = (reinterpret_cast<v4f>(d0) * dd +
                   m * (reinterpret_cast<v4f>(s0) * sa + reinterpret_cast<v4f>(g0) * v)) *
                  inv;
    const v4f gr = (reinterpret_cast<v4f>(d1) * dd +
                    m * (reinterpret_cast<v4f>(s1) * sa + reinterpret_cast<v4f>(g1) * v)) *
                   inv;
    const v4f b = (reinterpret_cast<v4f>(d2) * dd +
                   m * (reinterpret_cast<v4f>(s2) * sa + reinterpret_cast<v4f>(g2) * v)) *
                  inv;
    const v4f zero = tes::Splat(0.0f);
    __m128 o0 = reinterpret_cast<__m128>(touched ? (valid ? r : zero) : reinterpret_cast<v4f>(d0));
    __m128 o1 = reinterpret_cast<__m128>(touched ? (valid ? gr : zero) : reinterpret_cast<v4f>(d1));
    __m128 o2 = reinterpret_cast<__m128>(touched ? (valid ? b : zero) : reinterpret_cast<v4f>(d2));
    __m128 o3 = reinterpret_cast<__m128>(touched ? (valid ? alpha : zero) : reinterpret_cast<v4f>(d3));
    _MM_TRANSPOSE4_PS(o0, o1, o2, o3);
    _mm_storeu_ps(d, o0);
    _mm_storeu_ps(d + 4, o1);
    _mm_storeu_ps(d + 8, o2);
    _mm_storeu_ps(d + 12, o3);
}

} // namespace

void tes::SmearSpan(s_StampPars& sp, float k, float rho, bool grain, uint32_t grainPpm, float grainDepth) {
    const float sigma = sp.strength;
    const float w = k * rho * (1.0f - sigma) * (1.0f - sigma), v = 1.0f - w;
    const tes::v4i rgbOnly = {-1, -1, -1, 0};
    const tes::v4f unitAlpha = {1.0f, 1.0f, 1.0f, 1.0f};
    const float* s = sp.source;
    float* d = sp.dest;
    const float* g = sp.pickUp;
    float* cov = sp.coverage;
    const float* mask = sp.maskA;
    for (int32_t y = 0; y < sp.rows; ++y) {
        int32_t first, end;
        tes::SpanColumns(sp, y, first, end);
        int32_t x = first;
        if (!grain) {
            for (; x + 4 <= end; x += 4) {
                tes::v4f m;
                __builtin_memcpy(&m, mask + x, 16);
                if (_mm_movemask_ps(reinterpret_cast<__m128>(m > 0.0f)) == 0) continue;
                SmearQuad(s + 4 * x, g + 4 * x, d + 4 * x, m, w, v);
            }
        }
        for (; x < end; ++x) {
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
            // X = the carried paint G (premultiplied) mixed with the stroke-start pixel S (weight
            // w), then X over the current pixel D with coverage m. With the alpha lane of S and D
            // read as 1, one vector expression gives the premultiplied colour in lanes 0..2 and
            // the new alpha in lane 3. Carried transparency (no alpha in X) still thins the pixel,
            // as a nearly transparent pick-up would; its colour then stays.
            tes::v4f sv, gv, dv;
            __builtin_memcpy(&sv, s + 4 * x, 16);
            __builtin_memcpy(&gv, g + 4 * x, 16);
            __builtin_memcpy(&dv, d + 4 * x, 16);
            const float sa = sv[3] * w, dd = (1.0f - m) * dv[3];
            const tes::v4f s1 = rgbOnly ? sv : unitAlpha, d1 = rgbOnly ? dv : unitAlpha;
            const tes::v4f r = d1 * dd + (s1 * sa + gv * v) * m;
            const float alpha = r[3];
            tes::v4f out = tes::Splat(0.0f);
            if (alpha > 0.0f) {
                out = r * (1.0f / alpha);
                out[3] = alpha;
            }
            __builtin_memcpy(d + 4 * x, &out, 16);
        }
        s += 4 * (sp.columns + sp.destRowSkip);
        d += 4 * (sp.columns + sp.destRowSkip);
        cov += sp.columns + sp.destRowSkip;
        g += 4 * (sp.columns + sp.pickUpRowSkip);
        mask += sp.columns + sp.maskRowSkip;
    }
}
