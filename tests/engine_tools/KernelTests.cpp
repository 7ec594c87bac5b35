// The kernels against plain reference kernels written from the pixel rules, on random pixels,
// tip values and coverage, over a rectangle with row skips (as a clipped stamp sees it).
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "engine/picture/BlendModes.h"
#include "engine/tools/cTes_Tool_DuoColorPen.h"
#include "engine/tools/cTes_Tool_Eraser.h"
#include "engine/tools/cTes_Tool_Pastel.h"
#include "engine/tools/cTes_Tool_Pen.h"
#include "engine/tools/cTes_Tool_Smear.h"
#include "engine/tools/cTes_Tool_SprinkledPen.h"
#include "engine/tools/cTes_Tool_TriColorPen.h"
#include "shell/Random.h"

namespace {

constexpr int kLayerW = 23, kCols = 17, kRows = 9, kMaskW = 19;

struct Span {
    std::vector<float> src, dst, cov, maskA, maskB, pick;
    float paint[3] = {0.8f, 0.3f, 1.7f}, outer[3] = {0.0f, 0.05f, 0.1f}, inner[3] = {1.0f, 0.9f, 0.2f},
          high[3] = {2.0f, 1.5f, 0.25f};
    s_ToolPars pars{};
    s_StampPars sp{};

    explicit Span(uint32_t seed, bool transparentOnes = true) {
        std::mt19937 rng(seed);
        std::uniform_real_distribution<float> u(0.0f, 1.0f);
        const int n = kLayerW * kRows;
        src.resize(4 * n), dst.resize(4 * n), cov.resize(n), pick.resize(4 * kMaskW * kRows);
        maskA.resize(kMaskW * kRows), maskB.resize(kMaskW * kRows);
        for (int i = 0; i < n; ++i) {
            for (int c = 0; c < 3; ++c)
                src[4 * i + c] = 1.5f * u(rng);
            src[4 * i + 3] = (transparentOnes && i % 7 == 0) ? 0.0f : u(rng);
            if (src[4 * i + 3] == 0.0f) src[4 * i] = src[4 * i + 1] = src[4 * i + 2] = 0.0f;
            for (int c = 0; c < 4; ++c)
                dst[4 * i + c] = src[4 * i + c];
            cov[i] = i % 5 == 0 ? 0.0f : 0.6f * u(rng);
        }
        for (int i = 0; i < kMaskW * kRows; ++i) {
            maskA[i] = i % 11 == 0 ? 1.0f : (i % 13 == 0 ? 0.0f : u(rng));
            maskB[i] = u(rng);
            for (int c = 0; c < 3; ++c)
                pick[4 * i + c] = u(rng);
            pick[4 * i + 3] = i % 9 == 0 ? 0.0f : u(rng);
        }
        pars.size = 20.0f;
        sp.pars = &pars;
        sp.source = src.data();
        sp.dest = dst.data();
        sp.coverage = cov.data();
        sp.maskA = maskA.data();
        sp.maskB = maskB.data();
        sp.pickUp = pick.data();
        sp.paint = paint, sp.outerEdge = outer, sp.innerEdge = inner, sp.highlight = high;
        sp.columns = kCols, sp.rows = kRows;
        sp.destRowSkip = kLayerW - kCols;
        sp.maskRowSkip = sp.pickUpRowSkip = kMaskW - kCols;
        sp.strength = 0.7f;
    }
    // Visits the rectangle: f(src, dst, cov, maskIndex).
    template <class F> void Each(F f) {
        for (int y = 0; y < kRows; ++y)
            for (int x = 0; x < kCols; ++x)
                f(&src[4 * (y * kLayerW + x)], &dst[4 * (y * kLayerW + x)], &cov[y * kLayerW + x],
                  y * kMaskW + x);
    }
};

void PaintOverRef(const float* s, float m, const float* p, float* d) {
    const double a = (1.0 - m) * s[3] + m;
    if (a > 0) {
        const double t = m / a;
        for (int c = 0; c < 3; ++c)
            d[c] = static_cast<float>(s[c] * (1 - t) + p[c] * t);
        d[3] = static_cast<float>(a);
    } else {
        d[0] = d[1] = d[2] = d[3] = 0.0f;
    }
}

void ExpectSame(const std::vector<float>& fast, const std::vector<float>& ref) {
    ASSERT_EQ(fast.size(), ref.size());
    for (size_t i = 0; i < fast.size(); ++i)
        EXPECT_NEAR(fast[i], ref[i], 2e-6f * (1.0f + std::fabs(ref[i]))) << "element " << i;
}

} // namespace

