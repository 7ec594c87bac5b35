// The picture: size and thumbnail box, names, stack order, the current layer (the only expanded
// one), merge and destroy with their history steps and refusals, masks, memory checks, lazy
// loading, emptiness and allocation failures that must leave the picture as it was.
#include <gtest/gtest.h>

#include "PictureTestUtil.h"
#include "engine/picture/BlendModes.h"
#include "engine/picture/c_TesLayer_Filter.h"
#include "engine/picture/c_TesLayer_Texture.h"
#include "engine/picture/c_TesLayer_Wax.h"
#include "shell/MemoryBudget.h"

using namespace pictest;

namespace {

std::vector<int32_t> Order(const c_TesPic& pic) {
    std::vector<int32_t> ids;
    for (c_TesLayer* l = pic.bottomLayer; l; l = l->above)
        ids.push_back(l->id);
    // The links must agree in both directions.
    std::vector<int32_t> down;
    for (c_TesLayer* l = pic.topLayer; l; l = l->below)
        down.insert(down.begin(), l->id);
    EXPECT_EQ(ids, down);
    return ids;
}

// Every layer but the current one is compacted.
void ExpectOnlyCurrentExpanded(const c_TesPic& pic) {
    for (c_TesLayer* l = pic.bottomLayer; l; l = l->above)
        if (l->type != 3) {
            EXPECT_EQ(l->compacted, l == pic.currentLayer ? 0 : 1) << "layer " << l->id;
        }
}

} // namespace

TEST(PictureSize, CentreIsSetOnceAndRescaledAfterwards) {
    c_TesPic pic(101, 51);
    EXPECT_EQ(pic.centreX, 50);
    EXPECT_EQ(pic.centreY, 25);
    pic.centreX = 30;
    pic.SetSize(202, 17);
    EXPECT_EQ(pic.centreX, 60); // 30 · 202 / 101
    EXPECT_EQ(pic.centreY, 8);  // 25 · 17 / 51 = 8.33
}

TEST(PictureSize, ThumbnailBoxAndSize) {
    c_TesPic wide(300, 100);
    EXPECT_EQ(wide.thumbBoxWidth, 64);
    EXPECT_EQ(wide.thumbWidth, 64);
    EXPECT_EQ(wide.thumbHeight, 21); // 64 · 100 / 300
    c_TesPic landscape(1920, 1080);
    EXPECT_EQ(landscape.thumbWidth, 56); // 1920 · 32 / 1080
    EXPECT_EQ(landscape.thumbHeight, 32);
    c_TesPic tall(100, 300);
    EXPECT_EQ(tall.thumbBoxWidth, 32);
    EXPECT_EQ(tall.thumbWidth, 10);
    EXPECT_EQ(tall.thumbBoxHeight, 32);
}

TEST(PictureSize, SizeChangeFreesTheStrokeBufferAndDropsBackups) {
    c_TesPic pic(8, 8);
    auto* l = pic.AddColourLayer();
    l->EnsureBackup();
    l->MarkChanged(0, 0, 1, 1);
    ASSERT_NE(pic.GetStrokeBuffer(), nullptr);
    pic.SetSize(4, 4);
    EXPECT_TRUE(pic.strokeBuffer.Empty());
    EXPECT_TRUE(l->backup.Empty());
    EXPECT_FALSE(l->changed.valid);
    float* s = pic.GetStrokeBuffer();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(pic.strokeBuffer.Size(), 64u);
    EXPECT_EQ(s[15], 0.0f);
}

TEST(Names, LayerNameIsCutAtTwentyAndEmptyGivesNoName) {
    c_TesLayer_Gfx l;
    l.headerDirty = 0;
    l.SetName("abcdefghijklmnopqrstuvwxyz0123");
    EXPECT_STREQ(l.name, "abcdefghijklmnopqrst");
    EXPECT_EQ(l.headerDirty, 1);
    l.SetName("");
    EXPECT_STREQ(l.name, "NoName");
    l.SetName(nullptr);
    EXPECT_STREQ(l.name, "NoName");
}

