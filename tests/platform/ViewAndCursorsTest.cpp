// The desktop view's frustum for each orientation and the cursor table's growth and fallback.
#include "platform/Cursors.h"
#include "platform/DesktopView.h"

#include <gtest/gtest.h>

using namespace vek::platform;

TEST(DesktopFrustum, PlaneZeroSpansTheDesktopUnitsSeenFromTwoUnitsAway) {
    const Frustum f = DesktopFrustum(1280, 800, 1);
    EXPECT_EQ(0, f.quarterTurns);
    EXPECT_DOUBLE_EQ(0.0625, f.nearZ);
    EXPECT_DOUBLE_EQ(10.0, f.farZ);
    EXPECT_DOUBLE_EQ(0.025, f.halfWidth);     // 0.0625 * 1.6 / 4
    EXPECT_DOUBLE_EQ(0.015625, f.halfHeight); // 0.0625 / 4
    // Scaled from the near plane to the plane z = 0, two units from the eye: x +-0.8, y +-0.5.
    EXPECT_DOUBLE_EQ(0.8, f.halfWidth * 2.0 / f.nearZ);
    EXPECT_DOUBLE_EQ(0.5, f.halfHeight * 2.0 / f.nearZ);
}

TEST(DesktopFrustum, OddQuarterTurnsExchangeWidthAndHeight) {
    const Frustum f = DesktopFrustum(1280, 800, 2);
    EXPECT_EQ(1, f.quarterTurns);
    EXPECT_DOUBLE_EQ(0.625, f.aspect);
    const Frustum g = DesktopFrustum(1280, 800, 3);
    EXPECT_EQ(2, g.quarterTurns);
    EXPECT_DOUBLE_EQ(1.6, g.aspect);
    EXPECT_EQ(3, DesktopFrustum(1280, 800, 4).quarterTurns);
}

TEST(CursorTable, StartsWith21SlotsAndGrowsToTheSlotPlusTen) {
    Cursors& c = Cursors::Get();
    EXPECT_GE(c.SlotCount(), 21u);
    const size_t before = c.SlotCount();
    ASSERT_TRUE(c.Register(static_cast<int>(before) + 4, "late"));
    EXPECT_EQ(before + 14, c.SlotCount());
    EXPECT_EQ("late", c.NameOf(static_cast<int>(before) + 4));
    EXPECT_FALSE(c.Register(-1, "bad"));
}

TEST(CursorTable, RegisteredNamesWithoutImagesShowTheArrow) {
    Cursors& c = Cursors::Get();
    ASSERT_TRUE(c.Register(1, "cross1515"));
    EXPECT_EQ(0, c.Resolve(1));
    EXPECT_EQ(0, c.Resolve(500)); // beyond the table
    EXPECT_EQ(0, c.Resolve(-3));
    c.Select(1); // no video: remembers the choice, shows nothing
    EXPECT_EQ(1, c.Current());
}
