// Exact-area resample and separable blur: checked against plain reference kernels on random
// layers, for normalisation (constant layers stay constant, totals are kept) and for failure.
#include <gtest/gtest.h>

#include <cmath>

#include "PixelTestUtil.h"
#include "shell/MemBlock.h"

namespace {

// Reference resample in exact integer units: source pixel i spans [i·nw, (i+1)·nw), target pixel
// c spans [c·fw, (c+1)·fw), so every overlap is an integer and a target's area is fw·fh.
Px ReferenceResample(const c_TesLayer& src, int64_t nw, int64_t nh, int64_t c, int64_t r) {
    const int64_t fw = src.width, fh = src.height;
    double sw = 0, sr = 0, sg = 0, sb = 0;
    for (int64_t j = 0; j < fh; ++j) {
        const int64_t oy =
            std::max<int64_t>(0, std::min((j + 1) * nh, (r + 1) * fh) - std::max(j * nh, r * fh));
        if (!oy) continue;
        for (int64_t i = 0; i < fw; ++i) {
            const int64_t ox =
                std::max<int64_t>(0, std::min((i + 1) * nw, (c + 1) * fw) - std::max(i * nw, c * fw));
            const Px p = At(src, int(i), int(j));
            if (!ox || p.a <= 0) continue;
            const double w = double(ox) * double(oy) * p.a;
            sw += w, sr += w * p.r, sg += w * p.g, sb += w * p.b;
        }
    }
    if (sw <= 0) return {0, 0, 0, 0};
    return {float(sr / sw), float(sg / sw), float(sb / sw), float(sw / (double(fw) * fh))};
}

void ExpectNear(const Px& want, const Px& got, const char* what, int x, int y) {
    const float tol = 2e-6f;
    EXPECT_NEAR(want.r, got.r, tol * (1 + std::fabs(want.r))) << what << " at " << x << "," << y;
    EXPECT_NEAR(want.g, got.g, tol * (1 + std::fabs(want.g))) << what << " at " << x << "," << y;
    EXPECT_NEAR(want.b, got.b, tol * (1 + std::fabs(want.b))) << what << " at " << x << "," << y;
    EXPECT_NEAR(want.a, got.a, tol) << what << " at " << x << "," << y;
}

} // namespace

// Sizes cover shrinking (done in place), growing, and mixed directions with ragged ratios.
TEST(Resample, MatchesExactAreaReferenceOnRandomLayers) {
    std::mt19937 rng(3);
    const int sizes[][4] = {{7, 5, 3, 2},    {5, 4, 11, 9}, {9, 3, 4, 7},
                            {13, 11, 13, 4}, {6, 6, 5, 5},  {3, 8, 8, 3}};
    for (const auto& s : sizes) {
        auto src = MakeColour(s[0], s[1], [&](int, int) { return RandomPx(rng); });
        auto out = MakeColour(s[0], s[1], [&](int x, int y) { return At(*src, x, y); });
        ASSERT_TRUE(out->Resample(s[2], s[3]));
        ASSERT_EQ(s[2], out->width);
        ASSERT_EQ(s[3], out->height);
        for (int y = 0; y < s[3]; ++y)
            for (int x = 0; x < s[2]; ++x)
                ExpectNear(ReferenceResample(*src, s[2], s[3], x, y), At(*out, x, y), "resample", x, y);
    }
}

TEST(Resample, HalfOpaqueRedHalvesToOpaqueRedAndTransparentColumns) {
    auto l = MakeColour(4, 4, [](int x, int) { return x < 2 ? Px{1, 0, 0, 1} : Px{0, 0, 0, 0}; });
    ASSERT_TRUE(l->Resample(2, 2));
    for (int y = 0; y < 2; ++y) {
        const Px left = At(*l, 0, y), right = At(*l, 1, y);
        EXPECT_EQ(1.0f, left.r);
        EXPECT_EQ(0.0f, left.g);
        EXPECT_EQ(1.0f, left.a);
        EXPECT_EQ(0.0f, right.a);
    }
}