TEST(Names, PictureNameLosesATrailingNumberPart) {
    c_TesPic pic(2, 2);
    pic.SetName("Sky_12");
    EXPECT_STREQ(pic.name, "Sky");
    pic.SetName("Sky_");
    EXPECT_STREQ(pic.name, "Sky_");
    pic.SetName("a_b_7x");
    EXPECT_STREQ(pic.name, "a_b_7x");
    pic.SetName("_42");
    EXPECT_STREQ(pic.name, "NoName");
    pic.SetName("A very long picture name_3");
    EXPECT_STREQ(pic.name, "A very long picture ");
    EXPECT_EQ(c_TesPic::ParseNameNumber("Sky_12"), 12);
    EXPECT_EQ(c_TesPic::ParseNameNumber("Sky_"), 0);
    EXPECT_EQ(c_TesPic::ParseNameNumber("Sky12"), 0);
    EXPECT_EQ(c_TesPic::ParseNameNumber("x_99999999999"), 0);
}

TEST(Visibility, ShowAndHideMarkTheHeaderOnlyOnChange) {
    c_TesLayer_Gfx l;
    l.headerDirty = 0;
    l.Show();
    EXPECT_EQ(l.headerDirty, 0);
    l.Hide();
    EXPECT_EQ(l.headerDirty, 1);
    EXPECT_EQ(l.visible, 0);
}

TEST(Emptiness, CompactedTwoByTwoIsNotEmptyAndNoPixelsIsEmpty) {
    c_TesLayer_Gfx l;
    EXPECT_TRUE(l.IsEmpty());
    l.compacted = 1;
    l.width = l.height = 2;
    EXPECT_FALSE(l.IsEmpty()); // a layer read from a file, pixels not loaded
    l.width = 1;
    EXPECT_TRUE(l.IsEmpty());
    auto m = MakeGfx(3, 3);
    m->empty = 0;
    EXPECT_FALSE(m->IsEmpty());
}

TEST(Emptiness, PictureIsEmptyOnlyWhenEveryLayerIsAndTheFlagFollows) {
    c_TesPic pic(4, 4);
    pic.emptyFlag = 0;
    EXPECT_FALSE(pic.IsEmpty()); // no layers: the stored flag
    auto* a = pic.AddColourLayer();
    pic.AddColourLayer();
    pic.headerDirty = 0;
    EXPECT_TRUE(pic.IsEmpty());
    EXPECT_EQ(pic.emptyFlag, 1);
    EXPECT_EQ(pic.headerDirty, 1);
    pic.headerDirty = 0;
    a->MarkChanged(0, 0, 1, 1);
    EXPECT_FALSE(pic.IsEmpty());
    EXPECT_EQ(pic.headerDirty, 1);
}

TEST(Stack, InsertPositionsAndIds) {
    c_TesPic pic(4, 4);
    auto* a = pic.AddColourLayer(); // id 1
    EXPECT_EQ(pic.currentLayer, a);
    pic.AddColourLayer(); // 2 above a
    pic.SetCurrent(a);
    pic.AddColourLayer(); // 3 directly above a
    EXPECT_EQ(Order(pic), (std::vector<int32_t>{1, 3, 2}));
    pic.InsertLayer(MakeGfx(4, 4), 2); // 4 directly below the current (3)
    EXPECT_EQ(Order(pic), (std::vector<int32_t>{1, 4, 3, 2}));
    pic.InsertLayer(MakeGfx(4, 4), 4); // 5 at the bottom
    pic.InsertLayer(MakeGfx(4, 4), 7); // 6 at the top
    EXPECT_EQ(Order(pic), (std::vector<int32_t>{5, 1, 4, 3, 2, 6}));
    EXPECT_EQ(pic.currentLayer->id, 6);
    pic.InsertLayer(MakeGfx(4, 4), 0); // 7 replaces the current layer 6
    EXPECT_EQ(Order(pic), (std::vector<int32_t>{5, 1, 4, 3, 2, 7}));
    EXPECT_EQ(pic.layerCounter, 7);
    EXPECT_EQ(pic.LayerCount(), 6);
    EXPECT_EQ(pic.LayerAt(2)->id, 1);
    EXPECT_EQ(pic.FindLayer(4)->StackPosition(), 3);
    ExpectOnlyCurrentExpanded(pic);
}

