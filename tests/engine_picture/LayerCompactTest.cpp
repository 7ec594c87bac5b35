// Compaction of colour and mono layers: content found exactly, expansion restores the raster byte
// for byte, the corner rule of mono layers, wax and texture specifics, and failed allocations.
#include <gtest/gtest.h>

#include "PictureTestUtil.h"
#include "engine/picture/c_TesLayer_MonoComp_NoType.h"
#include "engine/picture/c_TesLayer_Texture.h"
#include "engine/picture/c_TesLayer_Wax.h"
#include "engine/picture/cTes_Layer_Selection.h"

using namespace pictest;

TEST(CompactColour, EmptyLayerBecomesOneEmptyPixelAndExpandsTransparent) {
    auto l = MakeGfx(30, 20);
    l->empty = 0;
    ASSERT_TRUE(l->SetCompact(true));
    EXPECT_EQ(l->compacted, 1);
    EXPECT_EQ(l->width, 1);
    EXPECT_EQ(l->height, 1);
    EXPECT_EQ(l->empty, 1);
    EXPECT_EQ(l->fullWidth, 30);
    EXPECT_TRUE(l->IsEmpty());
    ASSERT_TRUE(l->SetCompact(false));
    EXPECT_EQ(l->width, 30);
    EXPECT_EQ(l->height, 20);
    EXPECT_EQ(l->compacted, 0);
    EXPECT_EQ(l->empty, 1);
    for (int i = 0; i < 30 * 20 * 4; ++i)
        ASSERT_EQ(l->Pixels()[i], 0.0f);
}

TEST(CompactColour, ContentTouchingAllEdgesMovesNothing) {
    auto l = MakeGfx(5, 4);
    SetPx(*l, 0, 2, 1, 0, 0, 1);
    SetPx(*l, 4, 0, 1, 0, 0, 0.1f);
    SetPx(*l, 2, 3, 1, 0, 0, 0.5f);
    const void* block = l->pixels.Data();
    const auto before = Bytes(l->pixels);
    ASSERT_TRUE(l->SetCompact(true));
    EXPECT_EQ(l->compacted, 1);
    EXPECT_EQ(l->pixels.Data(), block);
    EXPECT_EQ(l->width, 5);
    EXPECT_EQ(l->contentWidth, 5);
    ASSERT_TRUE(l->SetCompact(false));
    EXPECT_EQ(l->compacted, 0);
    EXPECT_EQ(l->empty, 0);
    EXPECT_EQ(Bytes(l->pixels), before);
}

TEST(CompactColour, RandomContentTrimsToTheAlphaBoxAndExpandsByteForByte) {
    std::mt19937 rng(42);
    for (int it = 0; it < 60; ++it) {
        const int W = 2 + rng() % 40, H = 2 + rng() % 30;
        auto l = MakeGfx(W, H);
        const int x0 = rng() % W, y0 = rng() % H;
        const int w = 1 + rng() % (W - x0), h = 1 + rng() % (H - y0);
        FillRandom(*l, rng, x0, y0, w, h);
        // Colour with alpha 0 outside the box must not count as content; NaN alpha neither.
        if (x0 > 0) SetPx(*l, 0, 0, 7, 7, 7, 0.0f);
        int bx0 = W, by0 = H, bx1 = -1, by1 = -1;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                if (Px(*l, x, y)[3] > 0)
                    bx0 = std::min(bx0, x), bx1 = std::max(bx1, x), by0 = std::min(by0, y),
                    by1 = std::max(by1, y);
        const auto before = Bytes(l->pixels);
        ASSERT_TRUE(l->SetCompact(true));
        if (bx1 < 0) {
            EXPECT_EQ(l->width, 1);
            EXPECT_EQ(l->empty, 1);
            continue;
        }
        ASSERT_EQ(l->x, bx0);
        ASSERT_EQ(l->y, by0);
        ASSERT_EQ(l->width, bx1 - bx0 + 1);
        ASSERT_EQ(l->height, by1 - by0 + 1);
        ASSERT_EQ(l->pixels.Size(), size_t(l->width) * l->height * 16);
        ASSERT_TRUE(l->SetCompact(false));
        // Transparent pixels outside the box come back as (0,0,0,0): compare everything else.
        auto after = Bytes(l->pixels);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                const size_t o = (size_t(y) * W + x) * 16;
                const bool inBox = x >= bx0 && x <= bx1 && y >= by0 && y <= by1;
                if (inBox)
                    ASSERT_EQ(0, std::memcmp(&after[o], &before[o], 16));
                else
                    for (int c = 0; c < 4; ++c)
                        ASSERT_EQ(reinterpret_cast<float*>(&after[o])[c], 0.0f);
            }
    }
}

