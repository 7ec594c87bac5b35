// One layer: compaction of colour and mono layers (content found exactly, expansion restores the
// raster byte for byte, the corner rule, wax and texture specifics, failed allocations), clones,
// and the wrap-around regions: the union rule, the split into pieces, backups, commits, protect
// transparency and the packed region blocks the history reads and writes.
#include <gtest/gtest.h>

#include <set>

#include "PictureTestUtil.h"
#include "engine/picture/c_TesLayer_MonoComp_NoType.h"
#include "engine/picture/c_TesLayer_Texture.h"
#include "engine/picture/c_TesLayer_Wax.h"

using namespace pictest;

// Content found exactly (alpha 0 is no content), the outside restored on expansion; nothing to
// trim keeps the block, no content at all leaves one empty pixel.
TEST(Compact, RandomContentTrimsToItsBoxAndExpandsByteForByteForColourAndMonoLayers) {
    std::mt19937 rng(42);
    for (int it = 0; it < 160; ++it) {
        const bool mono = it % 2;
        const int W = 2 + rng() % 40, H = 2 + rng() % 30;
        std::unique_ptr<c_TesLayer> l = MakeGfx(W, H);
        const float border = mono ? float(rng() % 3) / 2.0f : 0.0f;
        if (mono) {
            l = std::make_unique<c_TesLayer_MonoComp_NoType>();
            l->Create(0, 0, W, H);
            std::fill_n(l->Pixels(), W * H, border);
        }
        const int x0 = rng() % W, y0 = rng() % H, w = 1 + rng() % (W - x0), h = 1 + rng() % (H - y0);
        if (it % 8 >= 2) FillRandom(*l, rng, x0, y0, w, h); // else a layer without content
        if (!mono && x0 > 0) SetPx(*l, 0, 0, 7, 7, 7, 0.0f);
        if (it % 16 == 4)
            FillRandom(*l, rng, 0, 0, W, H), SetPx(*l, 0, 0, 1, 1, 1, 1), SetPx(*l, W - 1, H - 1, 1, 1, 1, 1);
        auto content = [&](int x, int y) { return mono ? Px(*l, x, y)[0] != border : Px(*l, x, y)[3] > 0; };
        int bx0 = W, by0 = H, bx1 = -1, by1 = -1;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                if (content(x, y))
                    bx0 = std::min(bx0, x), bx1 = std::max(bx1, x), by0 = std::min(by0, y),
                    by1 = std::max(by1, y);
        const auto before = Bytes(l->pixels);
        const void* block = l->pixels.Data();
        ASSERT_TRUE(l->SetCompact(true));
        SCOPED_TRACE((mono ? "mono " : "colour ") + std::to_string(it));
        ASSERT_EQ(l->compacted, 1);
        const bool none = bx1 < 0; // then the pixel at (0, 0) is kept
        EXPECT_TRUE(l->empty == none && l->IsEmpty() == none);
        if (none) bx0 = by0 = bx1 = by1 = 0;
        ASSERT_EQ((std::vector<int>{l->x, l->y, l->width, l->height}),
                  (std::vector<int>{bx0, by0, bx1 - bx0 + 1, by1 - by0 + 1}));
        ASSERT_EQ(l->pixels.Size(), size_t(l->width) * l->height * l->channels * 4);
        const bool whole = l->width == W && l->height == H; // nothing trimmed: kept in place
        EXPECT_TRUE(whole ? l->pixels.Data() == block : !mono || l->outsideValue == border);
        ASSERT_TRUE(l->SetCompact(false));
        EXPECT_TRUE(!l->compacted && l->width == W && l->height == H && l->empty == none);
        // Outside the box a colour layer comes back transparent black, a mono one as the border.
        const auto after = Bytes(l->pixels);
        const size_t px = size_t(l->channels) * 4;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                const size_t o = (size_t(y) * W + x) * px;
                if ((x >= bx0 && x <= bx1 && y >= by0 && y <= by1) || mono)
                    ASSERT_EQ(0, std::memcmp(&after[o], &before[o], px)) << x << "," << y;
                else
                    ASSERT_EQ(0, std::memcmp(&after[o], std::vector<uint8_t>(16, 0).data(), 16));
            }
    }
}