TEST(Stack, WaxGoesOnTopAndTextureAtTheBottom) {
    c_TesPic pic(4, 4);
    pic.AddColourLayer();
    auto* wax = pic.AddWaxLayer();
    EXPECT_EQ(pic.topLayer, wax);
    EXPECT_EQ(pic.currentLayer, wax);
    auto* tex = pic.AddTextureLayer();
    EXPECT_EQ(pic.bottomLayer, tex);
    EXPECT_EQ(pic.currentLayer, tex);
    auto* filter = pic.AddFilterLayer();
    EXPECT_EQ(filter->below, tex);
}

TEST(Stack, SetCurrentCompactsTheOldExpandsAndShowsTheNew) {
    c_TesPic pic(6, 6);
    auto* a = pic.AddColourLayer();
    SetPx(*a, 2, 2, 1, 1, 1, 1);
    auto* b = pic.AddColourLayer();
    ExpectOnlyCurrentExpanded(pic);
    EXPECT_EQ(a->width, 1);
    a->visible = 0;
    a->headerDirty = 0;
    pic.SetCurrent(a);
    EXPECT_EQ(a->visible, 1);
    EXPECT_EQ(a->headerDirty, 1);
    EXPECT_EQ(a->width, 6);
    EXPECT_EQ(Px(*a, 2, 2)[3], 1.0f);
    ExpectOnlyCurrentExpanded(pic);
    pic.SetCurrentById(b->id);
    EXPECT_EQ(pic.currentLayer, b);
    pic.SetCurrentById(999);
    EXPECT_EQ(pic.currentLayer, b);
}

TEST(Stack, MoveLayerAndImpossibleMovesChangeNothing) {
    c_TesPic pic(2, 2);
    auto* a = pic.AddColourLayer();
    auto* b = pic.AddColourLayer();
    auto* c = pic.AddColourLayer();
    pic.MoveLayer(c, 1);
    EXPECT_EQ(Order(pic), (std::vector<int32_t>{1, 2, 3}));
    pic.MoveLayer(a, 2);
    EXPECT_EQ(Order(pic), (std::vector<int32_t>{1, 2, 3}));
    pic.MoveLayer(a, 1);
    EXPECT_EQ(Order(pic), (std::vector<int32_t>{2, 1, 3}));
    pic.MoveLayer(c, 4);
    EXPECT_EQ(Order(pic), (std::vector<int32_t>{3, 2, 1}));
    pic.headerDirty = 0;
    pic.MoveLayer(b, 3);
    EXPECT_EQ(Order(pic), (std::vector<int32_t>{3, 1, 2}));
    EXPECT_EQ(pic.topLayer, b);
    EXPECT_EQ(pic.bottomLayer, c);
    EXPECT_EQ(pic.headerDirty, 1);
}

TEST(Merge, HiddenLowerLayerStaysHiddenAndTheUpperIsDrawnIntoIt) {
    std::vector<std::pair<int, int>> log;
    c_TesPic pic(2, 1, std::make_unique<FakeHistory>(&log));
    FakeStore store;
    pic.store = &store;
    auto* lower = pic.AddColourLayer();
    SetPx(*lower, 0, 0, 0, 0, 1, 1);
    lower->EnsureBackup();
    auto* upper = pic.AddColourLayer();
    SetPx(*upper, 0, 0, 1, 0, 0, 0.5f);
    SetPx(*upper, 1, 0, 1, 1, 1, 1);
    upper->visible = 0;
    const int32_t upperId = upper->id;
    lower->visible = 0;
    ASSERT_TRUE(pic.MergeLayer(lower, 0));
    EXPECT_EQ(log, (std::vector<std::pair<int, int>>{{2, 0}}));
    EXPECT_EQ(store.deleted, std::vector<int32_t>{upperId});
    EXPECT_EQ(pic.LayerCount(), 1);
    EXPECT_EQ(pic.currentLayer, lower);
    EXPECT_EQ(lower->visible, 0);
    EXPECT_TRUE(lower->backup.Empty()); // stale after the merge
    EXPECT_EQ(lower->pixelsDirty, 1);
    EXPECT_EQ(Px(*lower, 0, 0)[0], 0.5f);
    EXPECT_EQ(Px(*lower, 0, 0)[2], 0.5f);
    EXPECT_EQ(Px(*lower, 1, 0)[1], 1.0f);
}

