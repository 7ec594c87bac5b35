// Layer pixel operations: curves, image intake, thumbnails, turns, flips, margins, scrolling,
// masking, conversions and the 8-bit packing.
#include <gtest/gtest.h>

#include "PixelTestUtil.h"
#include "engine/picture/c_TesLayer_Wax.h"
#include "engine/picture/c_TesPic.h"
#include "engine/picture/cTes_Layer_Selection.h"
#include "engine/picture/s_TesImage.h"
#include "shell/MemBlock.h"

TEST(ApplyCurve, EndsMapToTableEndsAndOutOfRangeValuesStay) {
    auto l = MakeColour(4, 1, [](int x, int) {
        const Px v[4] = {
            {1.0f, 0.0f, 1.5f, 0.5f}, {-0.2f, 0.25f, 0.5f, 2.0f}, {0.75f, 1.0f, 0.0f, 1.0f}, {0, 0, 0, 0}};
        return v[x];
    });
    const float table[3] = {10.0f, 20.0f, 40.0f};
    l->ApplyCurve(3, table);
    EXPECT_EQ(40.0f, At(*l, 0, 0).r); // exactly 1.0: last entry, no read past the table
    EXPECT_EQ(10.0f, At(*l, 0, 0).g);
    EXPECT_EQ(1.5f, At(*l, 0, 0).b);
    EXPECT_EQ(0.5f, At(*l, 0, 0).a);
    EXPECT_EQ(-0.2f, At(*l, 1, 0).r);
    EXPECT_EQ(15.0f, At(*l, 1, 0).g); // halfway between the first two entries
    EXPECT_EQ(20.0f, At(*l, 1, 0).b);
    EXPECT_EQ(2.0f, At(*l, 1, 0).a); // alpha untouched
    EXPECT_EQ(30.0f, At(*l, 2, 0).r);
}

TEST(SetFromImage, EightBitBytesAreBlueGreenRedInMemoryAndBadImagesChangeNothing) {
    for (int format : {1, 2}) {
        s_TesImage img;
        img.width = 2, img.height = 1, img.format = format;
        ASSERT_TRUE(img.pixels.Alloc(8));
        const uint8_t bytes[8] = {0, 128, 255, 51, 255, 0, 0, 0};
        std::memcpy(img.pixels.Data(), bytes, 8);
        c_TesLayer_Gfx l;
        ASSERT_TRUE(l.SetFromImage(img));
        EXPECT_EQ(2, l.width);
        const Px p = At(l, 0, 0);
        EXPECT_EQ((std::vector<float>{1.0f, float(128 / 255.0), 0.0f, format == 1 ? 1.0f : 0.2f}),
                  (std::vector<float>{p.r, p.g, p.b, p.a}));
        EXPECT_EQ(1.0f, At(l, 1, 0).b);
        EXPECT_EQ(0, l.empty);
    }
    auto l = MakeColour(3, 3, [](int, int) { return Px{0.1f, 0.2f, 0.3f, 1}; });
    const LayerState before = StateOf(*l);
    s_TesImage img;
    img.width = 4, img.height = 4;
    ASSERT_TRUE(img.pixels.Alloc(4 * 4 * 16 - 1));
    for (int format : {5, 3, 1}) { // unknown, a float format with a short block, out of memory
        img.format = format;
        vek::MemFailAfter(format == 1 ? 1 : 0);
        EXPECT_FALSE(l->SetFromImage(img)) << format;
        vek::MemFailAfter(0);
    }
    EXPECT_TRUE(StateOf(*l) == before);
}

