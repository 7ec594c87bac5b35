// The view geometry: fit rules, edge states and placement, clipping carried back into the source,
// the pointer mapping, tile sizes and the view rectangle's snapping. Expected numbers are worked
// out by hand from the layout rules (noted beside each case).
#include "editor/ViewLayout.h"

#include <gtest/gtest.h>

using namespace tes::editor;

namespace {

LayoutInput FullScreen(int32_t sw, int32_t sh, int32_t w, int32_t h, int32_t mode) {
    LayoutInput in;
    in.screenWidth = sw, in.screenHeight = sh;
    in.view = ScreenRect{0, 0, sw, sh};
    in.fullScreen = true;
    in.width = w, in.height = h;
    in.mode = mode;
    in.centreX = w / 2, in.centreY = h / 2;
    return in;
}

// Source rectangle, then screen position and displayed size.
std::vector<int32_t> Placed(const LayoutResult& l) {
    return {l.sourceX, l.sourceY, l.sourceWidth,  l.sourceHeight,
            l.screenX, l.screenY, l.displayWidth, l.displayHeight};
}

bool Map(const LayoutResult& l, const ScreenRect& v, int32_t w, int32_t h, bool repeatX, bool drag,
         int32_t px, int32_t py, int32_t& x, int32_t& y) {
    return ScreenToPicture(l, v, w, h, repeatX, false, drag, px, py, x, y);
}

} // namespace

TEST(Layout, IntegerFitAndWeakFactorsPickTheModeFactorAndPlacement) {
    const struct {
        int32_t sw, sh, w, h, mode, factor, wantMode, wantFactor;
        std::vector<int32_t> placed;
    } cases[] = {
        // A screen-sized picture: fit by width, factor 1920/1920 = 1 < 2, so 1:1.
        {1920, 1080, 1920, 1080, kViewFitWhole, 0, kViewActual, 1, {0, 0, 1920, 1080, 0, 0, 1920, 1080}},
        // H = 1228: 1228·88/100 = 1080 is not above the screen: 1:1, rows 614 − 540 = 74 on.
        {1920, 1080, 1920, 1228, kViewFitWhole, 0, kViewActual, 1, {0, 74, 1920, 1080, 0, 0, 1920, 1080}},
        // H = 1229: 1081 > 1080, R = 1080/1080 + 1 = 2; 960 × 615 centred at 480, (1080 − 615)/2 = 232.
        {1920, 1080, 1920, 1229, kViewFitWhole, 0, kViewReduce, 2, {0, 0, 1920, 1229, 480, 232, 960, 615}},
        // 400 × 300 by height: M = 1080/300 = 3, 1200 × 900 at ((1920 − 1200)/2, (1080 − 900)/2).
        {1920, 1080, 400, 300, kViewFitWhole, 0, kViewMagnify, 3, {0, 0, 400, 300, 360, 90, 1200, 900}},
        // Fit side: the screen is wider (1.78 > 1.33), so by width: 1920/400 = 4; 270 rows from
        // 150 − 135, shown 1600 × 1080 at (1920 − 1600)/2.
        {1920, 1080, 400, 300, kViewFitSide, 0, kViewMagnify, 4, {0, 15, 400, 270, 160, 0, 1600, 1080}},
        // A magnification or reduction below 2, mode 5 and a damaged mode show 1:1.
        {800, 600, 400, 300, kViewMagnify, 1, kViewActual, 1, {0, 0, 400, 300, 200, 150, 400, 300}},
        {800, 600, 400, 300, kViewReduce, 0, kViewActual, 1, {0, 0, 400, 300, 200, 150, 400, 300}},
        {800, 600, 400, 300, kViewActual2, 4, kViewActual, 1, {0, 0, 400, 300, 200, 150, 400, 300}},
        {800, 600, 400, 300, 99, 4, kViewActual, 1, {0, 0, 400, 300, 200, 150, 400, 300}},
    };
    for (const auto& c : cases) {
        LayoutInput in = FullScreen(c.sw, c.sh, c.w, c.h, c.mode);
        in.magnification = in.reduction = c.factor;
        const LayoutResult l = ComputeLayout(in);
        EXPECT_EQ(l.mode, c.wantMode) << c.w << "x" << c.h << " mode " << c.mode;
        EXPECT_EQ(l.mode == kViewMagnify ? l.magnification : l.reduction, c.wantFactor) << c.w << "x" << c.h;
        EXPECT_EQ(Placed(l), c.placed) << c.w << "x" << c.h << " mode " << c.mode;
    }
    // Up to twice the rule is a reduction by 2, beyond it by 3: t = 2160 and 2161.
    EXPECT_EQ(ComputeLayout(FullScreen(1920, 1080, 1920, 2455, kViewFitWhole)).reduction, 2);
    EXPECT_EQ(ComputeLayout(FullScreen(1920, 1080, 1920, 2456, kViewFitWhole)).reduction, 3);
}