TEST(Resample, ConstantLayersStayConstantAndAlphaTotalsAreKept) {
    for (const auto& s : {std::pair<int, int>{17, 3}, {3, 17}, {40, 40}}) {
        auto c = MakeColour(23, 13, [](int, int) { return Px{0.3f, 0.6f, 1.7f, 1.0f}; });
        ASSERT_TRUE(c->Resample(s.first, s.second));
        for (int y = 0; y < c->height; ++y)
            for (int x = 0; x < c->width; ++x)
                ExpectNear({0.3f, 0.6f, 1.7f, 1.0f}, At(*c, x, y), "constant", x, y);
        auto m = MakeMono(23, 13, [](int, int) { return 0.25f; });
        ASSERT_TRUE(m->Resample(s.first, s.second));
        for (int i = 0; i < m->width * m->height; ++i)
            ASSERT_NEAR(0.25f, m->Pixels()[i], 1e-6f);
    }
    // Total coverage (alpha times pixel area) survives any scale.
    std::mt19937 rng(5);
    auto l = MakeColour(31, 17, [&](int, int) { return RandomPx(rng); });
    double before = 0, after = 0;
    for (int i = 0; i < 31 * 17; ++i)
        before += l->Pixels()[i * 4 + 3];
    ASSERT_TRUE(l->Resample(12, 40));
    for (int i = 0; i < 12 * 40; ++i)
        after += l->Pixels()[i * 4 + 3];
    EXPECT_NEAR(before, after * (31.0 / 12.0) * (17.0 / 40.0), 1e-4);
}

// A compacted layer is resampled without being expanded; the result must equal resampling the
// expanded layer.
TEST(Resample, CompactedLayerGivesSameResultAsExpandedLayer) {
    std::mt19937 rng(9);
    for (const auto& s : {std::pair<int, int>{10, 7}, {50, 33}, {29, 40}}) {
        auto a = MakeColour(40, 30, [&](int x, int y) {
            return x >= 11 && x < 23 && y >= 5 && y < 19 ? RandomPx(rng) : Px{0, 0, 0, 0};
        });
        auto b = MakeColour(40, 30, [&](int x, int y) { return At(*a, x, y); });
        ASSERT_TRUE(b->SetCompact(true));
        ASSERT_TRUE(b->compacted && b->width < 40);
        ASSERT_TRUE(a->Resample(s.first, s.second));
        ASSERT_TRUE(b->Resample(s.first, s.second));
        EXPECT_TRUE(b->compacted);
        ASSERT_TRUE(b->SetCompact(false));
        ASSERT_EQ(s.first, b->width);
        for (int y = 0; y < s.second; ++y)
            for (int x = 0; x < s.first; ++x)
                ExpectNear(At(*a, x, y), At(*b, x, y), "compacted", x, y);
    }
}

TEST(Resample, FailedAllocationLeavesLayerUnchanged) {
    std::mt19937 rng(2);
    auto l = MakeColour(9, 7, [&](int, int) { return RandomPx(rng); });
    const LayerState before = StateOf(*l);
    vek::MemFailAfter(1);
    EXPECT_FALSE(l->Resample(20, 20));
    vek::MemFailAfter(0);
    EXPECT_TRUE(StateOf(*l) == before);
}

namespace {

// Reference: direct 2D alpha-weighted convolution with both axes wrapping.
Px ReferenceBlurWrapped(const c_TesLayer& l, const std::vector<double>& k, int x, int y) {
    const int K = static_cast<int>(k.size()), half = K / 2, w = l.width, h = l.height;
    double s = 0, sr = 0, sg = 0, sb = 0;
    for (int j = 0; j < K; ++j)
        for (int i = 0; i < K; ++i) {
            const Px p = At(l, ((x + i - half) % w + w) % w, ((y + j - half) % h + h) % h);
            if (p.a <= 0) continue;
            const double wgt = k[i] * k[j] * p.a;
            s += wgt, sr += wgt * p.r, sg += wgt * p.g, sb += wgt * p.b;
        }
    if (s <= 0) return {0, 0, 0, 0};
    return {float(sr / s), float(sg / s), float(sb / s), float(s)};
}

} // namespace

TEST(Blur, SeparableWrappedBlurMatchesDirectConvolution) {
    std::mt19937 rng(4);
    const std::vector<double> k = {0.1, 0.2, 0.4, 0.2, 0.1};
    auto src = MakeColour(9, 6, [&](int, int) { return RandomPx(rng); });
    auto l = MakeColour(9, 6, [&](int x, int y) { return At(*src, x, y); });
    std::vector<float> row(9 * 4);
    ASSERT_TRUE(l->Blur(5, k.data(), row.data(), true, true));
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 9; ++x)
            ExpectNear(ReferenceBlurWrapped(*src, k, x, y), At(*l, x, y), "blur", x, y);
}

