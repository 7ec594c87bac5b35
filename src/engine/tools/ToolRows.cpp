// The row kernels of ToolRows.h, written once over a vector of whole pixels (four floats at level
// 1, eight at level 2, sixteen at level 3) and instantiated per level; the pixels left over at the
// end of a row go through the four-float version.
#include "engine/tools/ToolRows.h"

// Every helper below is inlined into the function of its level, so no vector is ever passed
// across a call and the warning about the AVX calling convention does not apply.
#pragma GCC diagnostic ignored "-Wpsabi"

namespace tes {
namespace {

typedef float f4 __attribute__((vector_size(16)));
typedef float f8 __attribute__((vector_size(32)));
typedef float f16 __attribute__((vector_size(64)));
typedef int32_t i4 __attribute__((vector_size(16)));
typedef int32_t i8 __attribute__((vector_size(32)));
typedef int32_t i16 __attribute__((vector_size(64)));


#define SX_INLINE inline __attribute__((always_inline))
#define SX_AVX __attribute__((target("avx")))
#define SX_AVX2 __attribute__((target("avx2,fma")))
#define SX_AVX512 __attribute__((target("avx512f")))

template <class V> struct Lanes;
template <> struct Lanes<f4> {
    typedef i4 I;
    static constexpr int32_t kPixels = 1;
    static constexpr I kAlpha{3, 3, 3, 3};
    static constexpr I kRgbOfFirstAlphaOfSecond{0, 1, 2, 7};
    static SX_INLINE void TipValues(const float* m, f4& v) { v = f4{m[0], m[0], m[0], m[0]}; }
    // The pixels one on from `v`'s, `next` holding those that follow v's.
    static SX_INLINE void OneOn(const f4&, const f4& next, f4& out) { out = next; }
};
template <> struct Lanes<f8> {
    typedef i8 I;
    static constexpr int32_t kPixels = 2;
    static constexpr I kAlpha{3, 3, 3, 3, 7, 7, 7, 7};
    static constexpr I kRgbOfFirstAlphaOfSecond{0, 1, 2, 11, 4, 5, 6, 15};
    static SX_INLINE void TipValues(const float* m, f8& v) {
        // Both values in every 128-bit half, then the first across the low half and the second
        // across the high one.
        typedef long long q4 __attribute__((vector_size(32)));
        long long pair;
        __builtin_memcpy(&pair, m, sizeof pair);
        v = __builtin_shuffle(reinterpret_cast<f8>(q4{} + pair), I{0, 0, 0, 0, 5, 5, 5, 5});
    }
    static SX_INLINE void OneOn(const f8& v, const f8& next, f8& out) {
        out = __builtin_shuffle(v, next, I{4, 5, 6, 7, 8, 9, 10, 11});
    }
};

template <> struct Lanes<f16> {
    typedef i16 I;
    static constexpr int32_t kPixels = 4;
    static constexpr I kAlpha{3, 3, 3, 3, 7, 7, 7, 7, 11, 11, 11, 11, 15, 15, 15, 15};
    static constexpr I kRgbOfFirstAlphaOfSecond{0, 1, 2, 19, 4, 5, 6, 23, 8, 9, 10, 27, 12, 13, 14, 31};
    static SX_INLINE void TipValues(const float* m, f16& v) {
        // The first pair in every 128-bit lane of one vector, the second pair in those of another;
        // each lane then takes its own value.
        typedef long long q8 __attribute__((vector_size(64)));
        long long pairs[2];
        __builtin_memcpy(pairs, m, sizeof pairs);
        const f16 a = reinterpret_cast<f16>(q8{} + pairs[0]), b = reinterpret_cast<f16>(q8{} + pairs[1]);
        v = __builtin_shuffle(a, b, I{0, 0, 0, 0, 5, 5, 5, 5, 24, 24, 24, 24, 29, 29, 29, 29});
    }
    static SX_INLINE void OneOn(const f16& v, const f16& next, f16& out) {
        out = __builtin_shuffle(v, next, I{4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19});
    }
};

template <class V> SX_INLINE V Load(const float* p) {
    V v;
    __builtin_memcpy(&v, p, sizeof v);
    return v;
}
template <class V> SX_INLINE void Store(float* p, const V& v) {
    __builtin_memcpy(p, &v, sizeof v);
}
template <class V> SX_INLINE V Splat(float x) {
    return V{} + x;
}
// Each pixel's alpha in all four of its lanes.
template <class V> SX_INLINE V Alpha(const V& v) {
    return __builtin_shuffle(v, Lanes<V>::kAlpha);
}
template <class V> SX_INLINE V WithAlpha(const V& rgb, const V& alpha) {
    return __builtin_shuffle(rgb, alpha, Lanes<V>::kRgbOfFirstAlphaOfSecond);
}
template <class V> SX_INLINE V Premultiplied(const V& v) {
    return v * WithAlpha(Alpha(v), Splat<V>(1.0f));
}

// ---- the tip mask ----

template <class V>
SX_INLINE void ShiftMaskRowT(const float* cur, const float* up, float* out, int32_t n, float w00, float w10,
                             float w01, float w11) {
    constexpr int32_t kFloats = sizeof(V) / sizeof(float);
    int32_t i = 0;
    for (; i + kFloats <= n; i += kFloats)
        Store(out + i, w00 * Load<V>(cur + i + 1) + w10 * Load<V>(cur + i) + w01 * Load<V>(up + i + 1) +
                           w11 * Load<V>(up + i));
    for (; i + 4 <= n; i += 4)
        Store(out + i, w00 * Load<f4>(cur + i + 1) + w10 * Load<f4>(cur + i) + w01 * Load<f4>(up + i + 1) +
                           w11 * Load<f4>(up + i));
    for (; i < n; ++i)
        out[i] = w00 * cur[i + 1] + w10 * cur[i] + w01 * up[i + 1] + w11 * up[i];
}

// ---- the smear stamp ----

// The frame pixels from premultiplied area pixels p0 = i and p1 = i + 1: stored in f, or with
// Mix, mixed into the pick-up f by the weights.
template <class V, bool Frame, bool Mix>
SX_INLINE void FramePixels(const V& p0, const V& p1, float* h, float* f, float fx, float fy, float keep,
                           float take, const V& add) {
    const V hn = p0 + fx * (p1 - p0);
    if (Frame) {
        const V ho = Load<V>(h);
        const V frame = ho + fy * (hn - ho);
        Store(f, Mix ? Load<V>(f) * keep + frame * take + add : frame);
    }
    Store(h, hn);
}

template <class V> SX_INLINE V Repeat(const float* four) {
    V v;
    for (int32_t i = 0; i < Lanes<V>::kPixels; ++i)
        __builtin_memcpy(reinterpret_cast<float*>(&v) + 4 * i, four, 4 * sizeof(float));
    return v;
}

template <class V, bool Frame, bool Mix>
SX_INLINE void FrameRowT(const float* a, float* h, float* f, int32_t n, float fx, float fy,
                         const s_PickUpWeights& w) {
    constexpr int32_t kPixels = Lanes<V>::kPixels;
    const float keep = w.keep, take = w.take;
    const V add = Repeat<V>(w.add);
    const f4 add4 = Repeat<f4>(w.add);
    int32_t i = 0;
    // Each area pixel is premultiplied once; the pixels one on come from the next vector.
    if (n + 1 >= 2 * kPixels) {
        V cur = Premultiplied(Load<V>(a)), on;
        for (; i + 2 * kPixels <= n + 1; i += kPixels) {
            const V next = Premultiplied(Load<V>(a + 4 * (i + kPixels)));
            Lanes<V>::OneOn(cur, next, on);
            FramePixels<V, Frame, Mix>(cur, on, h + 4 * i, f + 4 * i, fx, fy, keep, take, add);
            cur = next;
        }
    }
    for (; i < n; ++i)
        FramePixels<f4, Frame, Mix>(Premultiplied(Load<f4>(a + 4 * i)), Premultiplied(Load<f4>(a + 4 * i + 4)),
                                    h + 4 * i, f + 4 * i, fx, fy, keep, take, add4);
}

template <class V> SX_INLINE void MixRowT(float* g, const float* a, int32_t n, const s_PickUpWeights& w) {
    constexpr int32_t kPixels = Lanes<V>::kPixels;
    const float keep = w.keep, take = w.take;
    const V add = Repeat<V>(w.add);
    const f4 add4 = Repeat<f4>(w.add);
    int32_t i = 0;
    for (; i + kPixels <= n; i += kPixels)
        Store(g + 4 * i, Load<V>(g + 4 * i) * keep + Load<V>(a + 4 * i) * take + add);
    for (; i < n; ++i)
        Store(g + 4 * i, Load<f4>(g + 4 * i) * keep + Load<f4>(a + 4 * i) * take + add4);
}

// The carried paint G on the layer's grid (see s_ToolRowKernels::smearRow); with Shift off the
// stamp sits on whole pixels and G is entry i + 1 of g1.
// X = G·v + S·(S.α·w) (S with alpha 1 in its alpha lane), laid over D with coverage m; the
// result divided back by its alpha, or (0, 0, 0, 0) where no alpha is left. Pixels with m ≤ 0
// (or NaN) stay.
template <class V, bool Source, bool Shift>
SX_INLINE void SmearPixels(const float* s, const float* g0, const float* g1, float* d, const float* m, float w,
                           float v, float fx, float fy) {
    V g;
    if (Shift) {
        const V above = Load<V>(g0 + 4) + fx * (Load<V>(g0) - Load<V>(g0 + 4));
        const V below = Load<V>(g1 + 4) + fx * (Load<V>(g1) - Load<V>(g1 + 4));
        g = below + fy * (above - below);
    } else {
        g = Load<V>(g1 + 4);
    }
    V mv;
    Lanes<V>::TipValues(m, mv);
    const auto touched = mv > 0.0f;
    const V one = Splat<V>(1.0f), dv = Load<V>(d);
    V x = g;
    if (Source) {
        const V sv = Load<V>(s);
        x = g * v + WithAlpha(sv, one) * (Alpha(sv) * w);
    }
    const V r = WithAlpha(dv, one) * ((1.0f - mv) * Alpha(dv)) + x * mv;
    const V a = Alpha(r);
    // Lanes without alpha may divide by 0; they are cleared.
    const V out = WithAlpha(r * (1.0f / a), a);
    Store(d, touched ? (a > 0.0f ? out : V{}) : dv);
}

template <class V, bool Source, bool Shift>
SX_INLINE void SmearRowT(const float* s, const float* g0, const float* g1, float* d, const float* m, int32_t n,
                         float w, float fx, float fy) {
    constexpr int32_t kPixels = Lanes<V>::kPixels;
    const float v = 1.0f - w;
    int32_t i = 0;
    for (; i + kPixels <= n; i += kPixels)
        SmearPixels<V, Source, Shift>(s + 4 * i, g0 + 4 * i, g1 + 4 * i, d + 4 * i, m + i, w, v, fx, fy);
    for (; i < n; ++i)
        SmearPixels<f4, Source, Shift>(s + 4 * i, g0 + 4 * i, g1 + 4 * i, d + 4 * i, m + i, w, v, fx, fy);
}

// ---- the levels ----

template <class V> struct Kernels {
    static SX_INLINE void ShiftMask(const float* cur, const float* up, float* out, int32_t n, float w00,
                                    float w10, float w01, float w11) {
        ShiftMaskRowT<V>(cur, up, out, n, w00, w10, w01, w11);
    }
    static SX_INLINE void Frame(const float* a, float* h, float* f, int32_t n, float fx, float fy) {
        const s_PickUpWeights none{};
        if (f)
            FrameRowT<V, true, false>(a, h, f, n, fx, fy, none);
        else
            FrameRowT<V, false, false>(a, h, f, n, fx, fy, none);
    }
    static SX_INLINE void FrameMix(const float* a, float* h, float* g, int32_t n, float fx, float fy,
                                   const s_PickUpWeights& w) {
        FrameRowT<V, true, true>(a, h, g, n, fx, fy, w);
    }
    static SX_INLINE void Mix(float* g, const float* a, int32_t n, const s_PickUpWeights& w) {
        MixRowT<V>(g, a, n, w);
    }
    // Without stroke-start weight (full strength) the source pixels are not read at all.
    static SX_INLINE void Smear(const float* s, const float* g0, const float* g1, float* d, const float* m,
                                int32_t n, float w, float fx, float fy) {
        const bool shift = fx != 0.0f || fy != 0.0f;
        if (w != 0.0f && shift)
            SmearRowT<V, true, true>(s, g0, g1, d, m, n, w, fx, fy);
        else if (w != 0.0f)
            SmearRowT<V, true, false>(s, g0, g1, d, m, n, w, fx, fy);
        else if (shift)
            SmearRowT<V, false, true>(s, g0, g1, d, m, n, w, fx, fy);
        else
            SmearRowT<V, false, false>(s, g0, g1, d, m, n, w, fx, fy);
    }
    template <bool Source, bool Shift> static SX_INLINE void SmearRectT(const s_StampPars& sp, float w) {
        const float* s = sp.source;
        float* d = sp.dest;
        const float* g = sp.pickUp;
        const float* m = sp.maskA;
        const size_t layerRow = 4 * static_cast<size_t>(sp.columns + sp.destRowSkip);
        const size_t pickUpRow = 4 * static_cast<size_t>(sp.columns + sp.pickUpRowSkip);
        for (int32_t y = 0; y < sp.rows; ++y, s += layerRow, d += layerRow, g += pickUpRow) {
            int32_t first, end;
            SpanColumns(sp, y, first, end);
            SmearRowT<V, Source, Shift>(s + 4 * first, g + 4 * first, g + pickUpRow + 4 * first, d + 4 * first,
                                        m + first, end - first, w, sp.tip.fx, sp.tip.fy);
            m += sp.columns + sp.maskRowSkip;
        }
    }
    static SX_INLINE void SmearRect(const s_StampPars& sp, float w) {
        const bool shift = sp.tip.fx != 0.0f || sp.tip.fy != 0.0f;
        if (w != 0.0f && shift)
            SmearRectT<true, true>(sp, w);
        else if (w != 0.0f)
            SmearRectT<true, false>(sp, w);
        else if (shift)
            SmearRectT<false, true>(sp, w);
        else
            SmearRectT<false, false>(sp, w);
    }
};

void ShiftMaskSse(const float* cur, const float* up, float* out, int32_t n, float w00, float w10, float w01,
                  float w11) {
    Kernels<f4>::ShiftMask(cur, up, out, n, w00, w10, w01, w11);
}
void FrameSse(const float* a, float* h, float* f, int32_t n, float fx, float fy) {
    Kernels<f4>::Frame(a, h, f, n, fx, fy);
}
void FrameMixSse(const float* a, float* h, float* g, int32_t n, float fx, float fy, const s_PickUpWeights& w) {
    Kernels<f4>::FrameMix(a, h, g, n, fx, fy, w);
}
void MixSse(float* g, const float* a, int32_t n, const s_PickUpWeights& w) {
    Kernels<f4>::Mix(g, a, n, w);
}
void SmearRectSse(const s_StampPars& sp, float w) {
    Kernels<f4>::SmearRect(sp, w);
}
void SmearSse(const float* s, const float* g0, const float* g1, float* d, const float* m, int32_t n, float w,
              float fx, float fy) {
    Kernels<f4>::Smear(s, g0, g1, d, m, n, w, fx, fy);
}

SX_AVX void ShiftMaskAvx(const float* cur, const float* up, float* out, int32_t n, float w00, float w10,
                         float w01, float w11) {
    Kernels<f8>::ShiftMask(cur, up, out, n, w00, w10, w01, w11);
}
SX_AVX2 void FrameAvx2(const float* a, float* h, float* f, int32_t n, float fx, float fy) {
    Kernels<f8>::Frame(a, h, f, n, fx, fy);
}
SX_AVX2 void FrameMixAvx2(const float* a, float* h, float* g, int32_t n, float fx, float fy,
                          const s_PickUpWeights& w) {
    Kernels<f8>::FrameMix(a, h, g, n, fx, fy, w);
}
SX_AVX2 void MixAvx2(float* g, const float* a, int32_t n, const s_PickUpWeights& w) {
    Kernels<f8>::Mix(g, a, n, w);
}
SX_AVX2 void SmearRectAvx2(const s_StampPars& sp, float w) {
    Kernels<f8>::SmearRect(sp, w);
}
SX_AVX2 void SmearAvx2(const float* s, const float* g0, const float* g1, float* d, const float* m, int32_t n,
                       float w, float fx, float fy) {
    Kernels<f8>::Smear(s, g0, g1, d, m, n, w, fx, fy);
}

SX_AVX512 void Frame512(const float* a, float* h, float* f, int32_t n, float fx, float fy) {
    Kernels<f16>::Frame(a, h, f, n, fx, fy);
}
SX_AVX512 void Mix512(float* g, const float* a, int32_t n, const s_PickUpWeights& w) {
    Kernels<f16>::Mix(g, a, n, w);
}
SX_AVX512 void FrameMix512(const float* a, float* h, float* g, int32_t n, float fx, float fy,
                           const s_PickUpWeights& w) {
    Kernels<f16>::FrameMix(a, h, g, n, fx, fy, w);
}
SX_AVX512 void SmearRect512(const s_StampPars& sp, float w) {
    Kernels<f16>::SmearRect(sp, w);
}
SX_AVX512 void Smear512(const float* s, const float* g0, const float* g1, float* d, const float* m, int32_t n,
                        float w, float fx, float fy) {
    Kernels<f16>::Smear(s, g0, g1, d, m, n, w, fx, fy);
}

const s_ToolRowKernels kSse{ShiftMaskSse, FrameSse, MixSse, FrameMixSse, SmearSse, SmearRectSse};
const s_ToolRowKernels kAvx2{ShiftMaskAvx, FrameAvx2, MixAvx2, FrameMixAvx2, SmearAvx2, SmearRectAvx2};
const s_ToolRowKernels kAvx512{ShiftMaskAvx, Frame512, Mix512, FrameMix512, Smear512, SmearRect512};

} // namespace

const s_ToolRowKernels* ToolRowKernels(int level) {
    __builtin_cpu_init(); // may run before the constructors that would do it
    if (level == 1) return &kSse;
    if (level == 2) return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma") ? &kAvx2 : nullptr;
    if (level == 3) return __builtin_cpu_supports("avx512f") ? &kAvx512 : nullptr;
    return nullptr;
}

// SSE2 from the start, the best level once this file's initialisers have run.
const s_ToolRowKernels* gToolRowKernels = &kSse;
namespace {
[[maybe_unused]] const bool kChosen = UseToolRowLevel(0);
} // namespace

bool UseToolRowLevel(int level) {
    for (int best = 3; level == 0 && best > 0; --best)
        if (ToolRowKernels(best)) level = best;
    const s_ToolRowKernels* k = ToolRowKernels(level);
    if (!k) return false;
    gToolRowKernels = k;
    return true;
}

} // namespace tes
