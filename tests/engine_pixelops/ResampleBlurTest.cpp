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
    const float w[4] = {want.r, want.g, want.b, want.a}, g[4] = {got.r, got.g, got.b, got.a};
    for (int c = 0; c < 4; ++c)
        EXPECT_NEAR(w[c], g[c], 2e-6f * (1 + std::fabs(w[c])))
            << what << " channel " << c << " at " << x << "," << y;
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

// A compacted layer is resampled without being expanded and must equal the expanded result; mono
// layers have no reference of their own, but a constant stays constant at any scale.
TEST(Resample, CompactedLayersMatchExpandedOnesConstantMonoStaysAndFailureChangesNothing) {
    std::mt19937 rng(9);
    for (const auto& s : {std::pair<int, int>{10, 7}, {50, 33}, {29, 40}}) {
        auto a = MakeColour(40, 30, [&](int x, int y) {
            return x >= 11 && x < 23 && y >= 5 && y < 19 ? RandomPx(rng) : Px{0, 0, 0, 0};
        });
        auto b = MakeColour(40, 30, [&](int x, int y) { return At(*a, x, y); });
        ASSERT_TRUE(b->SetCompact(true) && b->width < 40);
        ASSERT_TRUE(a->Resample(s.first, s.second) && b->Resample(s.first, s.second));
        EXPECT_TRUE(b->compacted);
        ASSERT_TRUE(b->SetCompact(false) && b->width == s.first);
        for (int y = 0; y < s.second; ++y)
            for (int x = 0; x < s.first; ++x)
                ExpectNear(At(*a, x, y), At(*b, x, y), "compacted", x, y);
        auto m = MakeMono(23, 13, [](int, int) { return 0.25f; });
        ASSERT_TRUE(m->Resample(s.second, s.first));
        ASSERT_EQ(s.first * s.second, m->width * m->height);
        for (int i = 0; i < m->width * m->height; ++i)
            ASSERT_NEAR(0.25f, m->Pixels()[i], 1e-6f);
    }
    auto l = MakeColour(9, 7, [&](int, int) { return RandomPx(rng); });
    const LayerState before = StateOf(*l);
    vek::MemFailAfter(1);
    EXPECT_FALSE(l->Resample(20, 20));
    vek::MemFailAfter(0);
    EXPECT_TRUE(StateOf(*l) == before);
}

namespace {

// Reference: direct 2D convolution. Colour taps weigh k·a and skip transparent pixels; mono taps
// weigh k. Without wrap the taps outside are dropped and the weight (alpha, or the mono value) is
// divided by the kernel weights that fell inside.
Px ReferenceBlur(const c_TesLayer& l, const std::vector<double>& k, bool wrap, int x, int y) {
    const int K = static_cast<int>(k.size()), half = K / 2, w = l.width, h = l.height;
    const bool mono = l.channels == 1;
    double s = 0, sr = 0, sg = 0, sb = 0, inX = 0, inY = 0;
    for (int i = 0; i < K; ++i) {
        inX += wrap || (x + i - half >= 0 && x + i - half < w) ? k[i] : 0;
        inY += wrap || (y + i - half >= 0 && y + i - half < h) ? k[i] : 0;
    }
    for (int j = 0; j < K; ++j)
        for (int i = 0; i < K; ++i) {
            int sx = x + i - half, sy = y + j - half;
            if (!wrap && (sx < 0 || sx >= w || sy < 0 || sy >= h)) continue;
            sx = (sx % w + w) % w, sy = (sy % h + h) % h;
            const Px p = mono ? Px{l.Pixels()[sy * w + sx], 0, 0, 1} : At(l, sx, sy);
            if (p.a <= 0) continue;
            const double wgt = k[i] * k[j] * p.a;
            s += wgt, sr += wgt * p.r, sg += wgt * p.g, sb += wgt * p.b;
        }
    const double norm = wrap ? 1.0 : inX * inY;
    if (mono) return {float(sr / norm), 0, 0, 1};
    if (s <= 0) return {0, 0, 0, 0};
    return {float(sr / s), float(sg / s), float(sb / s), float(s / norm)};
}

} // namespace

// Both edge rules, an even, uneven and not normalised kernel; the mono layer is compacted (a
// constant border around random content), blurred at full size and compacted again.
TEST(Blur, SeparableBlurMatchesDirectConvolutionWithAndWithoutWrap) {
    std::mt19937 rng(4);
    std::uniform_real_distribution<float> u(-0.5f, 1.5f);
    const std::vector<double> k = {1, 3, 5, 2};
    for (const bool wrap : {true, false}) {
        auto src = MakeColour(9, 6, [&](int, int) { return RandomPx(rng); });
        auto l = MakeColour(9, 6, [&](int x, int y) { return At(*src, x, y); });
        std::vector<float> row(9 * 4);
        ASSERT_TRUE(l->Blur(int32_t(k.size()), k.data(), row.data(), wrap, wrap));
        auto monoSrc =
            MakeMono(11, 8, [&](int x, int y) { return x > 2 && x < 8 && y > 1 && y < 6 ? u(rng) : 0.3f; });
        auto m = MakeMono(11, 8, [&](int x, int y) { return monoSrc->Pixels()[y * 11 + x]; });
        ASSERT_TRUE(m->SetCompact(true));
        ASSERT_EQ(1, m->compacted);
        ASSERT_TRUE(m->Blur(int32_t(k.size()), k.data(), nullptr, wrap, wrap));
        ASSERT_TRUE(m->SetCompact(false));
        ASSERT_EQ(11, m->width);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 11; ++x) {
                if (x < 9 && y < 6)
                    ExpectNear(ReferenceBlur(*src, k, wrap, x, y), At(*l, x, y), "colour", x, y);
                const float want = ReferenceBlur(*monoSrc, k, wrap, x, y).r;
                EXPECT_NEAR(want, m->Pixels()[y * 11 + x], 2e-6f * (1 + std::fabs(want)))
                    << wrap << " " << x << "," << y;
            }
    }
}