TEST(Compact, MonoCornerRuleWaxAndTextureSpecifics) {
    c_TesLayer_MonoComp_NoType l;
    ASSERT_TRUE(l.Create(0, 0, 4, 3));
    l.Pixels()[0] = 1, l.Pixels()[3] = 2, l.Pixels()[8] = 3, l.Pixels()[11] = 4;
    ASSERT_TRUE(l.SetCompact(true)); // four different corners: marked, not trimmed
    EXPECT_TRUE(l.compacted && l.width == 4 && l.height == 3 && l.outsideValue == 0.0f);
    // Left corners 0.5 equal, right corners 0.25 equal: the later pair wins.
    c_TesLayer_MonoComp_NoType m;
    m.Create(0, 0, 5, 5);
    std::fill_n(m.Pixels(), 25, 0.25f);
    m.Pixels()[0] = 0.5f, m.Pixels()[20] = 0.5f, m.Pixels()[12] = 0.9f;
    ASSERT_TRUE(m.SetCompact(true));
    EXPECT_TRUE(m.outsideValue == 0.25f && m.x == 0 && m.y == 0 && m.width == 3 && m.height == 5);
    // Wax never compacts, but one read compacted (1 × 1 at (2, 2), outside 0) expands.
    c_TesLayer_Wax wax;
    wax.Create(0, 0, 6, 6);
    wax.Pixels()[14] = 1.0f;
    ASSERT_TRUE(wax.SetCompact(true));
    EXPECT_TRUE(!wax.compacted && wax.width == 6);
    c_TesLayer_Wax read;
    read.pixels.Alloc(4);
    read.Pixels()[0] = 0.75f;
    read.bytesPerChannel = 4, read.compacted = 1, read.x = read.y = 2, read.width = read.height = 1;
    read.fullWidth = read.fullHeight = 6;
    ASSERT_TRUE(read.SetCompact(false));
    EXPECT_TRUE(read.width == 6 && read.Pixels()[2 * 6 + 2] == 0.75f && read.Pixels()[0] == 0.0f);
    // The texture ramp: +0.0001 in single precision, restarting at 0 (not 1) after passing 1.0.
    c_TesLayer_Texture t;
    ASSERT_TRUE(t.Create(0, 0, 200, 60));
    float v = 0.0f;
    int restarts = 0;
    for (int i = 0; i < 12000; ++i) {
        ASSERT_EQ(t.Pixels()[i], v) << i;
        v = v + 0.0001f;
        if (v > 1.0f) v = 0.0f, ++restarts;
    }
    EXPECT_EQ(restarts, 1);
}

TEST(Compact, FailedAllocationLeavesTheLayerAsItWas) {
    auto l = MakeGfx(10, 10);
    SetPx(*l, 4, 4, 1, 1, 1, 1);
    const auto before = Bytes(l->pixels);
    vek::MemFailAfter(1);
    EXPECT_FALSE(l->SetCompact(true));
    vek::MemFailAfter(0);
    EXPECT_TRUE(!l->compacted && l->width == 10 && Bytes(l->pixels) == before);
    ASSERT_TRUE(l->SetCompact(true));
    const auto small = Bytes(l->pixels);
    vek::MemFailAfter(1);
    EXPECT_FALSE(l->SetCompact(false));
    vek::MemFailAfter(0);
    EXPECT_TRUE(l->compacted && l->x == 4 && Bytes(l->pixels) == small);
}

TEST(Clone, CopyOwnsItsPixelsKeepsItsClassAndDropsBackupThumbnailAndId) {
    auto l = MakeGfx(4, 4);
    SetPx(*l, 1, 1, 1, 0, 0, 1);
    l->id = 7, l->thumbnailSlot = 3, l->headerDirty = l->pixelsDirty = 0;
    l->SetName("Ink");
    l->EnsureBackup();
    l->thumbnail.Alloc(16);
    auto c = l->Clone();
    ASSERT_NE(dynamic_cast<c_TesLayer_Gfx*>(c.get()), nullptr);
    EXPECT_TRUE(c->pixels.Data() != l->pixels.Data() && Bytes(c->pixels) == Bytes(l->pixels));
    EXPECT_TRUE(c->backup.Empty() && c->thumbnail.Empty() && c->id == 0 && c->thumbnailSlot == 0);
    EXPECT_TRUE(c->headerDirty && c->pixelsDirty && !c->picture && std::string(c->name) == "Ink");
    cTes_Layer_Selection s;
    s.Create(0, 0, 2, 2);
    EXPECT_NE(dynamic_cast<cTes_Layer_Selection*>(s.Clone().get()), nullptr);
    vek::MemFailAfter(1);
    EXPECT_EQ(l->Clone(), nullptr);
    vek::MemFailAfter(0);
}