TEST(Layout, MagnifiedViewKeepsTheEdgeFlushAndRepeatWrapsTheOriginNotTheCentre) {
    // M = 7 on 1920: 274 + 1 source pixels shown 1925 wide, 5 too many: offset 0 near, 5 far, 2 in
    // the middle. A centre that cannot be reached is moved and written back.
    LayoutInput in = FullScreen(1920, 1080, 3000, 1080, kViewMagnify);
    in.magnification = 7;
    const int32_t centres[] = {0, 3000, 1500}, edges[] = {kEdgeNear, kEdgeFar, kEdgeMiddle};
    const int32_t sources[] = {0, 2725, 1363}, screens[] = {0, -5, -2}, settled[] = {137, 2862, 1500};
    for (int i = 0; i < 3; ++i) {
        in.centreX = centres[i];
        const LayoutResult l = ComputeLayout(in);
        EXPECT_EQ(l.edgeX, edges[i]) << i;
        EXPECT_EQ(l.sourceX, sources[i]) << i;
        EXPECT_EQ(l.screenX, screens[i]) << i;
        EXPECT_EQ(l.centreX, settled[i]) << i;
    }
    in = FullScreen(1920, 1080, 3000, 1080, kViewActual);
    in.centreX = 100;
    in.repeatX = true;
    const LayoutResult l = ComputeLayout(in);
    EXPECT_EQ(l.sourceX, 2140); // 100 − 960 wrapped into 0..2999
    EXPECT_EQ(l.centreX, 100);  // unchanged, so the view does not drift by a period each frame
}

TEST(Layout, ClippingKeepsPartlyShownMagnifiedPixelsRegisteredAndCarriesReducedCutsBack) {
    // View 100..900 of 1000, M = 3: 334 source pixels shown 1002 wide from x = −1; 101 pixels cut
    // each side, 33 whole source pixels each, the rest shown partly.
    LayoutInput in = FullScreen(1000, 600, 1000, 600, kViewMagnify);
    in.magnification = 3;
    in.view = ScreenRect{100, 0, 800, 600};
    const LayoutResult l = ComputeLayout(in);
    EXPECT_EQ(Placed(l), (std::vector<int32_t>{366, 200, 268, 200, 98, 0, 804, 600}));
    EXPECT_FALSE(l.clipY); // 600 rows fit the view: laid out there
    // Unclipped, screen x shows source 333 + (x + 1)/3: x = 100 → 366, x = 899 → 633.
    int32_t x = 0, y = 0;
    EXPECT_TRUE(Map(l, in.view, 1000, 600, false, false, 100, 10, x, y) && x == 366);
    EXPECT_TRUE(Map(l, in.view, 1000, 600, false, false, 899, 10, x, y) && x == 633);
    EXPECT_FALSE(Map(l, in.view, 1000, 600, false, false, 99, 10, x, y));
    // R = 2: 2000 source pixels from 500 shown 1000 wide; 100 shown pixels cut each side = 200
    // source pixels.
    in = FullScreen(1000, 600, 3000, 1200, kViewReduce);
    in.reduction = 2;
    in.view = ScreenRect{100, 0, 800, 600};
    const LayoutResult r = ComputeLayout(in);
    EXPECT_EQ(Placed(r), (std::vector<int32_t>{700, 0, 1600, 1200, 100, 0, 800, 600}));
    EXPECT_TRUE(Map(r, in.view, 3000, 1200, false, false, 150, 0, x, y) && x == 800);
}

