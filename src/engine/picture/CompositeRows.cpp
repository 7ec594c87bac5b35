// Row kernels of the colour composite: plain, SSE2 (one pixel a register) and AVX (two pixels a
// register, chosen at run time). Values are never clamped; NaN alpha counts as "not above 0".
// Lanes computed for pixels that are not drawn (A ≤ 0) may hold any value; they are masked out.
#include "engine/picture/CompositeRows.h"

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace tes {
namespace {

// ---- plain ----

void CopyFullPlain(float* d, const float* s, int32_t n, float op) {
    for (int32_t i = 0; i < n; ++i, d += 4, s += 4) {
        const float a = s[3] * op;
        if (a > 0.0f)
            d[0] = s[0], d[1] = s[1], d[2] = s[2], d[3] = a;
        else
            d[0] = d[1] = d[2] = d[3] = 0.0f;
    }
}

void CopyPlain(float* d, const float* s, int32_t n, float op) {
    for (int32_t i = 0; i < n; ++i, d += 4, s += 4) {
        const float a = s[3] * op;
        if (a > 0.0f) d[0] = s[0], d[1] = s[1], d[2] = s[2], d[3] = a;
    }
}

void OverPlain(float* d, const float* s, int32_t n, float op) {
    for (int32_t i = 0; i < n; ++i, d += 4, s += 4) {
        const float a = s[3] * op;
        if (!(a > 0.0f)) continue;
        const float outA = a + (1.0f - a) * d[3];
        const float f = a / outA;
        const float g = 1.0f - f;
        d[0] = s[0] * f + d[0] * g;
        d[1] = s[1] * f + d[1] * g;
        d[2] = s[2] * f + d[2] * g;
        d[3] = outA;
    }
}

void MultiplyPlain(float* d, const float* s, int32_t n, float op) {
    for (int32_t i = 0; i < n; ++i, d += 4, s += 4) {
        const float a = s[3] * op;
        if (!(a > 0.0f) || !(d[3] > 0.0f)) continue;
        const float k = 1.0f - a;
        d[0] = k * d[0] + a * (d[0] * s[0]);
        d[1] = k * d[1] + a * (d[1] * s[1]);
        d[2] = k * d[2] + a * (d[2] * s[2]);
    }
}

void PaperPlain(float* d, size_t n, const float paper[3]) {
    for (size_t i = 0; i < n; ++i, d += 4) {
        const float a = d[3];
        const float k = 1.0f - a;
        d[0] = d[0] * a + k * paper[0];
        d[1] = d[1] * a + k * paper[1];
        d[2] = d[2] * a + k * paper[2];
        d[3] = 1.0f;
    }
}

void CopyFullPaperPlain(float* d, const float* s, int32_t n, float op, const float paper[3]) {
    CopyFullPlain(d, s, n, op);
    PaperPlain(d, static_cast<size_t>(n), paper);
}

#if defined(__SSE2__)

// ---- SSE2: one pixel a register ----
// Every kernel is a pixel function of v, the source multiplied by (1, 1, 1, op) (red, green and
// blue times 1 stay exact), and dv, the target (a load the copies leave unused).

inline __m128 Alpha4(__m128 v) {
    return _mm_shuffle_ps(v, v, _MM_SHUFFLE(3, 3, 3, 3));
}
inline __m128 Select4(__m128 mask, __m128 a, __m128 b) {
    return _mm_or_ps(_mm_and_ps(mask, a), _mm_andnot_ps(mask, b));
}
// v where its alpha is above 0, else 0 (NaN alpha included).
inline __m128 Drawn4(__m128 v) {
    return _mm_and_ps(_mm_cmpgt_ps(Alpha4(v), _mm_setzero_ps()), v);
}
// Paper under v: rgb·a + (1 − a)·paper, alpha 1.
inline __m128 Paper4(__m128 v, __m128 paper) {
    const __m128 a = Alpha4(v), one = _mm_set1_ps(1);
    const __m128 mixed = _mm_add_ps(_mm_mul_ps(v, a), _mm_mul_ps(_mm_sub_ps(one, a), paper));
    return Select4(_mm_castsi128_ps(_mm_setr_epi32(0, 0, 0, -1)), one, mixed);
}

template <class Px> inline void RowSse(float* d, const float* s, int32_t n, float op, Px px) {
    const __m128 opv = _mm_setr_ps(1, 1, 1, op);
    for (int32_t i = 0; i < n; ++i, d += 4, s += 4)
        _mm_storeu_ps(d, px(_mm_mul_ps(_mm_loadu_ps(s), opv), _mm_loadu_ps(d)));
}

void CopyFullSse(float* d, const float* s, int32_t n, float op) {
    RowSse(d, s, n, op, [](__m128 v, __m128) { return Drawn4(v); });
}

void CopyFullPaperSse(float* d, const float* s, int32_t n, float op, const float paper[3]) {
    const __m128 pv = _mm_setr_ps(paper[0], paper[1], paper[2], 0);
    RowSse(d, s, n, op, [&](__m128 v, __m128) { return Paper4(Drawn4(v), pv); });
}

void CopySse(float* d, const float* s, int32_t n, float op) {
    RowSse(d, s, n, op,
           [](__m128 v, __m128 dv) { return Select4(_mm_cmpgt_ps(Alpha4(v), _mm_setzero_ps()), v, dv); });
}

void OverSse(float* d, const float* s, int32_t n, float op) {
    RowSse(d, s, n, op, [](__m128 v, __m128 dv) {
        const __m128 a = Alpha4(v), one = _mm_set1_ps(1);
        const __m128 outA = _mm_add_ps(a, _mm_mul_ps(_mm_sub_ps(one, a), Alpha4(dv)));
        const __m128 f = _mm_div_ps(a, outA);
        const __m128 mix = _mm_add_ps(_mm_mul_ps(v, f), _mm_mul_ps(dv, _mm_sub_ps(one, f)));
        const __m128 alphaLane = _mm_castsi128_ps(_mm_setr_epi32(0, 0, 0, -1));
        return Select4(_mm_cmpgt_ps(a, _mm_setzero_ps()), Select4(alphaLane, outA, mix), dv);
    });
}

void MultiplySse(float* d, const float* s, int32_t n, float op) {
    RowSse(d, s, n, op, [](__m128 v, __m128 dv) {
        const __m128 a = Alpha4(v), zero = _mm_setzero_ps();
        const __m128 mix =
            _mm_add_ps(_mm_mul_ps(_mm_sub_ps(_mm_set1_ps(1), a), dv), _mm_mul_ps(a, _mm_mul_ps(dv, v)));
        const __m128 draw = _mm_and_ps(_mm_cmpgt_ps(a, zero), _mm_cmpgt_ps(Alpha4(dv), zero));
        const __m128 alphaLane = _mm_castsi128_ps(_mm_setr_epi32(0, 0, 0, -1));
        return Select4(_mm_andnot_ps(alphaLane, draw), mix, dv);
    });
}

void PaperSse(float* d, size_t n, const float paper[3]) {
    const __m128 pv = _mm_setr_ps(paper[0], paper[1], paper[2], 0);
    for (size_t i = 0; i < n; ++i, d += 4)
        _mm_storeu_ps(d, Paper4(_mm_loadu_ps(d), pv));
}

// ---- AVX: two pixels a register, the odd pixel left to SSE ----
// The same pixel functions on two pixels at once, as function objects (a lambda would not inherit
// the target attribute).

#define SX_AVX __attribute__((target("avx")))

SX_AVX inline __m256 Alpha8(__m256 v) {
    return _mm256_permute_ps(v, _MM_SHUFFLE(3, 3, 3, 3));
}
// Bitwise select: blendv with a comparison mask is split into branches by GCC 12.
SX_AVX inline __m256 Select8(__m256 mask, __m256 a, __m256 b) {
    return _mm256_or_ps(_mm256_and_ps(mask, a), _mm256_andnot_ps(mask, b));
}
SX_AVX inline __m256 Above0(__m256 v) {
    return _mm256_cmp_ps(v, _mm256_setzero_ps(), _CMP_GT_OQ);
}
SX_AVX inline __m256 Paper8(__m256 v, __m256 paper) {
    const __m256 a = Alpha8(v), one = _mm256_set1_ps(1);
    const __m256 mixed = _mm256_add_ps(_mm256_mul_ps(v, a), _mm256_mul_ps(_mm256_sub_ps(one, a), paper));
    return _mm256_blend_ps(mixed, one, 0x88);
}

// Runs px over the pixel pairs of the row; returns the pixels done (the caller's SSE kernel takes
// the odd one).
template <class Px> SX_AVX inline int32_t RowAvx(float* d, const float* s, int32_t n, float op, Px px) {
    const __m256 opv = _mm256_setr_ps(1, 1, 1, op, 1, 1, 1, op);
    int32_t i = 0;
    for (; i + 2 <= n; i += 2, d += 8, s += 8)
        _mm256_storeu_ps(d, px(_mm256_mul_ps(_mm256_loadu_ps(s), opv), _mm256_loadu_ps(d)));
    return i;
}

struct CopyFull8 {
    SX_AVX __m256 operator()(__m256 v, __m256) const { return _mm256_and_ps(Above0(Alpha8(v)), v); }
};
struct CopyFullPaper8 {
    const float* paper;
    SX_AVX __m256 operator()(__m256 v, __m256) const {
        const __m256 pv = _mm256_setr_ps(paper[0], paper[1], paper[2], 0, paper[0], paper[1], paper[2], 0);
        return Paper8(CopyFull8()(v, v), pv);
    }
};
struct Copy8 {
    SX_AVX __m256 operator()(__m256 v, __m256 dv) const { return Select8(Above0(Alpha8(v)), v, dv); }
};
struct Over8 {
    SX_AVX __m256 operator()(__m256 v, __m256 dv) const {
        const __m256 a = Alpha8(v), one = _mm256_set1_ps(1);
        const __m256 outA = _mm256_add_ps(a, _mm256_mul_ps(_mm256_sub_ps(one, a), Alpha8(dv)));
        const __m256 f = _mm256_div_ps(a, outA);
        const __m256 g = _mm256_sub_ps(one, f);
        const __m256 mix =
            _mm256_blend_ps(_mm256_add_ps(_mm256_mul_ps(v, f), _mm256_mul_ps(dv, g)), outA, 0x88);
        return Select8(Above0(a), mix, dv);
    }
};
struct Multiply8 {
    SX_AVX __m256 operator()(__m256 v, __m256 dv) const {
        const __m256 a = Alpha8(v), one = _mm256_set1_ps(1);
        const __m256 mix =
            _mm256_add_ps(_mm256_mul_ps(_mm256_sub_ps(one, a), dv), _mm256_mul_ps(a, _mm256_mul_ps(dv, v)));
        return Select8(_mm256_and_ps(Above0(a), Above0(Alpha8(dv))), _mm256_blend_ps(mix, dv, 0x88), dv);
    }
};

SX_AVX void CopyFullAvx(float* d, const float* s, int32_t n, float op) {
    const int32_t i = RowAvx(d, s, n, op, CopyFull8());
    if (i < n) CopyFullSse(d + i * 4, s + i * 4, n - i, op);
}

SX_AVX void CopyFullPaperAvx(float* d, const float* s, int32_t n, float op, const float paper[3]) {
    const int32_t i = RowAvx(d, s, n, op, CopyFullPaper8{paper});
    if (i < n) CopyFullPaperSse(d + i * 4, s + i * 4, n - i, op, paper);
}

SX_AVX void CopyAvx(float* d, const float* s, int32_t n, float op) {
    const int32_t i = RowAvx(d, s, n, op, Copy8());
    if (i < n) CopySse(d + i * 4, s + i * 4, n - i, op);
}

SX_AVX void OverAvx(float* d, const float* s, int32_t n, float op) {
    const int32_t i = RowAvx(d, s, n, op, Over8());
    if (i < n) OverSse(d + i * 4, s + i * 4, n - i, op);
}

SX_AVX void MultiplyAvx(float* d, const float* s, int32_t n, float op) {
    const int32_t i = RowAvx(d, s, n, op, Multiply8());
    if (i < n) MultiplySse(d + i * 4, s + i * 4, n - i, op);
}

SX_AVX void PaperAvx(float* d, size_t n, const float paper[3]) {
    const __m256 pv = _mm256_setr_ps(paper[0], paper[1], paper[2], 0, paper[0], paper[1], paper[2], 0);
    size_t i = 0;
    for (; i + 2 <= n; i += 2, d += 8)
        _mm256_storeu_ps(d, Paper8(_mm256_loadu_ps(d), pv));
    if (i < n) PaperSse(d, n - i, paper);
}

#endif

const s_CompositeKernels kPlain{CopyFullPlain, CopyPlain,  OverPlain,
                                MultiplyPlain, PaperPlain, CopyFullPaperPlain};
#if defined(__SSE2__)
const s_CompositeKernels kSse{CopyFullSse, CopySse, OverSse, MultiplySse, PaperSse, CopyFullPaperSse};
const s_CompositeKernels kAvx{CopyFullAvx, CopyAvx, OverAvx, MultiplyAvx, PaperAvx, CopyFullPaperAvx};
#endif

const s_CompositeKernels& Pick() {
    static const s_CompositeKernels* best = CompositeKernels(2)   ? CompositeKernels(2)
                                            : CompositeKernels(1) ? CompositeKernels(1)
                                                                  : &kPlain;
    return *best;
}

} // namespace

const s_CompositeKernels* CompositeKernels(int level) {
#if defined(__SSE2__)
    if (level == 2) return __builtin_cpu_supports("avx") ? &kAvx : nullptr;
    if (level == 1) return &kSse;
#endif
    return level == 0 ? &kPlain : nullptr;
}

void RowCopyFull(float* d, const float* s, int32_t n, float op) {
    Pick().copyFull(d, s, n, op);
}
void RowCopyFullPaper(float* d, const float* s, int32_t n, float op, const float paper[3]) {
    Pick().copyFullPaper(d, s, n, op, paper);
}
void RowCopy(float* d, const float* s, int32_t n, float op) {
    Pick().copy(d, s, n, op);
}
void RowOver(float* d, const float* s, int32_t n, float op) {
    Pick().over(d, s, n, op);
}
void RowMultiply(float* d, const float* s, int32_t n, float op) {
    Pick().multiply(d, s, n, op);
}
void PaperRow(float* d, size_t n, const float paper[3]) {
    Pick().paper(d, n, paper);
}

} // namespace tes
