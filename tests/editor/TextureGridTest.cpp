// Which texels a changed picture rectangle touches and what they hold, without GL: a covered
// source that wraps round the picture's edge, reduced grids and exactly scaled grids.
#include "editor/TextureGrid.h"

#include <gtest/gtest.h>

using tes::editor::ImageRef;
using tes::editor::TextureGrid;

namespace {

void Geometry(TextureGrid& g, int32_t factor, int32_t pw, int32_t sx, int32_t sw, int32_t cw) {
    g.factor = factor;
    g.pictureWidth = g.pictureHeight = pw;
    g.sourceX = g.sourceY = sx;
    g.sourceWidth = g.sourceHeight = sw;
    g.coveredWidth = g.coveredHeight = cw;
    g.channels = 1;
}

// The texel spans of picture positions [p0, p1) on the x axis, flattened.
std::vector<int32_t> Spans(const TextureGrid& g, int32_t p0, int32_t p1) {
    TextureGrid::Span s[2];
    const int n = g.MapAxis(true, p0, p1, s);
    std::vector<int32_t> out;
    for (int i = 0; i < n; ++i)
        out.insert(out.end(), {s[i].t0, s[i].t1});
    return out;
}

} // namespace

TEST(TextureGrid, ChangedPicturePositionsMapToEveryTexelThatDependsOnThem) {
    // Picture 100 wide, covered source 80..99 then 0..29 (texels 0..19 and 20..49).
    TextureGrid g;
    Geometry(g, 1, 100, 80, 50, 50);
    EXPECT_EQ(Spans(g, 90, 95), (std::vector<int32_t>{10, 15}));
    EXPECT_EQ(Spans(g, 0, 10), (std::vector<int32_t>{20, 30}));
    EXPECT_EQ(Spans(g, 40, 60), (std::vector<int32_t>{})); // not visible
    EXPECT_EQ(Spans(g, 0, 100), (std::vector<int32_t>{0, 20, 20, 50}));
    // Reduced by 2: pixels 5..7 touch texels 2 (4, 5) and 3 (6, 7).
    Geometry(g, 2, 100, 0, 100, 50);
    EXPECT_EQ(Spans(g, 5, 8), (std::vector<int32_t>{2, 4}));
    EXPECT_EQ(Spans(g, 99, 100), (std::vector<int32_t>{49, 50}));
    // 1000 source pixels on 640 texels: texel 320 covers 500, texel 321 covers 501..502.
    Geometry(g, -1, 1000, 0, 1000, 640);
    const std::vector<int32_t> s = Spans(g, 500, 502);
    ASSERT_EQ(s.size(), 2u);
    EXPECT_TRUE(s[0] <= 320 && s[1] >= 322 && s[1] - s[0] <= 4);
    EXPECT_EQ(Spans(g, 999, 1000).back(), 640);
}

TEST(TextureGrid, ReducedTexelsAverageTheirBlockOrKeepTheOutlinesMaximumAcrossThePictureEdge) {
    const uint8_t pixels[] = {0, 10, 20, 30, 40, 50, 60, 71, 1, 1, 1, 1, 1, 1, 1, 1};
    TextureGrid g;
    Geometry(g, 2, 4, 0, 4, 2);
    uint8_t out[2] = {};
    g.FillTexels(ImageRef{pixels, 4, 4, 1}, 0, 0, 2, 1, out);
    EXPECT_TRUE(out[0] == 25 && out[1] == 45); // (0 + 10 + 40 + 50) / 4, 181 / 4 = 45.25
    g.maxFilter = true;
    g.FillTexels(ImageRef{pixels, 4, 4, 1}, 0, 0, 2, 1, out);
    EXPECT_TRUE(out[0] == 50 && out[1] == 71);
    // A source starting at column and row 3: texel 0 is columns 3, 0 of rows 3, 0.
    uint8_t ramp[16];
    for (int i = 0; i < 16; ++i)
        ramp[i] = static_cast<uint8_t>(i * 10);
    Geometry(g, 2, 4, 3, 4, 2);
    g.maxFilter = false;
    g.FillTexels(ImageRef{ramp, 4, 4, 1}, 0, 0, 1, 1, out);
    EXPECT_EQ(out[0], 75); // (150 + 120 + 30 + 0) / 4
}