TEST(Layout, ExactFitScalesToTheViewWithOneScaleAndKeepsPicturePixelsWhenItEnlarges) {
    // 1000 × 3000 in 1500 × 800 by height: shown (1000·800 − 1)/3000 + 1 = 267 × 800 at
    // (1500 − 267)/2 = 616; 3000/800 = 3.75 picture pixels a screen pixel on both axes.
    LayoutInput in = FullScreen(1500, 800, 1000, 3000, kViewFitWhole);
    in.integerFit = false;
    const LayoutResult l = ComputeLayout(in);
    EXPECT_EQ(l.GridFactor(), kExactFitByHeight);
    EXPECT_EQ(Placed(l), (std::vector<int32_t>{0, 0, 1000, 3000, 616, 0, 267, 800}));
    int32_t x = 0, y = 0;
    EXPECT_TRUE(ScreenToPicture(l, in.view, 1000, 3000, false, false, false, 617, 2, x, y));
    EXPECT_EQ(x, 3); // 3.75
    EXPECT_EQ(y, 7); // 7.5
    float fx = 0, fy = 0;
    EXPECT_TRUE(ScreenToPictureF(l, in.view, 1000, 3000, false, false, false, 617, 2, fx, fy));
    EXPECT_EQ(fx, 3.75f);
    EXPECT_EQ(fy, 7.5f);
    // 300 × 200 enlarged to 1200 × 800: the grid keeps picture pixels.
    in = FullScreen(1500, 800, 300, 200, kViewFitWhole);
    in.integerFit = false;
    EXPECT_EQ(ComputeLayout(in).GridFactor(), 1);
}

TEST(Layout, PointerLeftOfOrAboveThePictureIsOutsideEvenByOnePixelUnlessDragging) {
    // 400 × 300 magnified by 3 at (360, 90).
    const LayoutInput in = FullScreen(1920, 1080, 400, 300, kViewFitWhole);
    const LayoutResult l = ComputeLayout(in);
    int32_t x = 0, y = 0;
    EXPECT_FALSE(Map(l, in.view, 400, 300, false, false, 359, 100, x, y));
    EXPECT_FALSE(Map(l, in.view, 400, 300, false, false, 400, 89, x, y));
    EXPECT_FALSE(Map(l, in.view, 400, 300, false, false, 360 + 1200, 100, x, y));
    EXPECT_TRUE(Map(l, in.view, 400, 300, false, false, 360, 90, x, y) && x == 0 && y == 0);
    EXPECT_TRUE(Map(l, in.view, 400, 300, false, false, 360 + 1199, 90 + 899, x, y) && x == 399 && y == 299);
    // A drag goes on past the edge; one screen pixel left is picture pixel −1, not 0.
    EXPECT_TRUE(Map(l, in.view, 400, 300, false, true, 359, 89, x, y) && x == -1 && y == -1);
    // On a repeating axis beside the picture is inside, but outside the view rectangle is not.
    EXPECT_TRUE(Map(l, in.view, 400, 300, true, false, 359, 100, x, y));
    EXPECT_FALSE(Map(l, ScreenRect{400, 0, 1000, 1080}, 400, 300, true, false, 380, 100, x, y));
}

TEST(Layout, TileSizesAndTheViewRectanglesSnappingToTheScreenEdges) {
    EXPECT_EQ(TileSize(1920, 1080), 128); // t = 108
    EXPECT_EQ(TileSize(100, 100), 32);
    EXPECT_EQ(TileSize(1080, 1920), 128);
    EXPECT_EQ(TileSize(40000, 30000), 1024); // five doublings at most
    const double a = 1920.0 / 1080.0, px = 1.0 / 1080.0;
    auto rect = [](const ScreenRect& r) { return std::vector<int32_t>{r.x, r.y, r.width, r.height}; };
    EXPECT_EQ(rect(ViewRectFromDesktop(-a / 2 + 2 * px, -0.5 + 3 * px, a / 2 - 3 * px, 0.5 - px, 1920, 1080)),
              (std::vector<int32_t>{0, 0, 1920, 1080}));
    EXPECT_EQ(
        rect(ViewRectFromDesktop(-a / 2 + 4 * px, -0.5 + 4 * px, a / 2 - 4 * px, 0.5 - 4 * px, 1920, 1080)),
        (std::vector<int32_t>{4, 4, 1912, 1072}));
    EXPECT_EQ(rect(ViewRectFromDesktop(-0.25, -0.25, 0.25, 0.25, 1920, 1080)), // the studio's window
              (std::vector<int32_t>{690, 270, 540, 540}));
}
