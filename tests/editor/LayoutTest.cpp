// The view geometry: fit rules, edge states and placement, clipping carried back into the source,
// the pointer mapping, tile sizes and the view rectangle's snapping.
// Expected numbers are worked out by hand from the layout rules (noted beside each case).
#include "editor/ViewLayout.h"

#include <gtest/gtest.h>

using namespace tes::editor;

namespace {

LayoutInput FullScreen(int32_t sw, int32_t sh, int32_t w, int32_t h, int32_t mode) {
    LayoutInput in;
    in.screenWidth = sw;
    in.screenHeight = sh;
    in.view = ScreenRect{0, 0, sw, sh};
    in.fullScreen = true;
    in.integerFit = true;
    in.width = w;
    in.height = h;
    in.mode = mode;
    in.centreX = w / 2;
    in.centreY = h / 2;
    return in;
}

void ExpectPlaced(const LayoutResult& l, int32_t sx, int32_t sy, int32_t sw, int32_t sh, int32_t x, int32_t y,
                  int32_t dw, int32_t dh) {
    EXPECT_EQ(l.sourceX, sx);
    EXPECT_EQ(l.sourceY, sy);
    EXPECT_EQ(l.sourceWidth, sw);
    EXPECT_EQ(l.sourceHeight, sh);
    EXPECT_EQ(l.screenX, x);
    EXPECT_EQ(l.screenY, y);
    EXPECT_EQ(l.displayWidth, dw);
    EXPECT_EQ(l.displayHeight, dh);
}

} // namespace

TEST(IntegerFit, ScreenSizedPictureInFitWholeIsShownAtOneToOne) {
    // 1920 × 1080 in fit whole: fit by width, 1920 >= 1920·88/100, factor 1920/1920 = 1 < 2 -> 1:1.
    const LayoutResult l = ComputeLayout(FullScreen(1920, 1080, 1920, 1080, kViewFitWhole));
    EXPECT_EQ(l.mode, kViewActual);
    ExpectPlaced(l, 0, 0, 1920, 1080, 0, 0, 1920, 1080);
    EXPECT_EQ(l.GridFactor(), 1);
}

TEST(IntegerFit, PictureWithinTheEightyEightPercentRuleIsNotReduced) {
    // H = 1228: 1228·88/100 = 1080, not above the screen height -> magnify by 1080/1228 = 0 -> 1:1,
    // showing rows 614 - 540 = 74 .. 1153.
    const LayoutResult l = ComputeLayout(FullScreen(1920, 1080, 1920, 1228, kViewFitWhole));
    EXPECT_EQ(l.mode, kViewActual);
    ExpectPlaced(l, 0, 74, 1920, 1080, 0, 0, 1920, 1080);
}

TEST(IntegerFit, PictureBeyondTheRuleUpToTwiceIsReducedByTwoAndCentred) {
    // H = 1229: t = 1081 > 1080 -> R = 1080/1080 + 1 = 2; shown 960 × 615, centred: x 480,
    // y = 0 - (615 - 1080)/2 = 232 (the half of -465 truncated).
    LayoutResult l = ComputeLayout(FullScreen(1920, 1080, 1920, 1229, kViewFitWhole));
    EXPECT_EQ(l.mode, kViewReduce);
    EXPECT_EQ(l.reduction, 2);
    ExpectPlaced(l, 0, 0, 1920, 1229, 480, 232, 960, 615);
    EXPECT_EQ(l.GridFactor(), 2);
    EXPECT_EQ(l.CoveredWidth(), 960);
    // H = 2455: t = 2160 -> R = 2159/1080 + 1 = 2; H = 2456: t = 2161 -> R = 3.
    EXPECT_EQ(ComputeLayout(FullScreen(1920, 1080, 1920, 2455, kViewFitWhole)).reduction, 2);
    EXPECT_EQ(ComputeLayout(FullScreen(1920, 1080, 1920, 2456, kViewFitWhole)).reduction, 3);
}

