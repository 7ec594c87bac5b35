// Which texels a changed picture rectangle touches and what they hold, without GL: a covered
// source that wraps round the picture's edge, reduced grids and exactly scaled grids.
#include "editor/TextureGrid.h"

#include <gtest/gtest.h>

using tes::editor::ImageRef;
using tes::editor::TextureGrid;

namespace {

void Geometry(TextureGrid& g, int32_t factor, int32_t pw, int32_t sx, int32_t sw, int32_t cw) {
    g.factor = factor;
    g.pictureWidth = pw;
    g.pictureHeight = pw;
    g.sourceX = g.sourceY = sx;
    g.sourceWidth = g.sourceHeight = sw;
    g.coveredWidth = g.coveredHeight = cw;
}

} // namespace

TEST(GridMapping, ASourceWrappingRoundTheEdgeMapsBothRunsOfThePicture) {
    // Picture 100 wide, covered source 80..99 then 0..29 (texels 0..19 and 20..49).
    TextureGrid g;
    Geometry(g, 1, 100, 80, 50, 50);
    TextureGrid::Span s[2];
    ASSERT_EQ(g.MapAxis(true, 90, 95, s), 1);
    EXPECT_EQ(s[0].t0, 10);
    EXPECT_EQ(s[0].t1, 15);
    ASSERT_EQ(g.MapAxis(true, 0, 10, s), 1);
    EXPECT_EQ(s[0].t0, 20);
    EXPECT_EQ(s[0].t1, 30);
    EXPECT_EQ(g.MapAxis(true, 40, 60, s), 0); // not visible
    ASSERT_EQ(g.MapAxis(true, 0, 100, s), 2); // the whole picture: both runs
    EXPECT_EQ(s[0].t0, 0);
    EXPECT_EQ(s[0].t1, 20);
    EXPECT_EQ(s[1].t0, 20);
    EXPECT_EQ(s[1].t1, 50);
}

TEST(GridMapping, AReducedGridTouchesEveryTexelWhoseBlockChanged) {
    TextureGrid g;
    Geometry(g, 2, 100, 0, 100, 50);
    TextureGrid::Span s[2];
    ASSERT_EQ(g.MapAxis(true, 5, 8, s), 1); // pixels 5..7: texels 2 (4, 5) and 3 (6, 7)
    EXPECT_EQ(s[0].t0, 2);
    EXPECT_EQ(s[0].t1, 4);
    ASSERT_EQ(g.MapAxis(true, 99, 100, s), 1);
    EXPECT_EQ(s[0].t0, 49);
    EXPECT_EQ(s[0].t1, 50);
}

TEST(GridMapping, AnExactlyScaledGridCoversEveryTexelWhoseFootprintMeetsTheChange) {
    // 1000 source pixels on 640 texels: texel 320 covers 500, texel 321 covers 501..502.
    TextureGrid g;
    Geometry(g, -1, 1000, 0, 1000, 640);
    TextureGrid::Span s[2];
    ASSERT_EQ(g.MapAxis(true, 500, 502, s), 1);
    EXPECT_LE(s[0].t0, 320);
    EXPECT_GE(s[0].t1, 322);
    EXPECT_LE(s[0].t1 - s[0].t0, 4);
    ASSERT_EQ(g.MapAxis(true, 999, 1000, s), 1);
    EXPECT_EQ(s[0].t1, 640);
}

TEST(GridTexels, ReducedTexelsAverageTheirBlockAndTheOutlineKeepsItsMaximum) {
    const uint8_t pixels[] = {0, 10, 20, 30, 40, 50, 60, 71, 1, 1, 1, 1, 1, 1, 1, 1};
    const ImageRef image{pixels, 4, 4, 1};
    TextureGrid g;
    Geometry(g, 2, 4, 0, 4, 2);
    g.channels = 1;
    uint8_t out[2] = {};
    g.FillTexels(image, 0, 0, 2, 1, out);
    EXPECT_EQ(out[0], 25); // (0 + 10 + 40 + 50) / 4
    EXPECT_EQ(out[1], 45); // (20 + 30 + 60 + 71) / 4 = 45.25
    g.maxFilter = true;
    g.FillTexels(image, 0, 0, 2, 1, out);
    EXPECT_EQ(out[0], 50);
    EXPECT_EQ(out[1], 71);
}

TEST(GridTexels, TexelsOfAWrappedSourceReadAcrossThePictureEdge) {
    // Picture 4 × 4, source starting at column 3: texel 0 is column 3, texel 1 column 0.
    uint8_t pixels[16];
    for (int i = 0; i < 16; ++i)
        pixels[i] = static_cast<uint8_t>(i * 10);
    const ImageRef image{pixels, 4, 4, 1};
    TextureGrid g;
    Geometry(g, 2, 4, 3, 4, 2);
    g.channels = 1;
    uint8_t out[1];
    g.FillTexels(image, 0, 0, 1, 1, out); // columns 3, 0 of rows 3, 0: 150, 120, 30, 0
    EXPECT_EQ(out[0], 75);
}
