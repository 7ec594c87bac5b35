// Wrap-around regions of a layer: the union rule, the split into pieces, backups, commits,
// protect transparency and the packed region blocks the history reads and writes.
#include <gtest/gtest.h>

#include <set>

#include "PictureTestUtil.h"

using namespace pictest;

namespace {

void Union(int32_t s, int32_t l, int32_t ns, int32_t nl, int32_t n, int32_t es, int32_t el) {
    tes::UnionWrapped(s, l, ns, nl, n);
    EXPECT_EQ(s, es);
    EXPECT_EQ(l, el);
}

} // namespace

TEST(RegionUnion, AreasNearOppositeEdgesWrapInsteadOfSpanningTheWidth) {
    Union(0, 5, 90, 10, 100, 90, 15);
    Union(90, 10, 0, 5, 100, 90, 15);
}

TEST(RegionUnion, EqualGapsKeepTheStraightWay) {
    Union(0, 10, 50, 10, 100, 0, 60);
}

TEST(RegionUnion, OverlapAndContainment) {
    Union(10, 20, 15, 30, 100, 10, 35);
    Union(10, 50, 20, 5, 100, 10, 50);
}

TEST(RegionUnion, CoveringTheCircleBecomesStartZeroFullSize) {
    Union(0, 60, 50, 60, 100, 0, 100);
    Union(0, 600, 600, 400, 1000, 0, 1000); // touching ranges that close the circle, both orders
    Union(600, 400, 0, 600, 1000, 0, 1000);
    Union(30, 10, 35, 500, 100, 0, 100);
}

TEST(RegionUnion, NewStartIsReducedModuloTheSize) {
    Union(5, 5, 103, 2, 100, 3, 7);
    Union(5, 5, -2, 2, 100, 98, 12);
}

TEST(MarkChanged, FirstRectangleIsReducedAndFullCoverClampsToTheRaster) {
    auto l = MakeGfx(100, 50);
    l->MarkChanged(-3, 52, 5, 4);
    EXPECT_TRUE(l->changed.valid);
    EXPECT_EQ(l->changed.x, 97);
    EXPECT_EQ(l->changed.y, 2);
    EXPECT_EQ(l->changed.width, 5);
    auto m = MakeGfx(100, 50);
    m->MarkChanged(7, 3, 250, 10);
    EXPECT_EQ(m->changed.x, 0);
    EXPECT_EQ(m->changed.width, 100);
    EXPECT_EQ(m->protect.width, 100);
    EXPECT_EQ(m->empty, 0);
    EXPECT_EQ(m->pixelsDirty, 1);
}

TEST(SplitWrapped, PiecesCoverExactlyTheWrappedCellsOnce) {
    std::mt19937 rng(7);
    for (int it = 0; it < 300; ++it) {
        const int32_t W = 1 + rng() % 17, H = 1 + rng() % 13;
        const int32_t x = int32_t(rng() % 80) - 40, y = int32_t(rng() % 80) - 40;
        const int32_t w = rng() % 25, h = rng() % 20;
        s_TesRect p[4];
        const int n = tes::SplitWrapped(x, y, w, h, W, H, p);
        std::multiset<std::pair<int, int>> got, want;
        for (int i = 0; i < n; ++i) {
            ASSERT_GE(p[i].x, 0);
            ASSERT_LE(p[i].x + p[i].width, W);
            ASSERT_GE(p[i].y, 0);
            ASSERT_LE(p[i].y + p[i].height, H);
            for (int yy = 0; yy < p[i].height; ++yy)
                for (int xx = 0; xx < p[i].width; ++xx)
                    got.insert({p[i].x + xx, p[i].y + yy});
        }
        for (int j = 0; j < std::min(h, H); ++j)
            for (int i = 0; i < std::min(w, W); ++i)
                want.insert({((x + i) % W + W) % W, ((y + j) % H + H) % H});
        ASSERT_EQ(got, want) << W << "x" << H << " rect " << x << "," << y << " " << w << "x" << h;
    }
}

TEST(RegionBlocks, ExtractTakesTheBackupAcrossTheEdgeAndPutWritesItBack) {
    std::mt19937 rng(11);
    auto l = MakeGfx(13, 9);
    FillRandom(*l, rng, 0, 0, 13, 9);
    ASSERT_NE(l->EnsureBackup(), nullptr);
    const std::vector<uint8_t> before = Bytes(l->pixels);
    // Paint across the right and bottom edges.
    l->MarkChanged(11, 7, 4, 3);
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 4; ++i)
            SetPx(*l, (11 + i) % 13, (7 + j) % 9, 9, 9, 9, 1);
    vek::MemBlock block;
    ASSERT_TRUE(l->ExtractChangedRegion(block));
    ASSERT_EQ(block.Size(), size_t(4 * 3 * 16));
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 4; ++i) {
            const size_t src = ((size_t((7 + j) % 9) * 13) + (11 + i) % 13) * 16;
            ASSERT_EQ(0, std::memcmp(block.As<uint8_t>() + (j * 4 + i) * 16, before.data() + src, 16));
        }
    // Putting the old pixels back restores the layer byte for byte.
    ASSERT_TRUE(l->PutRegion(block, 11, 7, 4, 3));
    EXPECT_EQ(Bytes(l->pixels), before);
}