TEST(Merge, RefusedWithoutAColourLayerBelowOrWithoutNeighbour) {
    std::vector<std::pair<int, int>> log;
    c_TesPic pic(2, 2, std::make_unique<FakeHistory>(&log));
    auto* tex = pic.AddTextureLayer();
    auto* colour = pic.AddColourLayer();
    pic.MoveLayer(colour, 3);
    EXPECT_FALSE(pic.MergeLayer(colour, 1)); // lower is the texture
    EXPECT_FALSE(pic.MergeLayer(colour, 0)); // nothing above
    EXPECT_FALSE(pic.MergeLayer(tex, 1));    // nothing below
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(pic.LayerCount(), 2);
}

TEST(Merge, DownwardsUsesTheUpperLayersBlendMode) {
    c_TesPic pic(1, 1);
    auto* lower = pic.AddColourLayer();
    SetPx(*lower, 0, 0, 0.5f, 0.5f, 0.5f, 1);
    auto* upper = pic.AddColourLayer();
    SetPx(*upper, 0, 0, 0.5f, 0.25f, 1.0f, 1);
    upper->blendOn = 1;
    upper->blendMode = kTesBlend_Multiply;
    ASSERT_TRUE(pic.MergeLayer(upper, 1));
    EXPECT_EQ(Px(*lower, 0, 0)[0], 0.25f);
    EXPECT_EQ(Px(*lower, 0, 0)[1], 0.125f);
    EXPECT_EQ(Px(*lower, 0, 0)[2], 0.5f);
}

TEST(Destroy, LastColourLayerIsKeptEvenWithAWaxLayer) {
    std::vector<std::pair<int, int>> log;
    c_TesPic pic(2, 2, std::make_unique<FakeHistory>(&log));
    auto* colour = pic.AddColourLayer();
    pic.AddWaxLayer();
    EXPECT_FALSE(pic.DestroyLayer(colour));
    EXPECT_EQ(pic.LayerCount(), 2);
    EXPECT_TRUE(log.empty());
}

TEST(Destroy, CurrentLayerGivesWayToTheLayerAboveThenBelow) {
    std::vector<std::pair<int, int>> log;
    c_TesPic pic(3, 3, std::make_unique<FakeHistory>(&log));
    FakeStore store;
    pic.store = &store;
    auto* a = pic.AddColourLayer();
    auto* b = pic.AddColourLayer();
    auto* c = pic.AddColourLayer();
    pic.SetCurrent(b);
    ASSERT_TRUE(pic.DestroyLayer(b));
    EXPECT_EQ(pic.currentLayer, c);
    EXPECT_EQ(c->compacted, 0);
    ASSERT_TRUE(pic.DestroyLayer(c));
    EXPECT_EQ(pic.currentLayer, a);
    EXPECT_EQ(pic.topLayer, a);
    EXPECT_EQ(pic.bottomLayer, a);
    EXPECT_FALSE(pic.DestroyLayer(a));
    EXPECT_EQ(log.size(), 2u);
    EXPECT_EQ(store.deleted.size(), 2u);
}

TEST(Masks, SelectionIsCreatedSelectingEverythingWithAFreshId) {
    c_TesPic pic(5, 4);
    pic.AddColourLayer();
    pic.headerDirty = 0;
    cTes_Layer_Selection* s = pic.GetSelection();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->id, 2);
    EXPECT_EQ(pic.headerDirty, 1);
    EXPECT_EQ(s->visible, 1);
    int32_t x, y, w, h;
    s->SelectionBounds(x, y, w, h);
    EXPECT_EQ(w, 5);
    EXPECT_EQ(h, 4);
    s->Clear();
    s->SelectionBounds(x, y, w, h);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(pic.GetSelection(), s);
}

