// The coverage-rule kernel shared by the pens, four pixels at a time.
//
// Per pixel: key = m (tip value) or e (edge cone); where key > cov (and, for the shaded pens,
// m > 0): cov ← key and the colour P = colour(e) is painted over the stroke-start pixel S with m
// (α' = (1 − m)·S.α + m, t = m / α', rgb' = S.rgb·(1 − t) + P·t; (0, 0, 0, 0) where α' <= 0; with
// `writeFull` a full tip writes (P, 1)). Comparisons are false for NaN, so a NaN tip value
// changes nothing. The colour functor is generic: it is called with floats for single pixels and
// with four-lane vectors for groups, so one definition serves both.
#pragma once

#include <cstdint>

#include <emmintrin.h>

#include "engine/tools/s_StampPars.h"

namespace tes {

typedef float v4f __attribute__((vector_size(16)));
typedef int32_t v4i __attribute__((vector_size(16)));

inline v4f Splat(float x) {
    return v4f{x, x, x, x};
}

template <bool UseCone, bool WriteFull, class ColourOf> void CoverageSpan(s_StampPars& sp, ColourOf colour) {
    const float* s = sp.source;
    float* d = sp.dest;
    float* cov = sp.coverage;
    const float* ma = sp.maskA;
    const float* mb = UseCone ? sp.maskB : sp.maskA;
    const int32_t n = sp.columns;
    const v4f one = Splat(1.0f), zero = Splat(0.0f);
    for (int32_t y = 0; y < sp.rows; ++y) {
        int32_t x, end;
        SpanColumns(sp, y, x, end);
        for (; x + 4 <= end; x += 4) {
            v4f m, key, c;
            __builtin_memcpy(&m, ma + x, 16);
            __builtin_memcpy(&key, mb + x, 16);
            __builtin_memcpy(&c, cov + x, 16);
            v4i go = key > c;
            if (WriteFull) go &= m > zero;
            const int goBits = _mm_movemask_ps(reinterpret_cast<__m128>(go));
            if (goBits == 0) continue;
            const v4f newCov = go ? key : c;
            __builtin_memcpy(cov + x, &newCov, 16);
            v4f pr, pg, pb;
            colour(key, pr, pg, pb);
            if (WriteFull && goBits == 15 && _mm_movemask_ps(reinterpret_cast<__m128>(m >= one)) == 15) {
                // Four full pixels: (P, 1), whatever lies below.
                __m128 o0 = reinterpret_cast<__m128>(pr), o1 = reinterpret_cast<__m128>(pg);
                __m128 o2 = reinterpret_cast<__m128>(pb), o3 = reinterpret_cast<__m128>(one);
                _MM_TRANSPOSE4_PS(o0, o1, o2, o3);
                _mm_storeu_ps(d + 4 * x, o0);
                _mm_storeu_ps(d + 4 * x + 4, o1);
                _mm_storeu_ps(d + 4 * x + 8, o2);
                _mm_storeu_ps(d + 4 * x + 12, o3);
                continue;
            }
            // Four source pixels into channel vectors.
            __m128 s0 = _mm_loadu_ps(s + 4 * x), s1 = _mm_loadu_ps(s + 4 * x + 4);
            __m128 s2 = _mm_loadu_ps(s + 4 * x + 8), s3 = _mm_loadu_ps(s + 4 * x + 12);
            _MM_TRANSPOSE4_PS(s0, s1, s2, s3);
            const v4f sr = reinterpret_cast<v4f>(s0), sg = reinterpret_cast<v4f>(s1);
            const v4f sb = reinterpret_cast<v4f>(s2), sa = reinterpret_cast<v4f>(s3);
            const v4f a = (one - m) * sa + m;
            const v4i valid = a > zero;
            const v4f t = m / (valid ? a : one), u = one - t;
            v4f rr = sr * u + pr * t, rg = sg * u + pg * t, rb = sb * u + pb * t, ra = a;
            if (WriteFull) {
                const v4i full = m >= one;
                rr = full ? pr : rr, rg = full ? pg : rg, rb = full ? pb : rb, ra = full ? one : ra;
            }
            rr = valid ? rr : zero, rg = valid ? rg : zero, rb = valid ? rb : zero, ra = valid ? ra : zero;
            // Back to pixels, keeping the lanes that do not change.
            __m128 o0 = reinterpret_cast<__m128>(rr), o1 = reinterpret_cast<__m128>(rg);
            __m128 o2 = reinterpret_cast<__m128>(rb), o3 = reinterpret_cast<__m128>(ra);
            if (goBits != 15) {
                __m128 d0 = _mm_loadu_ps(d + 4 * x), d1 = _mm_loadu_ps(d + 4 * x + 4);
                __m128 d2 = _mm_loadu_ps(d + 4 * x + 8), d3 = _mm_loadu_ps(d + 4 * x + 12);
                _MM_TRANSPOSE4_PS(d0, d1, d2, d3);
                o0 = reinterpret_cast<__m128>(go ? rr : reinterpret_cast<v4f>(d0));
                o1 = reinterpret_cast<__m128>(go ? rg : reinterpret_cast<v4f>(d1));
                o2 = reinterpret_cast<__m128>(go ? rb : reinterpret_cast<v4f>(d2));
                o3 = reinterpret_cast<__m128>(go ? ra : reinterpret_cast<v4f>(d3));
            }
            _MM_TRANSPOSE4_PS(o0, o1, o2, o3);
            _mm_storeu_ps(d + 4 * x, o0);
            _mm_storeu_ps(d + 4 * x + 4, o1);
            _mm_storeu_ps(d + 4 * x + 8, o2);
            _mm_storeu_ps(d + 4 * x + 12, o3);
        }
        for (; x < end; ++x) {
            const float m = ma[x], key = mb[x];
            if (!(key > cov[x]) || (WriteFull && !(m > 0.0f))) continue;
            cov[x] = key;
            float p[3];
            colour(key, p[0], p[1], p[2]);
            const float* sx = s + 4 * x;
            float* dx = d + 4 * x;
            if (WriteFull && m >= 1.0f) {
                dx[0] = p[0], dx[1] = p[1], dx[2] = p[2], dx[3] = 1.0f;
                continue;
            }
            const float a = (1.0f - m) * sx[3] + m;
            if (a > 0.0f) {
                const float t = m / a, u = 1.0f - t;
                dx[0] = sx[0] * u + p[0] * t, dx[1] = sx[1] * u + p[1] * t, dx[2] = sx[2] * u + p[2] * t;
                dx[3] = a;
            } else {
                dx[0] = dx[1] = dx[2] = dx[3] = 0.0f;
            }
        }
        s += 4 * (n + sp.destRowSkip);
        d += 4 * (n + sp.destRowSkip);
        cov += n + sp.destRowSkip;
        ma += n + sp.maskRowSkip;
        mb += n + sp.maskRowSkip;
    }
}

// The coverage rule pixel by pixel, for kernels that do not vectorise: f(source, dest, m) for every
// pixel whose tip value m exceeds its coverage, which then becomes m.
template <class PerPixel> void RaiseCoverage(s_StampPars& sp, PerPixel f) {
    const float* s = sp.source;
    float* d = sp.dest;
    float* cov = sp.coverage;
    const float* mask = sp.maskA;
    for (int32_t y = 0; y < sp.rows; ++y) {
        int32_t x, end;
        SpanColumns(sp, y, x, end);
        for (; x < end; ++x) {
            const float m = mask[x];
            if (!(m > cov[x])) continue;
            cov[x] = m;
            f(s + 4 * x, d + 4 * x, m);
        }
        s += 4 * (sp.columns + sp.destRowSkip);
        d += 4 * (sp.columns + sp.destRowSkip);
        cov += sp.columns + sp.destRowSkip;
        mask += sp.columns + sp.maskRowSkip;
    }
}

// The shaded pens: coverage on the edge cone, P = w·other + (1 − w)·paint with w = weight(e), and
// (P, 1) under a full tip.
template <class Weight> void ShadeSpan(s_StampPars& sp, const float* other, Weight weight) {
    const float* paint = sp.paint;
    CoverageSpan<true, true>(sp, [paint, other, weight](auto e, auto& r, auto& g, auto& b) {
        const auto w = weight(e);
        r = w * other[0] + (1.0f - w) * paint[0];
        g = w * other[1] + (1.0f - w) * paint[1];
        b = w * other[2] + (1.0f - w) * paint[2];
    });
}

} // namespace tes