TEST(PenKernel, MatchesTheReferenceAndWritesOnlyInsideTheRectangle) {
    for (uint32_t seed = 1; seed <= 20; ++seed) {
        Span fast(seed), ref(seed);
        cTes_Tool_Pen pen;
        pen.BlendSpan(fast.sp);
        ref.Each([&](const float* s, float* d, float* cov, int mi) {
            const float m = ref.maskA[mi];
            if (m > *cov) *cov = m, PaintOverRef(s, m, ref.paint, d);
        });
        ExpectSame(fast.dst, ref.dst);
        ExpectSame(fast.cov, ref.cov);
    }
}

TEST(PenKernel, BlendModeRecoloursOnlyExistingPaintAndKeepsAlpha) {
    for (int mode : {kTesBlend_Multiply, kTesBlend_Add, kTesBlend_ColorKeptSum}) {
        Span fast(7), ref(7);
        fast.sp.blendMode = mode;
        cTes_Tool_Pen pen;
        pen.BlendSpan(fast.sp);
        const t_TesBlendFunction f = GetBlendFunction(mode);
        ref.Each([&](const float* s, float* d, float* cov, int mi) {
            const float m = ref.maskA[mi];
            if (!(m > *cov)) return;
            *cov = m;
            if (m <= 0 || s[3] <= 0) return;
            float r = ref.paint[0], g = ref.paint[1], b = ref.paint[2];
            f(s[0], s[1], s[2], r, g, b);
            d[0] = s[0] * (1 - m) + r * m, d[1] = s[1] * (1 - m) + g * m, d[2] = s[2] * (1 - m) + b * m;
            d[3] = s[3];
        });
        ExpectSame(fast.dst, ref.dst);
    }
    Span none(3);
    const std::vector<float> before = none.dst;
    none.sp.blendMode = 46; // no function: the span stays
    cTes_Tool_Pen pen;
    pen.BlendSpan(none.sp);
    EXPECT_EQ(none.dst, before);
}

TEST(EraserKernel, MatchesTheReference) {
    for (uint32_t seed = 1; seed <= 10; ++seed) {
        Span fast(seed), ref(seed);
        cTes_Tool_Eraser eraser;
        eraser.BlendSpan(fast.sp);
        ref.Each([&](const float* s, float* d, float* cov, int mi) {
            const float m = ref.maskA[mi];
            if (!(m > *cov)) return;
            *cov = m;
            const float a = s[3] - m;
            if (a > 0)
                d[0] = s[0], d[1] = s[1], d[2] = s[2], d[3] = a;
            else
                d[0] = d[1] = d[2] = d[3] = 0;
        });
        ExpectSame(fast.dst, ref.dst);
        ExpectSame(fast.cov, ref.cov);
    }
}

