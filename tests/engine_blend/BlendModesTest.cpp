// Blend functions against an independent reference (blend_reference.py, values as hex literals),
// the name tables, and the HSL range invariant over random colours.
#include "engine/picture/BlendModes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <set>
#include <string>

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

struct Rgb {
    float r, g, b;
};

Rgb Blend(int mode, Rgb base, Rgb blend) {
    t_TesBlendFunction fn = GetBlendFunction(mode);
    EXPECT_NE(nullptr, fn) << "mode " << mode;
    if (fn) fn(base.r, base.g, base.b, blend.r, blend.g, blend.b);
    return blend;
}

} // namespace

// Every vector is checked bit for bit: a wrong rounding point or a missing divisor floor shows up
// as a last-bit difference even where the formula is otherwise right. The fixed inputs include the
// edge cases (B + L exactly 1 with a floored divisor, a black blend's fixed split, a grey blend's
// hue, colours above 1 and below 0, ties of the selective picks).
TEST(BlendModes, ResultsMatchIndependentReferenceBitForBit) {
    std::set<int> covered;
    for (const Vector& t : kVectors) {
        covered.insert(t.mode);
        const Rgb x = Blend(t.mode, {t.v[0], t.v[1], t.v[2]}, {t.v[3], t.v[4], t.v[5]});
        const float got[3] = {x.r, x.g, x.b};
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(Bits(t.v[6 + k]), Bits(got[k]))
                << "mode " << t.mode << " channel " << k << " base (" << t.v[0] << ", " << t.v[1] << ", "
                << t.v[2] << ") blend (" << t.v[3] << ", " << t.v[4] << ", " << t.v[5] << "): expected "
                << t.v[6 + k] << " got " << got[k];
    }
    EXPECT_EQ(54u, covered.size()); // every mode but Normal
}

TEST(BlendModes, ExactlyTheFiftyFiveModesHaveNamesAndOnlyNormalLacksAFunction) {
    int named = 0;
    for (int m = -3; m <= 70; ++m) {
        const bool exists = (m >= 0 && m <= 44) || (m >= 49 && m <= 58);
        EXPECT_EQ(exists, GetBlendModeName(m, false) != nullptr) << m;
        EXPECT_EQ(exists, GetBlendModeName(m, true) != nullptr) << m;
        EXPECT_EQ(exists && m != 0, GetBlendFunction(m) != nullptr) << m;
        named += exists;
    }
    EXPECT_EQ(kTesBlendModeCount, named);
}

TEST(BlendModes, NameTableTextsAreTheProgramsOwn) {
    EXPECT_STREQ("Normal", GetBlendModeName(0, false));
    EXPECT_STREQ("Add (Linear Dodge)", GetBlendModeName(1, false));
    EXPECT_STREQ("Linear Burn (Subtractive)", GetBlendModeName(28, false));
    EXPECT_STREQ("Green & Blue", GetBlendModeName(52, false));
    EXPECT_STREQ("Color with kept RGB sum", GetBlendModeName(56, false));
    EXPECT_STREQ("Inverse Subtract", GetBlendModeName(58, false));
    EXPECT_STREQ("Click to select this blend mode.", GetBlendModeName(20, true));
    EXPECT_STREQ("Also known as 'Hard Mix'.", GetBlendModeName(55, true));
    EXPECT_STREQ("Only uses red and green channels.", GetBlendModeName(54, true));
    for (int m : {17, 18, 19, 58})
        EXPECT_STREQ("The background and blend layer will switch places during calculation.",
                     GetBlendModeName(m, true));
    EXPECT_STREQ(
        "Uses the levels that differ the most from the combined background and blend pixel mean level.",
        GetBlendModeName(13, true));
}

TEST(BlendModes, MenuGroupsListEveryModeOnce) {
    std::set<int> seen;
    int total = 0;
    for (int g = 0; g < kTesBlendModeGroupCount; ++g) {
        const s_TesBlendModeGroup* group = GetBlendModeGroup(g);
        ASSERT_NE(nullptr, group);
        for (int i = 0; i < group->modeCount; ++i) {
            EXPECT_NE(nullptr, GetBlendModeName(group->modes[i], false));
            seen.insert(group->modes[i]);
            ++total;
        }
    }
    EXPECT_EQ(kTesBlendModeCount, total);
    EXPECT_EQ(static_cast<size_t>(kTesBlendModeCount), seen.size());
    EXPECT_EQ(nullptr, GetBlendModeGroup(6));
    EXPECT_STREQ("These modes compute the difference between each RGB level and the pixel mean level.\r"
                 "Every mode makes use of the brightness differences in its own way.",
                 GetBlendModeGroup(3)->help);
}

// Taking hue, saturation and lightness all from the blend through the HSL modes must give the
// blend back, HDR and negative colours included: the range survives the conversion.
TEST(BlendModes, HslConversionRoundTripsColoursOutsideUnitRange) {
    std::mt19937 rng(11);
    std::uniform_real_distribution<float> u(-2.0f, 4.0f);
    for (int i = 0; i < 20000; ++i) {
        const Rgb c{u(rng), u(rng), u(rng)};
        // Luminance with base == blend converts c there and back with its own range.
        const Rgb x = Blend(kTesBlend_Luminance, c, c);
        const float tol = 2e-6f * (std::fabs(c.r) + std::fabs(c.g) + std::fabs(c.b) + 1.0f);
        ASSERT_NEAR(c.r, x.r, tol);
        ASSERT_NEAR(c.g, x.g, tol);
        ASSERT_NEAR(c.b, x.b, tol);
    }
}