TEST(Regions, WrapAroundUnionTakesTheShorterWayAndCoveringTheCircleIsTheWholeAxis) {
    const struct {
        int32_t s, l, ns, nl, n, es, el;
    } cases[] = {
        {0, 5, 90, 10, 100, 90, 15},       {90, 10, 0, 5, 100, 90, 15},       // near opposite edges: wraps
        {0, 10, 50, 10, 100, 0, 60},                                          // equal gaps: the straight way
        {10, 20, 15, 30, 100, 10, 35},     {10, 50, 20, 5, 100, 10, 50},      // overlap, containment
        {0, 60, 50, 60, 100, 0, 100},      {30, 10, 35, 500, 100, 0, 100},    // the whole circle
        {0, 600, 600, 400, 1000, 0, 1000}, {600, 400, 0, 600, 1000, 0, 1000}, // closing it exactly
        {5, 5, 103, 2, 100, 3, 7},         {5, 5, -2, 2, 100, 98, 12},        // new start reduced
    };
    for (const auto& c : cases) {
        int32_t s = c.s, l = c.l;
        tes::UnionWrapped(s, l, c.ns, c.nl, c.n);
        EXPECT_TRUE(s == c.es && l == c.el)
            << c.s << "+" << c.l << " with " << c.ns << "+" << c.nl << ": " << s << "+" << l;
    }
    auto l = MakeGfx(100, 50);
    l->MarkChanged(-3, 52, 5, 4); // a first rectangle is reduced; a whole-width one clamps
    EXPECT_TRUE(l->changed.valid && l->changed.x == 97 && l->changed.y == 2 && l->changed.width == 5);
    l->MarkChanged(7, 3, 250, 10);
    EXPECT_TRUE(l->changed.x == 0 && l->changed.width == 100 && l->protect.width == 100);
    EXPECT_TRUE(!l->empty && l->pixelsDirty);
}

TEST(Regions, SplitPiecesCoverExactlyTheWrappedCellsOnce) {
    std::mt19937 rng(7);
    for (int it = 0; it < 300; ++it) {
        const int32_t W = 1 + rng() % 17, H = 1 + rng() % 13;
        const int32_t x = int32_t(rng() % 80) - 40, y = int32_t(rng() % 80) - 40, w = rng() % 25,
                      h = rng() % 20;
        s_TesRect p[4];
        const int n = tes::SplitWrapped(x, y, w, h, W, H, p);
        std::multiset<std::pair<int, int>> got, want;
        for (int i = 0; i < n; ++i) {
            ASSERT_TRUE(p[i].x >= 0 && p[i].x + p[i].width <= W && p[i].y >= 0 && p[i].y + p[i].height <= H);
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

TEST(Regions, ExtractPutAndRestoreWorkOnTheWrappedRectangleAndACompactedLayerDropsItsBackup) {
    std::mt19937 rng(11);
    auto l = MakeGfx(13, 9);
    vek::MemBlock block;
    EXPECT_FALSE(l->ExtractChangedRegion(block)); // no region
    FillRandom(*l, rng, 0, 0, 13, 9);
    ASSERT_NE(l->EnsureBackup(), nullptr);
    const std::vector<uint8_t> before = Bytes(l->pixels);
    l->MarkChanged(11, 7, 4, 3); // across the right and bottom edges
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 4; ++i)
            SetPx(*l, (11 + i) % 13, (7 + j) % 9, 9, 9, 9, 1);
    ASSERT_TRUE(l->ExtractChangedRegion(block));
    ASSERT_EQ(block.Size(), size_t(4 * 3 * 16));
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 4; ++i) {
            const size_t src = ((size_t((7 + j) % 9) * 13) + (11 + i) % 13) * 16;
            ASSERT_EQ(0, std::memcmp(block.As<uint8_t>() + (j * 4 + i) * 16, before.data() + src, 16));
        }
    ASSERT_TRUE(l->PutRegion(block, 11, 7, 4, 3));
    EXPECT_EQ(Bytes(l->pixels), before);
    EXPECT_FALSE(l->PutRegion(block, 0, 0, 5, 3)); // the block is short
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 13; ++x)
            SetPx(*l, x, y, 5, 5, 5, 1);
    l->RestoreFromBackup(10, 6, 5, 4); // columns 10, 11, 12, 0, 1 and rows 6, 7, 8, 0
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 13; ++x) {
            if ((x >= 10 || x <= 1) && (y >= 6 || y == 0))
                ASSERT_EQ(0, std::memcmp(Px(*l, x, y), before.data() + (y * 13 + x) * 16, 16))
                    << x << "," << y;
            else
                ASSERT_EQ(Px(*l, x, y)[0], 5.0f) << x << "," << y;
        }
    l->SetCompact(true);
    l->RestoreFromBackup(0, 0, 4, 4);
    EXPECT_TRUE(l->backup.Empty());
    // Without a backup the region comes from the pixels.
    auto m = MakeGfx(4, 4);
    SetPx(*m, 1, 1, 0.5f, 0.25f, 0.125f, 1);
    m->MarkChanged(1, 1, 1, 1);
    ASSERT_TRUE(m->ExtractChangedRegion(block));
    EXPECT_EQ(block.As<float>()[1], 0.25f);
}