TEST(EdgeConeKernels, TwoAndThreeColourPensMatchTheReference) {
    for (uint32_t seed = 1; seed <= 10; ++seed) {
        Span fast2(seed), ref2(seed), fast3(seed), ref3(seed);
        cTes_Tool_DuoColorPen duo;
        cTes_Tool_TriColorPen tri;
        duo.BlendSpan(fast2.sp);
        tri.BlendSpan(fast3.sp);
        ref2.Each([&](const float* s, float* d, float* cov, int mi) {
            const float m = ref2.maskA[mi], e = ref2.maskB[mi];
            if (!(e > *cov)) return;
            *cov = e;
            float p[3];
            for (int c = 0; c < 3; ++c)
                p[c] = e * ref2.paint[c] + (1 - e) * ref2.outer[c];
            PaintOverRef(s, m, p, d);
        });
        ref3.Each([&](const float* s, float* d, float* cov, int mi) {
            const float m = ref3.maskA[mi], e = ref3.maskB[mi];
            if (!(e > *cov)) return;
            *cov = e;
            float p[3];
            const float e2 = 2 * e;
            for (int c = 0; c < 3; ++c)
                p[c] = e2 <= 1 ? (1 - e2) * ref3.outer[c] + e2 * ref3.inner[c]
                               : (2 - e2) * ref3.inner[c] + (e2 - 1) * ref3.paint[c];
            PaintOverRef(s, m, p, d);
        });
        ExpectSame(fast2.dst, ref2.dst);
        ExpectSame(fast3.dst, ref3.dst);
        ExpectSame(fast3.cov, ref3.cov);
    }
}

TEST(SprinkledKernel, TintsAboutOnePixelInTenWithTheSharedGenerator) {
    Span fast(5, false), ref(5, false);
    for (float& m : fast.maskA)
        m = 0.9f;
    for (float& m : ref.maskA)
        m = 0.9f;
    std::fill(fast.cov.begin(), fast.cov.end(), 0.0f);
    std::fill(ref.cov.begin(), ref.cov.end(), 0.0f);
    vek::RandomSetState(0x123456789ULL);
    cTes_Tool_SprinkledPen pen;
    pen.BlendSpan(fast.sp);
    const uint64_t after = vek::RandomState();
    vek::RandomSetState(0x123456789ULL);
    int sprinkled = 0;
    ref.Each([&](const float* s, float* d, float* cov, int mi) {
        const float m = ref.maskA[mi];
        *cov = m;
        float p[3] = {ref.paint[0], ref.paint[1], ref.paint[2]};
        if (vek::RandomPpm() < 100000) {
            const float k = vek::RandomAmount();
            for (int c = 0; c < 3; ++c)
                p[c] = ref.paint[c] * (1 - k) + ref.high[c] * k;
            ++sprinkled;
        }
        PaintOverRef(s, m, p, d);
    });
    EXPECT_EQ(vek::RandomState(), after);
    ExpectSame(fast.dst, ref.dst);
    EXPECT_GT(sprinkled, 3);
    EXPECT_LT(sprinkled, 40);
}

TEST(PastelKernel, DrawsOneGrainPerPixelAndStrokeAndKeepsIt) {
    Span sp(4, false);
    std::fill(sp.cov.begin(), sp.cov.end(), 0.0f);
    std::fill(sp.maskA.begin(), sp.maskA.end(), 0.8f);
    vek::RandomSetState(99);
    tes::SmearSpan(sp.sp, 0.4f, 0.3f, true, 800000, 0.5f);
    int grains = 0, none = 0;
    for (int y = 0; y < kRows; ++y)
        for (int x = 0; x < kCols; ++x) {
            const float g = sp.cov[y * kLayerW + x];
            EXPECT_NE(g, 0.0f);
            if (g > 0) {
                ++grains;
                EXPECT_LE(g, 0.5f * 0.7f);
            } else {
                EXPECT_EQ(g, -1.0f);
                ++none;
            }
        }
    EXPECT_GT(grains, none * 2); // about four in five
    const std::vector<float> grainsBefore = sp.cov;
    const uint64_t state = vek::RandomState();
    tes::SmearSpan(sp.sp, 0.4f, 0.3f, true, 800000, 0.5f);
    EXPECT_EQ(sp.cov, grainsBefore);
    EXPECT_EQ(vek::RandomState(), state); // no new draws on later visits
}
