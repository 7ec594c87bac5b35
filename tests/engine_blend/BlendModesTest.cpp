// Blend functions against an independent reference (blend_reference.py, values as hex literals),
// the mode and menu tables covering every mode once, and the HSL range invariant.
#include "engine/picture/BlendModes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <set>

namespace {

struct Vector {
    int mode;
    float v[9]; // base rgb, blend rgb, expected rgb
};

const Vector kVectors[] = {
#include "blend_vectors.inc"
};

uint32_t Bits(float f) {
    uint32_t u;
    std::memcpy(&u, &f, 4);
    return u;
}

} // namespace

// Bit for bit: a wrong rounding point or a missing divisor floor shows as a last-bit difference.
// The reference's fixed inputs hold the edge cases (B + L exactly 1 with a floored divisor, a
// black blend's fixed split, a grey blend's hue, colours outside 0..1, ties of the selective picks).
TEST(BlendModes, ResultsMatchIndependentReferenceBitForBit) {
    std::set<int> covered;
    for (const Vector& t : kVectors) {
        covered.insert(t.mode);
        t_TesBlendFunction fn = GetBlendFunction(t.mode);
        ASSERT_NE(nullptr, fn) << "mode " << t.mode;
        float x[3] = {t.v[3], t.v[4], t.v[5]};
        fn(t.v[0], t.v[1], t.v[2], x[0], x[1], x[2]);
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(Bits(t.v[6 + k]), Bits(x[k]))
                << "mode " << t.mode << " channel " << k << " base (" << t.v[0] << ", " << t.v[1] << ", "
                << t.v[2] << ") blend (" << t.v[3] << ", " << t.v[4] << ", " << t.v[5] << "): expected "
                << t.v[6 + k] << " got " << x[k];
    }
    EXPECT_EQ(54u, covered.size()); // every mode but Normal
}

// 45 to 48 and numbers out of range have neither name nor function; the menu lists each mode once.
TEST(BlendModes, TablesNameExactlyTheFiftyFiveModesAndTheMenuListsEachOnce) {
    int named = 0;
    for (int m = -3; m <= 70; ++m) {
        const bool exists = (m >= 0 && m <= 44) || (m >= 49 && m <= 58);
        EXPECT_EQ(exists, GetBlendModeName(m, false) != nullptr) << m;
        EXPECT_EQ(exists, GetBlendModeName(m, true) != nullptr) << m;
        EXPECT_EQ(exists && m != 0, GetBlendFunction(m) != nullptr) << m;
        named += exists;
    }
    EXPECT_EQ(kTesBlendModeCount, named);
    std::multiset<int> listed;
    for (int g = 0; g < kTesBlendModeGroupCount; ++g) {
        const s_TesBlendModeGroup* group = GetBlendModeGroup(g);
        ASSERT_NE(nullptr, group);
        for (int i = 0; i < group->modeCount; ++i) {
            EXPECT_NE(nullptr, GetBlendModeName(group->modes[i], false)) << group->modes[i];
            EXPECT_EQ(0u, listed.count(group->modes[i])) << "listed twice: " << group->modes[i];
            listed.insert(group->modes[i]);
        }
    }
    EXPECT_EQ(size_t(kTesBlendModeCount), listed.size());
    EXPECT_EQ(nullptr, GetBlendModeGroup(kTesBlendModeGroupCount));
}

// Luminance with base == blend converts a colour to HSL and back with its own range: HDR and
// negative colours must survive.
TEST(BlendModes, HslConversionRoundTripsColoursOutsideUnitRange) {
    std::mt19937 rng(11);
    std::uniform_real_distribution<float> u(-2.0f, 4.0f);
    for (int i = 0; i < 20000; ++i) {
        const float c[3] = {u(rng), u(rng), u(rng)};
        float x[3] = {c[0], c[1], c[2]};
        GetBlendFunction(kTesBlend_Luminance)(c[0], c[1], c[2], x[0], x[1], x[2]);
        const float tol = 2e-6f * (std::fabs(c[0]) + std::fabs(c[1]) + std::fabs(c[2]) + 1.0f);
        for (int k = 0; k < 3; ++k)
            ASSERT_NEAR(c[k], x[k], tol) << i;
    }
}