TEST(IntegerFit, SmallPictureIsMagnifiedByAWholeFactorAndCentredInTheView) {
    // 400 × 300 fits by height: M = 1080/300 = 3; 1200 × 900 at ((1920-1200)/2, (1080-900)/2).
    const LayoutResult l = ComputeLayout(FullScreen(1920, 1080, 400, 300, kViewFitWhole));
    EXPECT_EQ(l.mode, kViewMagnify);
    EXPECT_EQ(l.magnification, 3);
    ExpectPlaced(l, 0, 0, 400, 300, 360, 90, 1200, 900);
    EXPECT_EQ(l.GridFactor(), 1);
}

TEST(IntegerFit, FitSideChoosesTheOtherAxis) {
    // 400 × 300 in fit side: the screen is wider (1.78 > 1.33), so fit by width: 1920/400 = 4.
    const LayoutResult l = ComputeLayout(FullScreen(1920, 1080, 400, 300, kViewFitSide));
    EXPECT_EQ(l.mode, kViewMagnify);
    EXPECT_EQ(l.magnification, 4);
}

TEST(Modes, FactorsBelowTwoAndModeFiveAndDamagedModesShowOneToOne) {
    LayoutInput in = FullScreen(800, 600, 400, 300, kViewMagnify);
    in.magnification = 1;
    EXPECT_EQ(ComputeLayout(in).mode, kViewActual);
    in.mode = kViewReduce;
    in.reduction = 0;
    EXPECT_EQ(ComputeLayout(in).mode, kViewActual);
    in.mode = kViewActual2;
    EXPECT_EQ(ComputeLayout(in).mode, kViewActual);
    in.mode = 99;
    EXPECT_EQ(ComputeLayout(in).mode, kViewActual);
}

TEST(EdgeStates, MagnifiedViewKeepsTheEdgeFlushAndSplitsTheExcessInTheMiddle) {
    // M = 7 on 1920: q = 274, rest 2 capped to 1 (q even) -> 275 source pixels, 1925 shown, 5 too
    // many. Near: offset 0; far: 5; middle: 2. Rows: q = 154, rest 2 -> 1 -> 155, 1085 shown.
    LayoutInput in = FullScreen(1920, 1080, 3000, 1080, kViewMagnify);
    in.magnification = 7;
    in.centreX = 0;
    LayoutResult l = ComputeLayout(in);
    EXPECT_EQ(l.edgeX, kEdgeNear);
    ExpectPlaced(l, 0, 463, 275, 155, 0, -2, 1925, 1085);
    EXPECT_EQ(l.centreX, 137); // moved: the view cannot start left of the picture
    in.centreX = 3000;
    l = ComputeLayout(in);
    EXPECT_EQ(l.edgeX, kEdgeFar);
    EXPECT_EQ(l.sourceX, 2725);
    EXPECT_EQ(l.screenX, -5);
    in.centreX = 1500;
    l = ComputeLayout(in);
    EXPECT_EQ(l.edgeX, kEdgeMiddle);
    EXPECT_EQ(l.sourceX, 1363);
    EXPECT_EQ(l.screenX, -2);
    EXPECT_EQ(l.centreX, 1500);
}

TEST(EdgeStates, RepeatWrapsTheOriginAndKeepsTheCentreInsideThePicture) {
    LayoutInput in = FullScreen(1920, 1080, 3000, 1080, kViewActual);
    in.centreX = 100;
    LayoutResult l = ComputeLayout(in);
    EXPECT_EQ(l.sourceX, 0);
    EXPECT_EQ(l.centreX, 960);
    in.repeatX = true;
    l = ComputeLayout(in);
    EXPECT_EQ(l.sourceX, 2140); // 100 - 960 wrapped into 0..2999
    EXPECT_EQ(l.edgeX, kEdgeMiddle);
    EXPECT_EQ(l.centreX, 100); // unchanged, so the view does not drift by a period each frame
}

