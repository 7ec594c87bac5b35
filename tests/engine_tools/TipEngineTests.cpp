// Tip geometry, distance tables, tip masks and the sub-pixel shift. Expected mask rows were
// computed separately in Python from the profile formulas with a table of the mask's own size.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/tools/TipEngine.h"
#include "shell/MemBlock.h"

namespace {

struct Tip {
    vek::MemBlock a, b, table;
    std::vector<float> quadrant, planeA, planeB;
    s_TipPars tip{};
    int32_t n = 0;

    Tip(float d, float h, float s, float sigma, bool cone = false, int32_t tableN = 0) {
        tip.size = d, tip.hardness = h, tip.tipShape = s, tip.strength = sigma, tip.needsEdgeCone = cone;
        tes::ComputeTipGeometry(tip);
        n = tableN ? tableN : tip.maskSize;
        EXPECT_TRUE(tes::BuildDistanceTable(table, n));
        const int32_t side = tip.maskSize + 1;
        EXPECT_TRUE(a.Alloc(sizeof(float) * side * side) && b.Alloc(sizeof(float) * side * side));
        tip.maskA = &a;
        tip.maskB = cone ? &b : nullptr;
        quadrant.resize(2 * side * side), planeA.resize((side + 1) * (side + 1)),
            planeB.resize(planeA.size());
    }
    void Build(float fx = 0, float fy = 0) {
        tip.fx = fx, tip.fy = fy;
        tes::BuildTipMasks(tip, table.As<float>(), n, quadrant.data(), planeA.data(), planeB.data());
    }
    float A(int x, int y) const { return a.As<float>()[y * tip.maskWidth + x]; }
    float B(int x, int y) const { return b.As<float>()[y * tip.maskWidth + x]; }
};

} // namespace

TEST(TipMask, ProfilesAreTheLinearRampTheRoundSoftPenAndThePointedOneAndSmallTipsAreSoft) {
    struct Case {
        float d, h, s, sigma;
        int row;
        std::vector<float> expected;
    } cases[] = {
        {20,
         0.5f,
         0.5f,
         1.0f,
         11, // tip shape 0.5: a linear ramp from the core to the rim
         {0.061287f, 0.231202f, 0.401055f, 0.57082f, 0.740459f, 0.9099f,   1,        1, 1, 1, 1, 1, 1, 1, 1,
          1,         0.9099f,   0.740459f, 0.57082f, 0.401055f, 0.231202f, 0.061287f}},
        {20,
         0.0f,
         1.0f,
         0.8f,
         11, // tip shape 1: the soft pen's 1 − (1 − t)²
         {0.069001f, 0.201221f, 0.32022f,  0.425998f, 0.518556f, 0.597893f, 0.66401f,  0.716905f,
          0.75658f,  0.783032f, 0.796282f, 0.796282f, 0.783032f, 0.75658f,  0.716905f, 0.66401f,
          0.597893f, 0.518556f, 0.425998f, 0.32022f,  0.201221f, 0.069001f}},
        {15,
         0.6f,
         0.2f,
         1.0f,
         9, // below one half: pointed
         {0.0f, 0.066892f, 0.205323f, 0.396422f, 0.653186f, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0.653186f, 0.396422f,
          0.205323f, 0.066892f, 0.0f}},
        {2, 1.0f, 0.5f, 1.0f, 2, {0.0f, 0.576339f, 0.576339f, 0.0f}}, // size 2 softened although hard
    };
    for (const Case& c : cases) {
        Tip t(c.d, c.h, c.s, c.sigma);
        t.Build();
        ASSERT_EQ(t.tip.maskWidth, static_cast<int>(c.expected.size()));
        for (int i = 0; i < t.tip.maskWidth; ++i)
            EXPECT_NEAR(t.A(i, c.row), c.expected[i], 2e-5) << "size " << c.d << " column " << i;
    }
    for (float d : {1.0f, 1.5f, 2.0f, 2.5f, 2.8f, 3.0f}) { // a hard tip below size 3 is softened and widened
        Tip tiny(d, 1.0f, 0.5f, 1.0f);
        EXPECT_EQ(tiny.tip.hardness < 1.0f && tiny.tip.softDiameter > d, d < 3.0f) << d;
    }
    Tip large(20, 0.5f, 0.5f, 1.0f, false, 300), small(20, 0.5f, 0.5f, 1.0f); // any table of the parity
    large.Build(), small.Build();
    for (int y = 0; y < small.tip.maskHeight; ++y)
        for (int x = 0; x < small.tip.maskWidth; ++x)
            EXPECT_NEAR(small.A(x, y), large.A(x, y), 1e-5);
}