TEST(CompactColour, FailedAllocationLeavesTheLayerAsItWas) {
    auto l = MakeGfx(10, 10);
    SetPx(*l, 4, 4, 1, 1, 1, 1);
    const auto before = Bytes(l->pixels);
    vek::MemFailAfter(1);
    EXPECT_FALSE(l->SetCompact(true));
    vek::MemFailAfter(0);
    EXPECT_EQ(l->compacted, 0);
    EXPECT_EQ(l->width, 10);
    EXPECT_EQ(Bytes(l->pixels), before);
    ASSERT_TRUE(l->SetCompact(true));
    const auto small = Bytes(l->pixels);
    vek::MemFailAfter(1);
    EXPECT_FALSE(l->SetCompact(false));
    vek::MemFailAfter(0);
    EXPECT_EQ(l->compacted, 1);
    EXPECT_EQ(l->x, 4);
    EXPECT_EQ(Bytes(l->pixels), small);
}

TEST(CompactMono, FourDifferentCornersMarkCompactedWithoutTrimming) {
    c_TesLayer_MonoComp_NoType l;
    ASSERT_TRUE(l.Create(0, 0, 4, 3));
    float* p = l.Pixels();
    p[0] = 1, p[3] = 2, p[8] = 3, p[11] = 4;
    ASSERT_TRUE(l.SetCompact(true));
    EXPECT_EQ(l.compacted, 1);
    EXPECT_EQ(l.width, 4);
    EXPECT_EQ(l.height, 3);
    EXPECT_EQ(l.outsideValue, 0.0f);
}

TEST(CompactMono, LastEqualCornerPairChoosesTheBorderValue) {
    // tl == bl (0.5) and bl == br? no; tr == br (0.25): the later pair wins.
    c_TesLayer_MonoComp_NoType l;
    l.Create(0, 0, 5, 5);
    float* p = l.Pixels();
    std::fill_n(p, 25, 0.25f);
    p[0] = 0.5f, p[20] = 0.5f; // left corners
    p[12] = 0.9f;              // centre
    ASSERT_TRUE(l.SetCompact(true));
    // Border value 0.25: the content is the box around (0,0), (0,4) and the centre.
    EXPECT_EQ(l.outsideValue, 0.25f);
    EXPECT_EQ(l.x, 0);
    EXPECT_EQ(l.y, 0);
    EXPECT_EQ(l.width, 3);
    EXPECT_EQ(l.height, 5);
}

TEST(CompactMono, TrimmedBorderComesBackWithTheOutsideValue) {
    std::mt19937 rng(5);
    cTes_Layer_Selection l;
    l.Create(0, 0, 12, 9);
    std::fill_n(l.Pixels(), 12 * 9, 1.0f);
    for (int y = 3; y < 6; ++y)
        for (int x = 2; x < 7; ++x)
            l.Pixels()[y * 12 + x] = float(rng() % 100) / 100.0f;
    l.Pixels()[3 * 12 + 2] = 0.0f;
    const auto before = Bytes(l.pixels);
    ASSERT_TRUE(l.SetCompact(true));
    EXPECT_EQ(l.outsideValue, 1.0f);
    EXPECT_LE(l.width, 5);
    ASSERT_TRUE(l.SetCompact(false));
    EXPECT_EQ(Bytes(l.pixels), before);
}