TEST(Masks, PaintMaskPrefersForcedThenVisibleSelectionThenWaxAbove) {
    c_TesPic pic(4, 4);
    auto* low = pic.AddColourLayer();
    auto* wax = pic.AddWaxLayer();
    pic.SetCurrent(low);
    EXPECT_EQ(pic.GetPaintMask(), wax);
    wax->visible = 0;
    EXPECT_EQ(pic.GetPaintMask(), nullptr);
    wax->visible = 1;
    pic.SetCurrent(wax);
    EXPECT_EQ(pic.GetPaintMask(), nullptr); // wax below or at the current layer does not count
    pic.SetCurrent(low);
    auto* sel = pic.GetSelection();
    sel->SetCompact(true);
    EXPECT_EQ(pic.GetPaintMask(), sel);
    EXPECT_EQ(sel->compacted, 0);
    sel->Hide();
    EXPECT_EQ(pic.GetPaintMask(), wax);
    pic.forcedMask = std::make_unique<c_TesLayer_Wax>();
    EXPECT_EQ(pic.GetPaintMask(), pic.forcedMask.get());
}

TEST(Masks, OutlineMarksTheEdgesOfTheSelectionAndWrapsOnARepeatingPicture) {
    c_TesPic pic(8, 1);
    auto* s = pic.GetSelection();
    const float v[8] = {1, 1, 0, 0, 1, 0.7f, 1, 0.3f};
    std::copy(v, v + 8, s->Pixels());
    c_TesLayer_MonoComp_NoType overlay;
    overlay.Create(0, 0, 8, 1);
    s->BuildOutline(overlay, 0, 0, 8, 1);
    // lo/hi over each pixel and its neighbours; a missing neighbour counts as 1.
    const uint8_t want[8] = {0, 255, 255, 255, 255, 64, 128, 128};
    EXPECT_EQ(0, std::memcmp(overlay.pixels.Data(), want, 8));
    pic.repeatX = 1;
    s->BuildOutline(overlay, 0, 0, 1, 1);
    EXPECT_EQ(overlay.pixels.As<uint8_t>()[0], 128); // the left neighbour is now 0.3
    s->Hide();
    overlay.pixels.As<uint8_t>()[0] = 9;
    s->BuildOutline(overlay, 0, 0, 1, 1);
    EXPECT_EQ(overlay.pixels.As<uint8_t>()[0], 9);
}

TEST(Memory, CheckMemoryCountsLayersBaseAndExtraLayers) {
    vek::SetMemoryBudgetOverride(64); // 67108864 bytes
    c_TesPic pic(100, 100);
    // No layers: extra counts as 1, kind 0: 100·100·16 + 100·100·44 = 600000.
    EXPECT_TRUE(c_TesPic::CheckMemory(0, 0, &pic, 0, 0));
    pic.AddColourLayer();
    // 1000 × 1000 with one colour layer: 16e6 + 44e6 = 60e6 fits; one extra colour layer does not.
    EXPECT_TRUE(c_TesPic::CheckMemory(1000, 1000, &pic, 0, 0));
    EXPECT_FALSE(c_TesPic::CheckMemory(1000, 1000, &pic, 1, 0));
    // Kind 2 layers are one float: 16e6 + 4e6 + 44e6 = 64e6 fits.
    EXPECT_TRUE(c_TesPic::CheckMemory(1000, 1000, &pic, 1, 2));
    EXPECT_FALSE(c_TesPic::CheckMemory(1000, 1000, nullptr, 2, 0)); // 2·16e6 + 44e6
    EXPECT_FALSE(c_TesPic::CheckMemory(200000, 200000, &pic, 0, 0));
    // MaxPixels: 67108864 / (16 + 44) and / (16 + 60).
    EXPECT_EQ(c_TesPic::MaxPixels(0, &pic), 1118481u);
    EXPECT_EQ(c_TesPic::MaxPixels(1, &pic), 883011u);
    EXPECT_EQ(c_TesPic::MaxPixels(3, nullptr), 1398101u);
    vek::SetMemoryBudgetOverride(0);
}

TEST(Memory, ShortMemoryReducesAThousandBySevenFiftyToEightHundredBySixHundred) {
    // Budget 100 MB, one colour layer: MaxPixels = 104857600 / 60 = 1747626, factor
    // √(1747626 / 750000) = 1.53 > 0.85, so 0.8.
    vek::SetMemoryBudgetOverride(100);
    c_TesPic pic(1000, 750);
    pic.AddColourLayer();
    ASSERT_TRUE(pic.ReduceForNewLayer());
    EXPECT_EQ(pic.width, 800);
    EXPECT_EQ(pic.height, 600);
    EXPECT_EQ(pic.bottomLayer->width, 800);
    // A budget that is truly short: the layer add scales down rather than failing.
    vek::SetMemoryBudgetOverride(64);
    c_TesPic big(1200, 900); // 1080000 px · (16 + 16 + 44) > 64 MB
    big.AddColourLayer();
    ASSERT_NE(big.AddColourLayer(true), nullptr);
    EXPECT_EQ(big.width, 960);
    EXPECT_EQ(big.height, 720);
    EXPECT_EQ(big.LayerCount(), 2);
    vek::SetMemoryBudgetOverride(0);
}