TEST(TipMask, EdgeConeIsOneMinusTheNormalisedDistance) {
    Tip t(9, 1.0f, 0.5f, 1.0f, true);
    t.Build();
    EXPECT_FLOAT_EQ(t.A(4, 4), 1.0f);
    EXPECT_FLOAT_EQ(t.B(4, 4), 1.0f); // odd size: the centre pixel is at distance 0
    // Pixel (5, 4): mean distance of (1 ± 0.25, ± 0.25) = 1.032662, over D/2 = 4.5.
    EXPECT_NEAR(t.B(5, 4), 1.0f - 1.032662f / 4.5f, 1e-5);
    EXPECT_FLOAT_EQ(t.B(0, 0), 0.0f);
}

TEST(TipMask, ShiftIsRowsThenColumnsByLinearInterpolationANegativeFractionCountingAsFPlusOne) {
    Tip t(12, 0.3f, 0.7f, 0.9f, true);
    t.Build();
    const int m = t.tip.maskSize, w = m + 1;
    std::vector<float> base(m * m), cone(m * m);
    for (int y = 0; y < m; ++y)
        for (int x = 0; x < m; ++x)
            base[y * m + x] = t.A(x, y), cone[y * m + x] = t.B(x, y);
    const float fx = 0.6f, fy = 0.15f;
    t.Build(fx, fy - 1.0f);
    ASSERT_EQ(t.tip.maskWidth, w);
    ASSERT_EQ(t.tip.maskHeight, w);
    EXPECT_FLOAT_EQ(t.tip.fy, fy);
    for (const auto* plane : {&base, &cone}) {
        auto at = [&](int x, int y) {
            return x >= 0 && y >= 0 && x < m && y < m ? (*plane)[y * m + x] : 0.0f;
        };
        for (int y = 0; y < w; ++y)
            for (int x = 0; x < w; ++x) {
                const float row = (1 - fx) * at(x, y) + fx * at(x - 1, y);
                const float up = (1 - fx) * at(x, y - 1) + fx * at(x - 1, y - 1);
                EXPECT_NEAR(plane == &base ? t.A(x, y) : t.B(x, y), (1 - fy) * row + fy * up, 1e-6)
                    << x << "," << y;
            }
    }
}

TEST(TipMask, ShiftingOnlyWithinTheRowExtentsLosesNothing) {
    for (float d : {1.0f, 2.0f, 6.0f, 17.0f, 40.0f}) {
        for (float f : {0.0f, 0.3f, 0.85f}) {
            Tip t(d, 0.3f, 0.5f, 1.0f, true);
            const int32_t side = t.tip.maskSize + 1;
            std::vector<int32_t> pf(side + 1), pe(side + 1), mf(side + 1), me(side + 1);
            tes::BuildTipPlanes(t.tip, t.table.As<float>(), t.n, t.quadrant.data(), t.planeA.data(),
                                t.planeB.data(), pf.data(), pe.data());
            t.tip.fx = f, t.tip.fy = 1.0f - f, t.tip.rowFirst = t.tip.rowEnd = nullptr;
            tes::ShiftTipMasks(t.tip, t.planeA.data(), t.planeB.data(), nullptr, nullptr,
                               false); // every column
            const size_t cells = static_cast<size_t>(t.tip.maskWidth) * t.tip.maskHeight;
            const std::vector<float> fullA(t.a.As<float>(), t.a.As<float>() + cells);
            const std::vector<float> fullB(t.b.As<float>(), t.b.As<float>() + cells);
            t.tip.rowFirst = mf.data(), t.tip.rowEnd = me.data();
            tes::ShiftTipMasks(t.tip, t.planeA.data(), t.planeB.data(), pf.data(), pe.data(), false);
            EXPECT_EQ(std::vector<float>(t.a.As<float>(), t.a.As<float>() + cells), fullA) << d << " " << f;
            EXPECT_EQ(std::vector<float>(t.b.As<float>(), t.b.As<float>() + cells), fullB) << d << " " << f;
        }
    }
}

TEST(DistanceTable, OddSizesCentreOnAPixelAndAFailedRebuildKeepsTheOldTable) {
    vek::MemBlock table; // the values themselves are checked through the masks above
    ASSERT_TRUE(tes::BuildDistanceTable(table, 5));
    EXPECT_FLOAT_EQ(table.As<float>()[8], 0.0f);
    vek::MemFailAfter(1);
    EXPECT_FALSE(tes::BuildDistanceTable(table, 7));
    vek::MemFailAfter(0);
    EXPECT_FLOAT_EQ(table.As<float>()[8], 0.0f);
}