TEST(Thumbnail, HalfAlphaGivesByte128AndRedIsTheHighByte) {
    c_TesPic pic(64, 32);
    auto owned = MakeColour(64, 32, [](int, int) { return Px{1.0f, 0.5f, 0.0f, 0.5f}; });
    c_TesLayer* l = pic.InsertLayer(std::move(owned), 1);
    l->UpdateThumbnail();
    ASSERT_EQ(static_cast<size_t>(pic.thumbWidth) * pic.thumbHeight * 4, l->thumbnail.Size());
    const uint32_t* t = l->thumbnail.As<uint32_t>();
    for (int i = 0; i < pic.thumbWidth * pic.thumbHeight; ++i)
        ASSERT_EQ(0xFF80'0080u, t[i]) << i;
}

TEST(Thumbnail, CompactedLayerMatchesExpandedLayer) {
    c_TesPic pic(90, 60);
    auto a = MakeColour(90, 60, [](int x, int y) {
        return x > 20 && x < 50 && y > 10 && y < 40 ? Px{0.2f, x / 90.0f, y / 60.0f, 0.8f} : Px{0, 0, 0, 0};
    });
    c_TesLayer* la = pic.InsertLayer(std::move(a), 1);
    la->UpdateThumbnail();
    std::vector<uint32_t> expanded(la->thumbnail.As<uint32_t>(),
                                   la->thumbnail.As<uint32_t>() + pic.thumbWidth * pic.thumbHeight);
    ASSERT_TRUE(la->SetCompact(true));
    ASSERT_TRUE(la->compacted && la->width < 90);
    la->UpdateThumbnail();
    for (size_t i = 0; i < expanded.size(); ++i)
        ASSERT_EQ(expanded[i], la->thumbnail.As<uint32_t>()[i]) << i;
}

namespace {
struct RecordingDisplay : cTes_PicDisplay {
    std::vector<std::pair<int, bool>> uploads; // slot, had pixels
    void RegionChanged(c_TesPic&, int32_t, int32_t, int32_t, int32_t) override {}
    void RedrawAll(c_TesPic&) override {}
    void UploadThumbnail(c_TesPic&, int32_t slot, const uint32_t* pixels, int32_t, int32_t) override {
        uploads.push_back({slot, pixels != nullptr});
    }
    void ReleaseThumbnails(c_TesPic&) override {}
};
} // namespace

// Slots count from the bottom of the stack; mono layers clear their slot; the selection, which is
// not in the stack, must not overwrite slot 1.
TEST(Thumbnail, UploadsGoToStackSlotsOnly) {
    c_TesPic pic(16, 16);
    RecordingDisplay display;
    pic.display = &display;
    pic.InsertLayer(MakeColour(16, 16, [](int, int) { return Px{1, 0, 0, 1}; }), 1);
    pic.InsertLayer(MakeMono(16, 16, [](int, int) { return 0.0f; }), 1);
    pic.GetSelection();
    display.uploads.clear();
    pic.RecomputeEnds(pic.bottomLayer);
    pic.selection->UploadThumbnail();
    ASSERT_EQ(2u, display.uploads.size());
    EXPECT_EQ(std::make_pair(1, true), display.uploads[0]);
    EXPECT_EQ(std::make_pair(2, false), display.uploads[1]);
    EXPECT_EQ(2, pic.topLayer->thumbnailSlot);
}

TEST(Turn, QuarterTurnClockwiseMovesLeftColumnToTopRowAndFourQuartersRestore) {
    // 3 × 2 raster, value = 10·y + x.
    auto l = MakeMono(3, 2, [](int x, int y) { return float(10 * y + x); });
    ASSERT_TRUE(l->Turn(1));
    ASSERT_EQ(2, l->width);
    ASSERT_EQ(3, l->height);
    EXPECT_EQ((std::vector<float>{10, 0, 11, 1, 12, 2}), std::vector<float>(l->Pixels(), l->Pixels() + 6));
    std::mt19937 rng(1);
    auto c = MakeColour(37, 21, [&](int, int) { return RandomPx(rng); });
    const LayerState before = StateOf(*c);
    for (int q : {1, -1, 2, 6, 0, 4, 3, 1}) // sixteen quarters in all
        ASSERT_TRUE(c->Turn(q));
    EXPECT_TRUE(StateOf(*c) == before);
}

TEST(Turn, CompactedLayerTurnsLikeExpandedOneAndFailureChangesNothing) {
    std::mt19937 rng(8);
    for (int q : {1, 2, 3}) {
        auto a = MakeColour(30, 20, [&](int x, int y) {
            return x > 3 && x < 12 && y > 12 ? RandomPx(rng) : Px{0, 0, 0, 0};
        });
        auto b = MakeColour(30, 20, [&](int x, int y) { return At(*a, x, y); });
        ASSERT_TRUE(b->SetCompact(true));
        ASSERT_TRUE(a->Turn(q));
        ASSERT_TRUE(b->Turn(q));
        ASSERT_TRUE(b->SetCompact(false));
        EXPECT_TRUE(StateOf(*a).bytes == StateOf(*b).bytes) << q;
        EXPECT_EQ(a->width, b->width);
    }
    auto l = MakeColour(5, 3, [&](int, int) { return RandomPx(rng); });
    const LayerState before = StateOf(*l);
    vek::MemFailAfter(1);
    EXPECT_FALSE(l->Turn(1));
    vek::MemFailAfter(0);
    EXPECT_TRUE(StateOf(*l) == before);
}

TEST(Flip, MirrorsAndTwiceRestores) {
    auto l = MakeMono(3, 2, [](int x, int y) { return float(10 * y + x); });
    l->Flip(1);
    EXPECT_EQ(2.0f, l->Pixels()[0]);
    EXPECT_EQ(10.0f, l->Pixels()[5]);
    l->Flip(3);
    EXPECT_EQ(10.0f, l->Pixels()[0]); // now only top-bottom relative to the original
    l->Flip(2);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(float(10 * (i / 3) + i % 3), l->Pixels()[i]);
    // Compacted: the content rectangle moves to the mirrored place.
    auto c = MakeColour(10, 4, [](int x, int) { return x == 1 ? Px{1, 1, 1, 1} : Px{0, 0, 0, 0}; });
    ASSERT_TRUE(c->SetCompact(true));
    c->Flip(1);
    EXPECT_EQ(8, c->x);
    ASSERT_TRUE(c->SetCompact(false));
    EXPECT_EQ(1.0f, At(*c, 8, 2).a);
    EXPECT_EQ(0.0f, At(*c, 1, 2).a);
}

TEST(AddMargins, NewAreaTakesFillValueAndOverCroppingFillsEverything) {
    cTes_Layer_Selection sel;
    ASSERT_TRUE(sel.Create(0, 0, 3, 2)); // all 0: everything selected
    ASSERT_TRUE(sel.AddMargins(1, 2, 0, 1));
    ASSERT_EQ(6, sel.width);
    ASSERT_EQ(3, sel.height);
    const float want[18] = {1, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1};
    for (int i = 0; i < 18; ++i)
        EXPECT_EQ(want[i], sel.Pixels()[i]) << i;
    ASSERT_TRUE(sel.AddMargins(-10, 5, 0, 0)); // cuts away more than the raster
    ASSERT_EQ(1, sel.width);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(1.0f, sel.Pixels()[i]);
    EXPECT_FALSE(sel.AddMargins(-1, 0, 0, 0)); // nothing would remain
    auto c = MakeColour(4, 4, [](int x, int y) { return Px{1, 1, 1, 1}; });
    ASSERT_TRUE(c->AddMargins(-1, -1, -2, 0)); // pure crop
    ASSERT_EQ(2, c->width);
    ASSERT_EQ(2, c->height);
    ASSERT_TRUE(c->AddMargins(1, 0, 0, 0));
    EXPECT_EQ(0.0f, At(*c, 0, 1).a);
    EXPECT_EQ(1.0f, At(*c, 1, 1).a);
}

// A compacted selection whose outside is "selected" must not turn the new margin selected.
TEST(AddMargins, CompactedMonoKeepsOutsideValueInsideAndFillInMargins) {
    cTes_Layer_Selection sel;
    ASSERT_TRUE(sel.Create(0, 0, 8, 8));
    sel.Pixels()[3 * 8 + 3] = 0.5f;
    ASSERT_TRUE(sel.SetCompact(true));
    ASSERT_TRUE(sel.compacted && sel.width == 1);
    ASSERT_TRUE(sel.AddMargins(2, 0, 0, 0));
    ASSERT_TRUE(sel.SetCompact(false));
    ASSERT_EQ(10, sel.width);
    EXPECT_EQ(1.0f, sel.Pixels()[0]);
    EXPECT_EQ(0.0f, sel.Pixels()[2]);
    EXPECT_EQ(0.5f, sel.Pixels()[3 * 10 + 5]);
}

TEST(ScrollBy, WrapsAroundAndACompactedLayerEndsUpLikeAnExpandedOne) {
    auto l = MakeMono(4, 3, [](int x, int y) { return float(10 * y + x); });
    l->ScrollBy(1, -1 + 3 * 7);
    EXPECT_EQ(13.0f, l->Pixels()[0]); // (3, 1) came in at the top left
    EXPECT_EQ(10.0f, l->Pixels()[1]);
    EXPECT_EQ(2.0f, l->Pixels()[11]);
    for (const auto& d : {std::pair<int, int>{3, 2}, {9, -5}, {-1, 0}}) {
        auto a = MakeColour(12, 8, [](int x, int y) {
            return x >= 4 && x < 7 && y >= 2 && y < 4 ? Px{float(x), float(y), 0, 1} : Px{0, 0, 0, 0};
        });
        auto b = MakeColour(12, 8, [&](int x, int y) { return At(*a, x, y); });
        ASSERT_TRUE(b->SetCompact(true));
        a->ScrollBy(d.first, d.second);
        b->ScrollBy(d.first, d.second);
        ASSERT_TRUE(b->SetCompact(false));
        EXPECT_TRUE(StateOf(*a).bytes == StateOf(*b).bytes) << d.first << "," << d.second;
    }
}

TEST(Masking, EraseRemovesOutsideSelectionAndKeepRemovesInside) {
    cTes_Layer_Selection sel;
    ASSERT_TRUE(sel.Create(0, 0, 4, 1));
    const float values[4] = {0.0f, 0.25f, 1.0f, 0.5f};
    std::memcpy(sel.Pixels(), values, 16);
    auto a = MakeColour(4, 1, [](int, int) { return Px{1, 1, 1, 0.8f}; });
    a->EraseMasked(3, 0, 3, 1, sel); // wraps: columns 3, 0, 1
    EXPECT_FLOAT_EQ(0.8f, At(*a, 0, 0).a);
    EXPECT_FLOAT_EQ(0.6f, At(*a, 1, 0).a);
    EXPECT_FLOAT_EQ(0.8f, At(*a, 2, 0).a); // outside the rectangle
    EXPECT_FLOAT_EQ(0.4f, At(*a, 3, 0).a);
    auto k = MakeColour(4, 1, [](int, int) { return Px{1, 1, 1, 0.8f}; });
    k->KeepMasked(0, 0, 4, 1, &sel);
    EXPECT_FLOAT_EQ(0.0f, At(*k, 0, 0).a);
    EXPECT_FLOAT_EQ(0.2f, At(*k, 1, 0).a);
    EXPECT_FLOAT_EQ(0.8f, At(*k, 2, 0).a);
    k->KeepMasked(2, 0, 1, 1, nullptr);
    EXPECT_EQ(0.0f, At(*k, 2, 0).a);
    EXPECT_EQ(1.0f, At(*k, 2, 0).r); // colour untouched
}

TEST(CopyFrom, ConvertsBetweenColourAndMonoWithChannelFlags) {
    c_TesLayer_Wax wax;
    ASSERT_TRUE(wax.Create(0, 0, 2, 1));
    wax.Pixels()[0] = 0.25f;
    wax.Pixels()[1] = 0.75f;
    c_TesLayer_Gfx colour;
    ASSERT_TRUE(colour.CopyFrom(wax, 1 | 8)); // red and alpha take the value
    EXPECT_EQ(2, colour.width);
    EXPECT_EQ(0.25f, At(colour, 0, 0).r);
    EXPECT_EQ(1.0f, At(colour, 0, 0).g);
    EXPECT_EQ(0.75f, At(colour, 1, 0).a);
    c_TesLayer_Wax back;
    auto src = MakeColour(1, 1, [](int, int) { return Px{0.2f, 0.4f, 0.9f, 0.5f}; });
    ASSERT_TRUE(back.CopyFrom(*src, 1 | 2 | 8));
    EXPECT_FLOAT_EQ(0.15f, back.Pixels()[0]); // mean of red and green, times alpha
    ASSERT_TRUE(back.CopyFrom(*src, 0));
    EXPECT_EQ(1.0f, back.Pixels()[0]);
}

// The current layer of a picture must stay expanded whatever it copies.
TEST(CopyFrom, CompactedSourceKeepsExpandedTargetExpanded) {
    auto src = MakeColour(10, 6, [](int x, int y) {
        return x == 7 && y == 4 ? Px{0.5f, 0.6f, 0.7f, 1} : Px{0, 0, 0, 0};
    });
    ASSERT_TRUE(src->SetCompact(true));
    auto dst = MakeColour(3, 3, [](int, int) { return Px{1, 1, 1, 1}; });
    ASSERT_TRUE(dst->CopyFrom(*src, 15));
    EXPECT_EQ(0, dst->compacted);
    ASSERT_EQ(10, dst->width);
    EXPECT_EQ(0.6f, At(*dst, 7, 4).g);
    EXPECT_EQ(0.0f, At(*dst, 0, 0).a);
    c_TesLayer_Wax wax;
    ASSERT_TRUE(wax.Create(0, 0, 2, 2));
    ASSERT_TRUE(wax.CopyFrom(*src, 2)); // green only: transparent surroundings give 0
    EXPECT_EQ(0, wax.compacted);
    ASSERT_EQ(60, wax.width * wax.height);
    EXPECT_EQ(0.6f, wax.Pixels()[4 * 10 + 7]);
    EXPECT_EQ(0.0f, wax.Pixels()[0]);
}

TEST(ToEightBit, PacksRedHighestAndRoundsHalfUp) {
    auto l = MakeColour(1, 1, [](int, int) { return Px{1.2f, 0.5f, -0.1f, 0.2f}; });
    ASSERT_TRUE(l->ToEightBit());
    EXPECT_EQ(0xFF80'0033u, l->pixels.As<uint32_t>()[0]);
    EXPECT_EQ(1, l->bytesPerChannel);
}