TEST(Clipping, MagnifiedPartialPixelsAtTheViewEdgesStayRegisteredWithThePointer) {
    // Screen 1000 wide, view 100..900, M = 3: 334 source pixels shown 1002 wide from x = -1.
    // 101 pixels are cut on each side: 33 whole source pixels each, the rest shown partly.
    LayoutInput in = FullScreen(1000, 600, 1000, 600, kViewMagnify);
    in.magnification = 3;
    in.view = ScreenRect{100, 0, 800, 600};
    const LayoutResult l = ComputeLayout(in);
    ExpectPlaced(l, 366, 200, 268, 200, 98, 0, 804, 600);
    EXPECT_TRUE(l.clipX);
    EXPECT_FALSE(l.clipY); // 600 rows fit the view: laid out there, no clipping
    // Unclipped, screen x shows source 333 + (x + 1) / 3: x = 100 -> 366, x = 899 -> 633.
    int32_t x = 0, y = 0;
    EXPECT_TRUE(ScreenToPicture(l, in.view, 1000, 600, false, false, false, 100, 10, x, y));
    EXPECT_EQ(x, 366);
    EXPECT_TRUE(ScreenToPicture(l, in.view, 1000, 600, false, false, false, 899, 10, x, y));
    EXPECT_EQ(x, 633);
    EXPECT_FALSE(ScreenToPicture(l, in.view, 1000, 600, false, false, false, 99, 10, x, y));
}

TEST(Clipping, ReducedCutIsCarriedBackTimesTheFactor) {
    // R = 2: 2000 source pixels from 500 shown 1000 wide at 0; the view 100..900 cuts 100 shown
    // pixels each side = 200 source pixels: source 700, 1600 wide, shown at 100, 800 wide.
    LayoutInput in = FullScreen(1000, 600, 3000, 1200, kViewReduce);
    in.reduction = 2;
    in.view = ScreenRect{100, 0, 800, 600};
    const LayoutResult l = ComputeLayout(in);
    ExpectPlaced(l, 700, 0, 1600, 1200, 100, 0, 800, 600);
    int32_t x = 0, y = 0;
    EXPECT_TRUE(ScreenToPicture(l, in.view, 3000, 1200, false, false, false, 150, 0, x, y));
    EXPECT_EQ(x, 800); // unclipped: 500 + 150·2
}

TEST(ExactFit, WithoutIntegerFitThePictureIsScaledToTheViewAndTheMappingUsesOneScale) {
    // 1000 × 3000 in 1500 × 800, fit by height: shown 267 × 800 ((1000·800 - 1)/3000 + 1), at
    // x = 0 - (267 - 1500)/2 = 616; 3000/800 = 3.75 picture pixels a screen pixel.
    LayoutInput in = FullScreen(1500, 800, 1000, 3000, kViewFitWhole);
    in.integerFit = false;
    const LayoutResult l = ComputeLayout(in);
    EXPECT_EQ(l.reduction, kExactFitByHeight);
    ExpectPlaced(l, 0, 0, 1000, 3000, 616, 0, 267, 800);
    EXPECT_EQ(l.GridFactor(), kExactFitByHeight);
    int32_t x = 0, y = 0;
    EXPECT_TRUE(ScreenToPicture(l, in.view, 1000, 3000, false, false, false, 617, 2, x, y));
    EXPECT_EQ(x, 3); // 1·3000/800 = 3.75 -> 3
    EXPECT_EQ(y, 7); // 2·3000/800 = 7.5 -> 7
    float fx = 0, fy = 0;
    EXPECT_TRUE(ScreenToPictureF(l, in.view, 1000, 3000, false, false, false, 617, 2, fx, fy));
    EXPECT_FLOAT_EQ(fx, 3.75f);
    EXPECT_FLOAT_EQ(fy, 7.5f);
}

TEST(ExactFit, EnlargingExactFitKeepsPicturePixelsInTheGrid) {
    // 300 × 200 in 1500 × 800 by height: shown (300·800 - 1)/200 + 1 = 1200 × 800.
    LayoutInput in = FullScreen(1500, 800, 300, 200, kViewFitWhole);
    in.integerFit = false;
    const LayoutResult l = ComputeLayout(in);
    EXPECT_EQ(l.displayWidth, 1200);
    EXPECT_EQ(l.GridFactor(), 1);
    EXPECT_EQ(l.CoveredWidth(), 300);
}

