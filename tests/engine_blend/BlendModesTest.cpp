// Blend functions against an independent reference (blend_reference.py, values as hex literals),
// the documented edge cases, and invariants over random colours.
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
// as a last-bit difference even where the formula is otherwise right.
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

TEST(BlendModes, DivisorsBelowOneSixteenthAreRaisedToIt) {
    EXPECT_EQ(8.0f, Blend(kTesBlend_Divide, {0.5f, 0.5f, 0.5f}, {0.0f, -3.0f, 0.0625f}).r);
    EXPECT_EQ(8.0f, Blend(kTesBlend_Divide, {0.5f, 0.5f, 0.5f}, {0.0f, -3.0f, 0.0625f}).g);
    EXPECT_EQ(8.0f, Blend(kTesBlend_Divide, {0.5f, 0.5f, 0.5f}, {0.0f, -3.0f, 0.0625f}).b);
    EXPECT_EQ(4.0f, Blend(kTesBlend_Dodge, {0.25f, 0.25f, 0.25f}, {1.0f, 1.0f, 1.0f}).r);
    // Burn with L = 0: 1 - 16 (1 - B).
    EXPECT_EQ(-7.0f, Blend(kTesBlend_Burn, {0.5f, 0.5f, 0.5f}, {0.0f, 0.0f, 0.0f}).r);
    EXPECT_EQ(1.0f, Blend(kTesBlend_Burn, {1.0f, 1.0f, 1.0f}, {0.0f, 0.0f, 0.0f}).r);
}

TEST(BlendModes, SoftDodgeAndSoftBurnTakeSecondFormulaWhenSumIsExactlyOne) {
    // Both formulas give 0.5 on B + L = 1 unless a divisor is floored, so use a floored one.
    // Soft Dodge, B = 1/32, L = 31/32: second 1 - 0.5 (1/32) / 0.0625 = 0.75 (first: 0.25).
    EXPECT_EQ(0.75f, Blend(kTesBlend_SoftDodge, {0.03125f, 0.5f, 0.5f}, {0.96875f, 0.5f, 0.5f}).r);
    // Soft Burn, B = 31/32, L = 1/32: second 1 - 0.5 (1/32) / 0.0625 = 0.75 (first: 0.25).
    EXPECT_EQ(0.75f, Blend(kTesBlend_SoftBurn, {0.96875f, 0.5f, 0.5f}, {0.03125f, 0.5f, 0.5f}).r);
}

TEST(BlendModes, SelectivePicksKeepBlendOnTies) {
    // Both pixels deviate by the same amount from their own means.
    const Rgb x = Blend(kTesBlend_PickNearBrightness, {0.25f, 0.5f, 0.75f}, {0.125f, 0.375f, 0.625f});
    EXPECT_EQ(0.125f, x.r);
    EXPECT_EQ(0.375f, x.g);
    EXPECT_EQ(0.625f, x.b);
    const Rgb y = Blend(kTesBlend_PickFarFromBrightness, {0.25f, 0.5f, 0.75f}, {0.5f, 0.75f, 1.0f});
    EXPECT_EQ(0.5f, y.r);
    EXPECT_EQ(1.0f, y.b);
}

TEST(BlendModes, KeptSumWithBlackBlendUsesFixedSplit) {
    // Base sum 1.5 split 0.333 / 0.333 / 0.334.
    const Rgb x = Blend(kTesBlend_ColorKeptSum, {0.5f, 0.5f, 0.5f}, {0.0f, 0.0f, 0.0f});
    EXPECT_EQ(static_cast<float>(0.333f * 1.5), x.r);
    EXPECT_EQ(static_cast<float>(0.334f * 1.5), x.b);
}

TEST(BlendModes, ColorKeepsBaseRangeAboveOne) {
    // (2, 1, 1) is (1, 0.5, 0.5) at scale 2: lightness 0.75; pure blue at that lightness is
    // (0.5, 0.5, 1), times 2.
    const Rgb x = Blend(kTesBlend_Color, {2.0f, 1.0f, 1.0f}, {0.0f, 0.0f, 1.0f});
    EXPECT_FLOAT_EQ(1.0f, x.r);
    EXPECT_FLOAT_EQ(1.0f, x.g);
    EXPECT_FLOAT_EQ(2.0f, x.b);
}

TEST(BlendModes, HueFromGreyBlendIsRed) {
    // Base (0.2, 0.6, 0.4): lightness 0.4, saturation 0.5; hue 0 gives (0.6, 0.2, 0.2).
    const Rgb x = Blend(kTesBlend_Hue, {0.2f, 0.6f, 0.4f}, {0.3f, 0.3f, 0.3f});
    EXPECT_NEAR(0.6f, x.r, 1e-6);
    EXPECT_NEAR(0.2f, x.g, 1e-6);
    EXPECT_NEAR(0.2f, x.b, 1e-6);
}

// The composite may compute Multiply inline in single precision and Stamp shares Linear Light's
// formula; both must agree with the functions exactly.
TEST(BlendModes, InlineMultiplyAndStampAgreeWithTheirFunctions) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> u(-1.0f, 3.0f);
    for (int i = 0; i < 20000; ++i) {
        const Rgb b{u(rng), u(rng), u(rng)}, l{u(rng), u(rng), u(rng)};
        const Rgb m = Blend(kTesBlend_Multiply, b, l);
        ASSERT_EQ(Bits(b.r * l.r), Bits(m.r));
        ASSERT_EQ(Bits(b.b * l.b), Bits(m.b));
        const Rgb s = Blend(kTesBlend_Stamp, b, l), ll = Blend(kTesBlend_LinearLight, b, l);
        ASSERT_EQ(Bits(ll.g), Bits(s.g));
    }
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