TEST(RegionBlocks, ExtractWithoutBackupReadsThePixelsAndRefusesInvalidRegions) {
    auto l = MakeGfx(4, 4);
    vek::MemBlock block;
    EXPECT_FALSE(l->ExtractChangedRegion(block));
    SetPx(*l, 1, 1, 0.5f, 0.25f, 0.125f, 1);
    l->MarkChanged(1, 1, 1, 1);
    ASSERT_TRUE(l->ExtractChangedRegion(block));
    EXPECT_EQ(block.As<float>()[1], 0.25f);
    vek::MemBlock tooSmall;
    tooSmall.Alloc(16);
    EXPECT_FALSE(l->PutRegion(tooSmall, 0, 0, 2, 1));
}

TEST(Commit, BackupFollowsThePixelsAndTheStrokeBufferIsClearedOnlyOverTheRegion) {
    c_TesPic pic(20, 10);
    auto* l = pic.AddColourLayer();
    ASSERT_NE(l->EnsureBackup(), nullptr);
    float* stroke = pic.GetStrokeBuffer();
    std::fill_n(stroke, 200, 0.5f);
    SetPx(*l, 19, 0, 1, 0, 0, 1);
    SetPx(*l, 0, 0, 0, 1, 0, 1);
    l->MarkChanged(19, 0, 2, 1); // wraps to column 0
    EXPECT_TRUE(l->CommitChanges());
    EXPECT_FALSE(l->changed.valid);
    EXPECT_EQ(Bytes(l->backup), Bytes(l->pixels));
    EXPECT_EQ(stroke[19], 0.0f);
    EXPECT_EQ(stroke[0], 0.0f);
    EXPECT_EQ(stroke[1], 0.5f);
    EXPECT_EQ(stroke[20 + 19], 0.5f);
}

TEST(Commit, ProtectTransparencyKeepsAlphaButKeepsThePaintedColour) {
    auto l = MakeGfx(3, 1);
    l->classFlag = 1;
    SetPx(*l, 2, 0, 0.2f, 0.2f, 0.2f, 0.4f);
    l->EnsureBackup();
    SetPx(*l, 0, 0, 1, 0.5f, 0.25f, 1); // paint into a fully transparent pixel
    SetPx(*l, 2, 0, 1, 1, 1, 1);
    l->MarkChanged(0, 0, 3, 1);
    l->CommitChanges();
    EXPECT_EQ(Px(*l, 0, 0)[3], 0.0f);
    EXPECT_EQ(Px(*l, 0, 0)[0], 1.0f);
    EXPECT_EQ(Px(*l, 0, 0)[1], 0.5f);
    EXPECT_EQ(Px(*l, 2, 0)[3], 0.4f);
    EXPECT_EQ(Px(*l, 2, 0)[0], 1.0f);
    EXPECT_FALSE(l->protect.valid);
}

TEST(Commit, WithoutProtectionAlphaStaysAsPainted) {
    auto l = MakeGfx(2, 1);
    l->EnsureBackup();
    SetPx(*l, 0, 0, 1, 1, 1, 0.75f);
    l->MarkChanged(0, 0, 1, 1);
    l->CommitChanges();
    EXPECT_EQ(Px(*l, 0, 0)[3], 0.75f);
}

TEST(Backup, RestoreCopiesOnlyTheWrappedRectangle) {
    std::mt19937 rng(3);
    auto l = MakeGfx(8, 8);
    FillRandom(*l, rng, 0, 0, 8, 8);
    l->EnsureBackup();
    const std::vector<uint8_t> before = Bytes(l->pixels);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            SetPx(*l, x, y, 5, 5, 5, 1);
    l->RestoreFromBackup(6, 6, 4, 4); // columns/rows 6, 7, 0, 1
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool inside = (x >= 6 || x <= 1) && (y >= 6 || y <= 1);
            const float* p = Px(*l, x, y);
            if (inside)
                ASSERT_EQ(0, std::memcmp(p, before.data() + (y * 8 + x) * 16, 16)) << x << "," << y;
            else
                ASSERT_EQ(p[0], 5.0f) << x << "," << y;
        }
}

TEST(Backup, CompactedLayerDropsItsBackupInsteadOfRestoring) {
    auto l = MakeGfx(4, 4);
    SetPx(*l, 1, 1, 1, 1, 1, 1);
    l->EnsureBackup();
    l->SetCompact(true);
    l->RestoreFromBackup(0, 0, 4, 4);
    EXPECT_TRUE(l->backup.Empty());
}

TEST(Backup, FailedAllocationLeavesNoBackupAndTheRegionPending) {
    auto l = MakeGfx(4, 4);
    l->MarkChanged(0, 0, 1, 1);
    vek::MemFailAfter(1);
    EXPECT_EQ(l->EnsureBackup(), nullptr);
    vek::MemFailAfter(1);
    EXPECT_FALSE(l->CommitChanges());
    vek::MemFailAfter(0);
    EXPECT_TRUE(l->backup.Empty());
    EXPECT_TRUE(l->changed.valid);
    EXPECT_TRUE(l->CommitChanges());
    EXPECT_FALSE(l->backup.Empty());
}