TEST(Pointer, LeftOfOrAboveThePictureIsOutsideEvenByOnePixelUnlessDragging) {
    // 400 × 300 magnified by 3 at (360, 90).
    LayoutInput in = FullScreen(1920, 1080, 400, 300, kViewFitWhole);
    const LayoutResult l = ComputeLayout(in);
    int32_t x = 0, y = 0;
    EXPECT_FALSE(ScreenToPicture(l, in.view, 400, 300, false, false, false, 359, 100, x, y));
    EXPECT_FALSE(ScreenToPicture(l, in.view, 400, 300, false, false, false, 400, 89, x, y));
    EXPECT_TRUE(ScreenToPicture(l, in.view, 400, 300, false, false, false, 360, 90, x, y));
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    EXPECT_TRUE(ScreenToPicture(l, in.view, 400, 300, false, false, false, 360 + 1199, 90 + 899, x, y));
    EXPECT_EQ(x, 399);
    EXPECT_EQ(y, 299);
    EXPECT_FALSE(ScreenToPicture(l, in.view, 400, 300, false, false, false, 360 + 1200, 100, x, y));
    // A drag goes on past the edge; one screen pixel left is picture pixel -1, not 0.
    EXPECT_TRUE(ScreenToPicture(l, in.view, 400, 300, false, false, true, 359, 89, x, y));
    EXPECT_EQ(x, -1);
    EXPECT_EQ(y, -1);
    // Outside the view rectangle is outside even on a repeating axis.
    EXPECT_FALSE(
        ScreenToPicture(l, ScreenRect{400, 0, 1000, 1080}, 400, 300, true, false, false, 380, 100, x, y));
    EXPECT_TRUE(ScreenToPicture(l, in.view, 400, 300, true, false, false, 359, 100, x, y));
}

TEST(Pointer, SubPixelMappingDividesExactly) {
    const LayoutResult l = ComputeLayout(FullScreen(1920, 1080, 400, 300, kViewFitWhole));
    float x = 0, y = 0;
    EXPECT_TRUE(
        ScreenToPictureF(l, ScreenRect{0, 0, 1920, 1080}, 400, 300, false, false, false, 367, 91, x, y));
    EXPECT_FLOAT_EQ(x, 7.0f / 3.0f);
    EXPECT_FLOAT_EQ(y, 1.0f / 3.0f);
    EXPECT_TRUE(
        ScreenToPictureF(l, ScreenRect{0, 0, 1920, 1080}, 400, 300, false, false, true, 358, 90, x, y));
    EXPECT_FLOAT_EQ(x, -2.0f / 3.0f);
}

TEST(Tiles, TileSizeFollowsTheSmallerSideOfTheSource) {
    EXPECT_EQ(TileSize(1920, 1080), 128); // t = 108
    EXPECT_EQ(TileSize(100, 100), 32);
    EXPECT_EQ(TileSize(3840, 2160), 256); // t = 216
    EXPECT_EQ(TileSize(1080, 1920), 128);
    EXPECT_EQ(TileSize(40000, 30000), 1024); // five doublings at most
    EXPECT_EQ(TileSize(1, 1), 32);
}

TEST(ViewRect, EdgesWithinThreePixelsOfTheScreenSnapToIt) {
    const double a = 1920.0 / 1080.0, px = 1.0 / 1080.0;
    ScreenRect v =
        ViewRectFromDesktop(-a / 2 + 2 * px, -0.5 + 3 * px, a / 2 - 3 * px, 0.5 - 1 * px, 1920, 1080);
    EXPECT_EQ(v.x, 0);
    EXPECT_EQ(v.y, 0);
    EXPECT_EQ(v.width, 1920);
    EXPECT_EQ(v.height, 1080);
    v = ViewRectFromDesktop(-a / 2 + 4 * px, -0.5 + 4 * px, a / 2 - 4 * px, 0.5 - 4 * px, 1920, 1080);
    EXPECT_EQ(v.x, 4);
    EXPECT_EQ(v.y, 4);
    EXPECT_EQ(v.width, 1912);
    EXPECT_EQ(v.height, 1072);
    // The studio's 0.5 × 0.5 picture window at the centre.
    v = ViewRectFromDesktop(-0.25, -0.25, 0.25, 0.25, 1920, 1080);
    EXPECT_EQ(v.x, 690);
    EXPECT_EQ(v.y, 270);
    EXPECT_EQ(v.width, 540);
    EXPECT_EQ(v.height, 540);
}