TEST(Blur, OpaqueLayerStaysOpaqueAtEdgesWithoutWrap) {
    const std::vector<double> k = {1, 4, 6, 4, 1}; // deliberately not normalised
    auto l = MakeColour(8, 5, [](int x, int y) { return Px{x * 0.1f, 0.5f, 0.5f, 1.0f}; });
    ASSERT_TRUE(l->Blur(5, k.data(), nullptr, false, false));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_FLOAT_EQ(1.0f, At(*l, x, y).a) << x << "," << y;
    auto m = MakeMono(6, 6, [](int, int) { return 0.75f; });
    ASSERT_TRUE(m->Blur(5, k.data(), nullptr, false, false));
    for (int i = 0; i < 36; ++i)
        EXPECT_FLOAT_EQ(0.75f, m->Pixels()[i]);
}

TEST(Blur, TransparentNeighboursAddNoColour) {
    const std::vector<double> k = {0.25, 0.5, 0.25};
    // A single opaque green pixel among transparent red ones: colour stays pure green everywhere
    // it spreads, alpha falls off.
    auto l = MakeColour(5, 1, [](int x, int) { return x == 2 ? Px{0, 1, 0, 1} : Px{1, 0, 0, 0}; });
    ASSERT_TRUE(l->Blur(3, k.data(), nullptr, false, false));
    EXPECT_EQ(0.0f, At(*l, 1, 0).r);
    EXPECT_EQ(1.0f, At(*l, 1, 0).g);
    // Row: S = 0.25 of inside weight 1; column: only the centre tap is inside.
    EXPECT_FLOAT_EQ(0.25f, At(*l, 1, 0).a);
    EXPECT_EQ(0.0f, At(*l, 0, 0).a);
}

namespace {

// Reference for mono layers: direct 2D convolution; without wrap the weights that fall outside
// are dropped and the sum is divided by the weights that fell inside.
float ReferenceBlurMono(const std::vector<float>& v, int w, int h, const std::vector<double>& k, bool wrap,
                        int x, int y) {
    const int K = static_cast<int>(k.size()), half = K / 2;
    double sum = 0, inX = 0, inY = 0;
    for (int i = 0; i < K; ++i) {
        const int sx = x + i - half;
        if (wrap || (sx >= 0 && sx < w)) inX += k[i];
    }
    for (int j = 0; j < K; ++j) {
        const int sy = y + j - half;
        if (wrap || (sy >= 0 && sy < h)) inY += k[j];
    }
    for (int j = 0; j < K; ++j)
        for (int i = 0; i < K; ++i) {
            int sx = x + i - half, sy = y + j - half;
            if (!wrap && (sx < 0 || sx >= w || sy < 0 || sy >= h)) continue;
            sx = (sx % w + w) % w, sy = (sy % h + h) % h;
            sum += k[i] * k[j] * v[size_t(sy) * w + sx];
        }
    return float(wrap ? sum : sum / (inX * inY));
}

} // namespace

// A compacted mono layer (constant border around random content) is blurred at full size and
// compacted again; both edge rules must match the direct convolution.
TEST(Blur, MonoLayerMatchesDirectConvolutionWithAndWithoutWrap) {
    std::mt19937 rng(6);
    std::uniform_real_distribution<float> u(-0.5f, 1.5f);
    const int w = 11, h = 8;
    std::vector<float> src(size_t(w) * h, 0.3f);
    for (int y = 2; y < 6; ++y)
        for (int x = 3; x < 8; ++x)
            src[size_t(y) * w + x] = u(rng);
    const std::vector<double> k = {1, 3, 5, 2}; // even, uneven and not normalised
    for (const bool wrap : {true, false}) {
        auto m = MakeMono(w, h, [&](int x, int y) { return src[size_t(y) * w + x]; });
        ASSERT_TRUE(m->SetCompact(true));
        ASSERT_EQ(1, m->compacted);
        ASSERT_TRUE(m->Blur(int32_t(k.size()), k.data(), nullptr, wrap, wrap));
        ASSERT_TRUE(m->SetCompact(false));
        ASSERT_EQ(w, m->width);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const float want = ReferenceBlurMono(src, w, h, k, wrap, x, y);
                EXPECT_NEAR(want, m->Pixels()[y * w + x], 2e-6f * (1 + std::fabs(want)))
                    << (wrap ? "wrap " : "no wrap ") << x << "," << y;
            }
    }
}
