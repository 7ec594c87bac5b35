// The shaded pens' four-pixel kernels against plain per-pixel reference kernels on random tip,
// cone, coverage and source values, over a rectangle with row skips.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "app/Highlight3DPenTool.h"
#include "app/ThreeDeePenTool.h"
#include "app/White3dPenTool.h"

namespace {

constexpr int kLayerW = 21, kCols = 19, kRows = 6, kMaskW = 20;

struct Span {
    std::vector<float> src, dst, cov, ma, mb;
    float paint[3] = {0.9f, 0.4f, 0.1f}, outer[3] = {0.0f, 0.0f, 0.0f}, inner[3] = {1.0f, 1.0f, 1.0f};
    s_ToolPars pars{};
    s_StampPars sp{};
    explicit Span(uint32_t seed) {
        std::mt19937 rng(seed);
        std::uniform_real_distribution<float> u(0.0f, 1.0f);
        const int n = kLayerW * kRows;
        src.resize(4 * n), dst.resize(4 * n), cov.resize(n), ma.resize(kMaskW * kRows),
            mb.resize(kMaskW * kRows);
        for (int i = 0; i < 4 * n; ++i)
            src[i] = dst[i] = u(rng);
        for (int i = 0; i < n; ++i)
            cov[i] = i % 4 == 0 ? 0.0f : 0.7f * u(rng);
        for (int i = 0; i < kMaskW * kRows; ++i) {
            ma[i] = i % 3 == 0 ? 1.0f : (i % 7 == 0 ? 0.0f : u(rng));
            mb[i] = u(rng);
        }
        sp.pars = &pars;
        sp.source = src.data(), sp.dest = dst.data(), sp.coverage = cov.data();
        sp.maskA = ma.data(), sp.maskB = mb.data();
        sp.paint = paint, sp.outerEdge = outer, sp.innerEdge = inner;
        sp.columns = kCols, sp.rows = kRows;
        sp.destRowSkip = kLayerW - kCols, sp.maskRowSkip = kMaskW - kCols;
    }
    // Reference: per pixel with m > 0 and e > cov, cov ← e, then (P, 1) under a full tip or P
    // painted over the source.
    template <class ColourOf> void Reference(ColourOf colour) {
        for (int y = 0; y < kRows; ++y)
            for (int x = 0; x < kCols; ++x) {
                const float m = ma[y * kMaskW + x], e = mb[y * kMaskW + x];
                float& c = cov[y * kLayerW + x];
                if (!(m > 0) || !(e > c)) continue;
                c = e;
                float p[3];
                colour(e, p);
                const float* s = &src[4 * (y * kLayerW + x)];
                float* d = &dst[4 * (y * kLayerW + x)];
                if (m >= 1) {
                    d[0] = p[0], d[1] = p[1], d[2] = p[2], d[3] = 1;
                    continue;
                }
                const float a = (1 - m) * s[3] + m, t = m / a;
                for (int k = 0; k < 3; ++k)
                    d[k] = s[k] * (1 - t) + p[k] * t;
                d[3] = a;
            }
    }
};

void ExpectSame(const std::vector<float>& a, const std::vector<float>& b) {
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i)
        EXPECT_NEAR(a[i], b[i], 2e-6f) << i;
}

} // namespace

TEST(ShadedPenKernels, ThreeDeePenMatchesTheReference) {
    for (uint32_t seed = 1; seed <= 8; ++seed) {
        Span fast(seed), ref(seed);
        scribbix::ThreeDeePenTool pen;
        pen.BlendSpan(fast.sp);
        ref.Reference([&](float e, float* p) {
            const float w = (1 - e) * (1 - e);
            for (int k = 0; k < 3; ++k)
                p[k] = w * ref.outer[k] + (1 - w) * ref.paint[k];
        });
        ExpectSame(fast.dst, ref.dst);
        ExpectSame(fast.cov, ref.cov);
    }
}

TEST(ShadedPenKernels, Light3DPenMatchesTheReference) {
    for (uint32_t seed = 1; seed <= 8; ++seed) {
        Span fast(seed), ref(seed);
        scribbix::White3dPenTool pen;
        pen.BlendSpan(fast.sp);
        ref.Reference([&](float e, float* p) {
            for (int k = 0; k < 3; ++k)
                p[k] = (1 - e) * ref.paint[k] + e * ref.inner[k];
        });
        ExpectSame(fast.dst, ref.dst);
    }
}

TEST(ShadedPenKernels, Highlight3DPenMatchesTheReference) {
    for (uint32_t seed = 1; seed <= 8; ++seed) {
        Span fast(seed), ref(seed);
        scribbix::Highlight3DPenTool pen;
        pen.BlendSpan(fast.sp);
        // The highlight of (0.9, 0.4, 0.1): sum 1.4, L = 2.342; H = (1.5056, 0.66914, 0.16729)
        // before the spill; red is pulled back by 0.3792 and 0.30715 is shared out.
        const float h[3] = {1.1264f + 0.3333f * 0.307152f, 0.669143f + 0.3333f * 0.307152f,
                            0.167286f + 0.3334f * 0.307152f};
        ref.Reference([&](float e, float* p) {
            const float e2 = 2 * e;
            if (e2 <= 1) {
                const float a = (1 - e2) * 0.8f + 0.2f, w = a * a - 0.04f;
                for (int k = 0; k < 3; ++k)
                    p[k] = w * ref.outer[k] + (1 - w) * ref.paint[k];
            } else {
                for (int k = 0; k < 3; ++k)
                    p[k] = (2 - e2) * ref.paint[k] + (e2 - 1) * h[k];
            }
        });
        for (size_t i = 0; i < fast.dst.size(); ++i)
            EXPECT_NEAR(fast.dst[i], ref.dst[i], 2e-5f) << i;
    }
}