TEST(Memory, FailedLayerAddLeavesThePictureAsItWas) {
    c_TesPic pic(16, 16);
    auto* a = pic.AddColourLayer();
    SetPx(*a, 3, 3, 1, 1, 1, 1);
    pic.headerDirty = 0;
    vek::MemFailAfter(1);
    EXPECT_EQ(pic.AddColourLayer(), nullptr);
    vek::MemFailAfter(0);
    EXPECT_EQ(pic.LayerCount(), 1);
    EXPECT_EQ(pic.currentLayer, a);
    EXPECT_EQ(a->compacted, 0);
    EXPECT_EQ(pic.headerDirty, 0);
    vek::MemFailAfter(0, true);
    EXPECT_EQ(pic.AddLayerCopy(*a), nullptr);
    EXPECT_EQ(pic.GetSelection(), nullptr);
    EXPECT_EQ(pic.GetStrokeBuffer(), nullptr);
    vek::MemFailAfter(0);
    EXPECT_EQ(pic.LayerCount(), 1);
    EXPECT_EQ(pic.selection, nullptr);
}

TEST(LayerCopy, DuplicateSitsAboveTheCurrentLayerWithANewId) {
    c_TesPic pic(4, 4);
    auto* a = pic.AddColourLayer();
    pic.AddColourLayer();
    pic.SetCurrent(a);
    SetPx(*a, 1, 2, 0.5f, 0.5f, 0.5f, 1);
    c_TesLayer* copy = pic.AddLayerCopy(*a);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(Order(pic), (std::vector<int32_t>{1, 3, 2}));
    EXPECT_EQ(pic.currentLayer, copy);
    EXPECT_EQ(Px(*copy, 1, 2)[0], 0.5f);
}

TEST(LayerCopy, LargerLayerIsFittedAndCentredSmallerOneOnlyCentred) {
    c_TesPic pic(10, 10);
    pic.AddColourLayer();
    c_TesPic other(20, 10);
    auto* wide = other.AddColourLayer();
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            SetPx(*wide, x, y, 1, 0, 0, 1);
    c_TesLayer* fitted = pic.AddLayerCopy(*wide);
    ASSERT_NE(fitted, nullptr);
    EXPECT_EQ(fitted->width, 10);
    EXPECT_EQ(fitted->height, 10);
    // Fitted to 10 × 5, centred with 2 rows above and 3 below.
    EXPECT_EQ(Px(*fitted, 5, 1)[3], 0.0f);
    EXPECT_EQ(Px(*fitted, 5, 2)[3], 1.0f);
    EXPECT_EQ(Px(*fitted, 5, 6)[3], 1.0f);
    EXPECT_EQ(Px(*fitted, 5, 7)[3], 0.0f);
    c_TesPic small(4, 2);
    auto* s = small.AddColourLayer();
    SetPx(*s, 0, 0, 0, 1, 0, 1);
    c_TesLayer* centred = pic.AddLayerCopy(*s);
    ASSERT_NE(centred, nullptr);
    EXPECT_EQ(Px(*centred, 3, 4)[1], 1.0f); // left margin 3, top margin 4
}

TEST(LayerCopy, LayerWithoutPixelsIsLoadedFromItsFilesAfterSaving) {
    c_TesPic src(2, 2);
    FakeStore store;
    src.store = &store;
    auto* l = src.AddColourLayer();
    SetPx(*l, 1, 1, 0.25f, 0, 0, 1);
    store.Keep(*l);
    l->pixels.Free(); // released after saving
    c_TesPic dst(2, 2);
    dst.AddColourLayer();
    c_TesLayer* copy = dst.AddLayerCopy(*l);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(store.saves, 1);
    EXPECT_EQ(Px(*copy, 1, 1)[0], 0.25f);
    store.files.clear();
    EXPECT_EQ(dst.AddLayerCopy(*l), nullptr);
    EXPECT_EQ(dst.LayerCount(), 2);
}