TEST(CompactMono, WaxNeverCompactsButExpandsWhenReadCompacted) {
    c_TesLayer_Wax wax;
    wax.Create(0, 0, 6, 6);
    wax.Pixels()[14] = 1.0f;
    ASSERT_TRUE(wax.SetCompact(true));
    EXPECT_EQ(wax.compacted, 0);
    EXPECT_EQ(wax.width, 6);
    // A wax layer as a file reader leaves it: compacted, content 1 × 1 at (2, 2), outside 0.
    c_TesLayer_Wax read;
    read.pixels.Alloc(4);
    read.Pixels()[0] = 0.75f;
    read.bytesPerChannel = 4;
    read.compacted = 1;
    read.x = read.y = 2;
    read.width = read.height = 1;
    read.fullWidth = read.fullHeight = 6;
    ASSERT_TRUE(read.SetCompact(false));
    EXPECT_EQ(read.width, 6);
    EXPECT_EQ(read.Pixels()[2 * 6 + 2], 0.75f);
    EXPECT_EQ(read.Pixels()[0], 0.0f);
}

TEST(Texture, RampRestartsAtZeroAfterPassingOne) {
    c_TesLayer_Texture t;
    ASSERT_TRUE(t.Create(0, 0, 200, 60));
    const float* p = t.Pixels();
    EXPECT_EQ(p[0], 0.0f);
    EXPECT_EQ(p[1], 0.0001f);
    // Reference ramp in single precision.
    float v = 0.0f;
    int restarts = 0;
    for (int i = 0; i < 12000; ++i) {
        ASSERT_EQ(p[i], v) << i;
        v = v + 0.0001f;
        if (v > 1.0f) v = 0.0f, ++restarts;
        if (i > 0 && p[i] == 0.0f) {
            EXPECT_GT(p[i - 1], 0.999f);
        }
    }
    EXPECT_EQ(restarts, 1);
    for (int i = 0; i < 12000; ++i)
        ASSERT_LE(p[i], 1.0f);
}

TEST(Clone, CopyOwnsItsPixelsAndDropsBackupThumbnailAndId) {
    auto l = MakeGfx(4, 4);
    SetPx(*l, 1, 1, 1, 0, 0, 1);
    l->id = 7;
    l->thumbnailSlot = 3;
    l->SetName("Ink");
    l->EnsureBackup();
    l->thumbnail.Alloc(16);
    l->headerDirty = l->pixelsDirty = 0;
    auto c = l->Clone();
    ASSERT_NE(c, nullptr);
    EXPECT_NE(c->pixels.Data(), l->pixels.Data());
    EXPECT_EQ(Bytes(c->pixels), Bytes(l->pixels));
    EXPECT_TRUE(c->backup.Empty());
    EXPECT_TRUE(c->thumbnail.Empty());
    EXPECT_EQ(c->id, 0);
    EXPECT_EQ(c->thumbnailSlot, 0);
    EXPECT_STREQ(c->name, "Ink");
    EXPECT_EQ(c->headerDirty, 1);
    EXPECT_EQ(c->pixelsDirty, 1);
    EXPECT_EQ(c->picture, nullptr);
    EXPECT_NE(dynamic_cast<c_TesLayer_Gfx*>(c.get()), nullptr);
    vek::MemFailAfter(1);
    EXPECT_EQ(l->Clone(), nullptr);
    vek::MemFailAfter(0);
}

TEST(Clone, MonoKindsCloneAsTheirOwnClass) {
    cTes_Layer_Selection s;
    s.Create(0, 0, 2, 2);
    auto c = s.Clone();
    ASSERT_NE(dynamic_cast<cTes_Layer_Selection*>(c.get()), nullptr);
    EXPECT_EQ(*c->fillValue, 1.0f);
    c_TesLayer_Wax w;
    EXPECT_NE(dynamic_cast<c_TesLayer_Wax*>(w.Clone().get()), nullptr);
}
