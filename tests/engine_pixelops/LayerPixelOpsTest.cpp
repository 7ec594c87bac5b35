// Layer pixel operations: curves, image intake, thumbnails and the 8-bit packing, turns, flips,
// margins, scrolling, masking and conversions; compacted layers must end up like expanded ones.
#include <gtest/gtest.h>

#include "PixelTestUtil.h"
#include "engine/picture/c_TesLayer_Wax.h"
#include "engine/picture/c_TesPic.h"
#include "engine/picture/cTes_Layer_Selection.h"
#include "engine/picture/s_TesImage.h"
#include "shell/MemBlock.h"

namespace {

std::vector<float> Floats(const Px& p) {
    return {p.r, p.g, p.b, p.a};
}

std::vector<uint8_t> Thumb(const c_TesLayer& l) {
    return std::vector<uint8_t>(l.thumbnail.As<uint8_t>(), l.thumbnail.As<uint8_t>() + l.thumbnail.Size());
}

// A copy of l made compacted, so that an operation can be run on both and compared.
std::unique_ptr<c_TesLayer_Gfx> CompactedCopy(const c_TesLayer& l) {
    auto c = MakeColour(l.width, l.height, [&](int x, int y) { return At(l, x, y); });
    EXPECT_TRUE(c->SetCompact(true) && c->compacted);
    return c;
}

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

TEST(ApplyCurve, EndsMapToTableEndsOutOfRangeValuesStayAndAlphaIsUntouched) {
    const Px in[3] = {{1.0f, 0.0f, 1.5f, 0.5f}, {-0.2f, 0.25f, 0.5f, 2.0f}, {0.75f, 1.0f, 0.0f, 1.0f}};
    auto l = MakeColour(3, 1, [&](int x, int) { return in[x]; });
    const float table[3] = {10.0f, 20.0f, 40.0f};
    l->ApplyCurve(3, table);
    // Exactly 1.0 takes the last entry without reading past the table; 0.25 lies halfway.
    EXPECT_EQ(Floats(At(*l, 0, 0)), (std::vector<float>{40, 10, 1.5f, 0.5f}));
    EXPECT_EQ(Floats(At(*l, 1, 0)), (std::vector<float>{-0.2f, 15, 20, 2}));
    EXPECT_EQ(Floats(At(*l, 2, 0)), (std::vector<float>{30, 40, 10, 1}));
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
        EXPECT_EQ(Floats(At(l, 0, 0)),
                  (std::vector<float>{1.0f, float(128 / 255.0), 0.0f, format == 1 ? 1.0f : 0.2f}));
        EXPECT_TRUE(l.width == 2 && At(l, 1, 0).b == 1.0f && l.empty == 0);
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

// Thumbnails and the 8-bit packing put red in the high byte and round half up; a compacted layer
// gives the same thumbnail as the expanded one.
TEST(EightBit, ThumbnailsAndPackingRoundHalfUpRedHighestAndCompactionChangesNothing) {
    auto l = MakeColour(1, 1, [](int, int) { return Px{1.2f, 0.5f, -0.1f, 0.2f}; });
    ASSERT_TRUE(l->ToEightBit());
    EXPECT_TRUE(l->pixels.As<uint32_t>()[0] == 0xFF80'0033u && l->bytesPerChannel == 1);
    c_TesPic pic(90, 60);
    const auto box = [](int x, int y) {
        return x > 20 && x < 50 && y > 10 && y < 40 ? Px{0.2f, x / 90.0f, y / 60.0f, 0.8f} : Px{};
    };
    c_TesLayer* half = pic.InsertLayer(MakeColour(90, 60, [](int, int) { return Px{1, 0.5f, 0, 0.5f}; }), 1);
    half->UpdateThumbnail();
    const size_t n = size_t(pic.thumbWidth) * pic.thumbHeight;
    ASSERT_EQ(n * 4, half->thumbnail.Size());
    for (size_t i = 0; i < n; ++i)
        ASSERT_EQ(0xFF80'0080u, half->thumbnail.As<uint32_t>()[i]) << i;
    c_TesLayer* la = pic.InsertLayer(MakeColour(90, 60, box), 1);
    la->UpdateThumbnail();
    const auto expanded = Thumb(*la);
    ASSERT_TRUE(la->SetCompact(true) && la->width < 90);
    la->UpdateThumbnail();
    EXPECT_EQ(expanded, Thumb(*la));
}

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
    EXPECT_EQ(display.uploads, (std::vector<std::pair<int, bool>>{{1, true}, {2, false}}));
    EXPECT_EQ(2, pic.topLayer->thumbnailSlot);
}

TEST(Turn, QuarterTurnsMoveTheLeftColumnToTheTopRowCompactedLayersTurnAlikeAndFailureChangesNothing) {
    auto m = MakeMono(3, 2, [](int x, int y) { return float(10 * y + x); });
    ASSERT_TRUE(m->Turn(1));
    EXPECT_TRUE(m->width == 2 && m->height == 3);
    EXPECT_EQ((std::vector<float>{10, 0, 11, 1, 12, 2}), std::vector<float>(m->Pixels(), m->Pixels() + 6));
    std::mt19937 rng(1);
    auto c = MakeColour(37, 21, [&](int, int) { return RandomPx(rng); });
    const LayerState before = StateOf(*c);
    for (int q : {1, -1, 2, 6, 0, 4, 3, 1}) // sixteen quarters in all
        ASSERT_TRUE(c->Turn(q));
    EXPECT_TRUE(StateOf(*c) == before);
    for (int q : {1, 2, 3}) {
        auto a = MakeColour(30, 20,
                            [&](int x, int y) { return x > 3 && x < 12 && y > 12 ? RandomPx(rng) : Px{}; });
        auto b = CompactedCopy(*a);
        ASSERT_TRUE(a->Turn(q) && b->Turn(q) && b->SetCompact(false));
        EXPECT_TRUE(a->width == b->width && StateOf(*a).bytes == StateOf(*b).bytes) << q;
    }
    vek::MemFailAfter(1);
    EXPECT_FALSE(c->Turn(1));
    vek::MemFailAfter(0);
    EXPECT_TRUE(StateOf(*c) == before);
}

TEST(Flip, MirrorsTwiceRestoresAndACompactedContentRectangleMovesToTheMirroredPlace) {
    auto l = MakeMono(3, 2, [](int x, int y) { return float(10 * y + x); });
    l->Flip(1);
    EXPECT_TRUE(l->Pixels()[0] == 2.0f && l->Pixels()[5] == 10.0f);
    l->Flip(3);
    EXPECT_EQ(10.0f, l->Pixels()[0]); // now only top-bottom relative to the original
    l->Flip(2);
    EXPECT_EQ((std::vector<float>{0, 1, 2, 10, 11, 12}), std::vector<float>(l->Pixels(), l->Pixels() + 6));
    auto c = MakeColour(10, 4, [](int x, int) { return x == 1 ? Px{1, 1, 1, 1} : Px{}; });
    ASSERT_TRUE(c->SetCompact(true));
    c->Flip(1);
    EXPECT_EQ(8, c->x);
    ASSERT_TRUE(c->SetCompact(false));
    EXPECT_TRUE(At(*c, 8, 2).a == 1.0f && At(*c, 1, 2).a == 0.0f);
}

// A compacted selection whose outside is "selected" must not turn the new margin selected.
TEST(AddMargins, NewAreaTakesTheFillValueOverCroppingFillsAndACompactedOutsideStaysInside) {
    cTes_Layer_Selection sel;
    ASSERT_TRUE(sel.Create(0, 0, 3, 2)); // all 0: everything selected
    ASSERT_TRUE(sel.AddMargins(1, 2, 0, 1));
    ASSERT_TRUE(sel.width == 6 && sel.height == 3);
    EXPECT_EQ((std::vector<float>{1, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1}),
              std::vector<float>(sel.Pixels(), sel.Pixels() + 18));
    ASSERT_TRUE(sel.AddMargins(-10, 5, 0, 0)); // cuts away more than the raster
    ASSERT_EQ(1, sel.width);
    EXPECT_EQ((std::vector<float>{1, 1, 1}), std::vector<float>(sel.Pixels(), sel.Pixels() + 3));
    EXPECT_FALSE(sel.AddMargins(-1, 0, 0, 0)); // nothing would remain
    auto c = MakeColour(4, 4, [](int, int) { return Px{1, 1, 1, 1}; });
    ASSERT_TRUE(c->AddMargins(-1, -1, -2, 0)); // pure crop
    ASSERT_TRUE(c->width == 2 && c->height == 2);
    ASSERT_TRUE(c->AddMargins(1, 0, 0, 0));
    EXPECT_TRUE(At(*c, 0, 1).a == 0.0f && At(*c, 1, 1).a == 1.0f);
    cTes_Layer_Selection packed;
    ASSERT_TRUE(packed.Create(0, 0, 8, 8));
    packed.Pixels()[3 * 8 + 3] = 0.5f;
    ASSERT_TRUE(packed.SetCompact(true) && packed.width == 1);
    ASSERT_TRUE(packed.AddMargins(2, 0, 0, 0) && packed.SetCompact(false));
    ASSERT_EQ(10, packed.width);
    EXPECT_TRUE(packed.Pixels()[0] == 1.0f && packed.Pixels()[2] == 0.0f &&
                packed.Pixels()[3 * 10 + 5] == 0.5f);
}

TEST(ScrollBy, WrapsAroundAndACompactedLayerEndsUpLikeAnExpandedOne) {
    auto l = MakeMono(4, 3, [](int x, int y) { return float(10 * y + x); });
    l->ScrollBy(1, -1 + 3 * 7);
    EXPECT_TRUE(l->Pixels()[0] == 13.0f && l->Pixels()[1] == 10.0f && l->Pixels()[11] == 2.0f);
    for (const auto& d : {std::pair<int, int>{3, 2}, {9, -5}, {-1, 0}}) {
        auto a = MakeColour(12, 8, [](int x, int y) {
            return x >= 4 && x < 7 && y >= 2 && y < 4 ? Px{float(x), float(y), 0, 1} : Px{};
        });
        auto b = CompactedCopy(*a);
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
    a->EraseMasked(3, 0, 3, 1, sel); // wraps: columns 3, 0, 1; column 2 lies outside
    auto k = MakeColour(4, 1, [](int, int) { return Px{1, 1, 1, 0.8f}; });
    k->KeepMasked(0, 0, 4, 1, &sel);
    const float erased[4] = {0.8f, 0.6f, 0.8f, 0.4f}, kept[3] = {0.0f, 0.2f, 0.8f};
    for (int x = 0; x < 4; ++x) {
        EXPECT_FLOAT_EQ(erased[x], At(*a, x, 0).a) << x;
        if (x < 3) {
            EXPECT_FLOAT_EQ(kept[x], At(*k, x, 0).a) << x;
        }
    }
    k->KeepMasked(2, 0, 1, 1, nullptr);
    EXPECT_TRUE(At(*k, 2, 0).a == 0.0f && At(*k, 2, 0).r == 1.0f); // colour untouched
}

// The current layer of a picture must stay expanded whatever it copies.
TEST(CopyFrom, ConvertsBetweenColourAndMonoWithChannelFlagsAndKeepsAnExpandedTargetExpanded) {
    c_TesLayer_Wax wax;
    ASSERT_TRUE(wax.Create(0, 0, 2, 1));
    wax.Pixels()[0] = 0.25f, wax.Pixels()[1] = 0.75f;
    c_TesLayer_Gfx colour;
    ASSERT_TRUE(colour.CopyFrom(wax, 1 | 8)); // red and alpha take the value
    EXPECT_TRUE(colour.width == 2 && At(colour, 1, 0).a == 0.75f);
    EXPECT_EQ(Floats(At(colour, 0, 0)), (std::vector<float>{0.25f, 1, 1, 0.25f}));
    auto src = MakeColour(1, 1, [](int, int) { return Px{0.2f, 0.4f, 0.9f, 0.5f}; });
    ASSERT_TRUE(wax.CopyFrom(*src, 1 | 2 | 8));
    EXPECT_FLOAT_EQ(0.15f, wax.Pixels()[0]); // mean of red and green, times alpha
    ASSERT_TRUE(wax.CopyFrom(*src, 0));
    EXPECT_EQ(1.0f, wax.Pixels()[0]);
    auto sparse = MakeColour(10, 6, [](int x, int y) {
        return x == 7 && y == 4 ? Px{0.5f, 0.6f, 0.7f, 1} : Px{};
    });
    ASSERT_TRUE(sparse->SetCompact(true));
    auto dst = MakeColour(3, 3, [](int, int) { return Px{1, 1, 1, 1}; });
    ASSERT_TRUE(dst->CopyFrom(*sparse, 15));
    ASSERT_TRUE(dst->compacted == 0 && dst->width == 10);
    EXPECT_TRUE(At(*dst, 7, 4).g == 0.6f && At(*dst, 0, 0).a == 0.0f);
    ASSERT_TRUE(wax.CopyFrom(*sparse, 2)); // green only: transparent surroundings give 0
    ASSERT_TRUE(wax.compacted == 0 && wax.width * wax.height == 60);
    EXPECT_TRUE(wax.Pixels()[4 * 10 + 7] == 0.6f && wax.Pixels()[0] == 0.0f);
}