TEST(LazyLoading, CompositeAndSetCurrentLoadPixelsOnFirstNeedOnce) {
    c_TesPic pic(3, 1);
    FakeStore store;
    pic.store = &store;
    auto* a = pic.AddColourLayer();
    SetPx(*a, 0, 0, 1, 0, 0, 1);
    auto* b = pic.AddColourLayer();
    store.Keep(*a); // a is compacted to its one pixel now
    a->pixels.Free();
    auto t = pic.Composite(0, 0, 3, 1, false, 0);
    EXPECT_EQ(store.loads, 1);
    EXPECT_EQ(t->Pixels()[0], 1.0f);
    // A layer whose file is gone is asked for once and then counts as having no pixels.
    b->pixels.Free();
    b->bytesPerChannel = 4;
    pic.Composite(0, 0, 3, 1, false, 0);
    pic.Composite(0, 0, 3, 1, false, 0);
    EXPECT_EQ(store.loads, 2);
    EXPECT_EQ(b->bytesPerChannel, 0);
}

TEST(TypeBlock, ClassBlocksRoundTripAndMalformedChunksAreRefused) {
    c_TesLayer_Gfx g;
    g.classFlag = 1;
    vek::MemBlock buf;
    ASSERT_EQ(g.WriteTypeBlock(buf, 0), 12);
    const uint8_t expect[12] = {12, 0, 0, 0, 1, 0, 0, 0x40, 1, 0, 0, 0};
    EXPECT_EQ(0, std::memcmp(buf.Data(), expect, 12));
    c_TesLayer_Gfx g2;
    EXPECT_TRUE(g2.ReadTypeBlock(buf.As<uint8_t>(), 12));
    EXPECT_EQ(g2.classFlag, 1);
    buf.As<uint8_t>()[0] = 40; // runs past the end
    c_TesLayer_Gfx g3;
    EXPECT_FALSE(g3.ReadTypeBlock(buf.As<uint8_t>(), 12));
    EXPECT_EQ(g3.classFlag, 0);

    c_TesLayer_Wax w;
    w.outsideValue = 0.5f;
    vek::MemBlock wb;
    ASSERT_EQ(w.WriteTypeBlock(wb, 0), 12);
    const uint8_t wexpect[12] = {12, 0, 0, 0, 1, 0, 2, 0, 0, 0, 0, 0x3F};
    EXPECT_EQ(0, std::memcmp(wb.Data(), wexpect, 12));
    c_TesLayer_Wax w2;
    EXPECT_TRUE(w2.ReadTypeBlock(wb.As<uint8_t>(), 12));
    EXPECT_EQ(w2.outsideValue, 0.5f);

    // A filter's parameter chunks come back byte for byte.
    const uint8_t fblock[28] = {12, 0, 0, 0, 1, 0, 0, 0x40, 7, 0, 0, 0, 16, 0,
                                0,  0, 9, 0, 0, 0, 1, 2,    3, 4, 5, 6, 7,  8};
    c_TesLayer_Filter f;
    ASSERT_TRUE(f.ReadTypeBlock(fblock, 28));
    EXPECT_EQ(f.filterKind, 7);
    vek::MemBlock fb;
    ASSERT_EQ(f.WriteTypeBlock(fb, 0), 28);
    EXPECT_EQ(0, std::memcmp(fb.Data(), fblock, 28));
    auto fc = f.Clone();
    EXPECT_EQ(static_cast<c_TesLayer_Filter*>(fc.get())->filterParameters.Size(), 16u);
}

TEST(Display, PictureTellsItsDisplayAndReleasesThumbnailsWhenDestroyed) {
    FakeDisplay d;
    {
        c_TesPic pic(2, 2);
        pic.display = &d;
        pic.AddColourLayer();
        pic.AddColourLayer();
        pic.RegionChanged(0, 0, 1, 1);
        pic.DestroyLayer(pic.currentLayer);
        EXPECT_EQ(d.regions, 1);
        EXPECT_EQ(d.redraws, 1);
    }
    EXPECT_EQ(d.releases, 1);
}