// A commit whose backup cannot be made keeps the region pending for the next try.
TEST(Regions, CommitRefreshesTheBackupAndClearsTheStrokeBufferOnlyOverTheRegion) {
    c_TesPic pic(20, 10);
    auto* l = pic.AddColourLayer();
    l->MarkChanged(0, 0, 1, 1);
    vek::MemFailAfter(1);
    EXPECT_EQ(l->EnsureBackup(), nullptr);
    vek::MemFailAfter(1);
    EXPECT_FALSE(l->CommitChanges());
    vek::MemFailAfter(0);
    EXPECT_TRUE(l->backup.Empty() && l->changed.valid);
    ASSERT_TRUE(l->CommitChanges()); // the backup is made now
    EXPECT_FALSE(l->backup.Empty());
    float* stroke = pic.GetStrokeBuffer();
    std::fill_n(stroke, 200, 0.5f);
    SetPx(*l, 19, 0, 1, 0, 0, 1);
    SetPx(*l, 0, 0, 0, 1, 0, 1);
    l->MarkChanged(19, 0, 2, 1); // wraps to column 0
    EXPECT_TRUE(l->CommitChanges());
    EXPECT_FALSE(l->changed.valid);
    EXPECT_EQ(Bytes(l->backup), Bytes(l->pixels));
    EXPECT_TRUE(stroke[19] == 0.0f && stroke[0] == 0.0f && stroke[1] == 0.5f && stroke[20 + 19] == 0.5f);
}

TEST(Regions, ProtectTransparencyKeepsAlphaAndThePaintedColourOnlyWhileOn) {
    for (int protect = 0; protect < 2; ++protect) {
        auto l = MakeGfx(3, 1);
        l->classFlag = protect;
        SetPx(*l, 2, 0, 0.2f, 0.2f, 0.2f, 0.4f);
        l->EnsureBackup();
        SetPx(*l, 0, 0, 1, 0.5f, 0.25f, 0.75f); // paint into a fully transparent pixel
        SetPx(*l, 2, 0, 1, 1, 1, 1);
        l->MarkChanged(0, 0, 3, 1);
        l->CommitChanges();
        EXPECT_EQ(Px(*l, 0, 0)[3], protect ? 0.0f : 0.75f);
        EXPECT_EQ(Px(*l, 2, 0)[3], protect ? 0.4f : 1.0f);
        EXPECT_TRUE(Px(*l, 0, 0)[0] == 1.0f && Px(*l, 0, 0)[1] == 0.5f && Px(*l, 2, 0)[0] == 1.0f);
        EXPECT_FALSE(l->protect.valid);
    }
}
