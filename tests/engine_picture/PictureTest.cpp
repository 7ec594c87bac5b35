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

// The thumbnail box is 64 wide only for a landscape picture; thumbnails fill its width only
// beyond 2 : 1. A size change frees the stroke buffer and drops backups of the old size.
TEST(PictureSize, CentreThumbnailBoxStrokeBufferAndBackupsFollowTheSize) {
    const struct {
        int32_t w, h, box, tw, th;
    } cases[] = {{300, 100, 64, 64, 21}, {1920, 1080, 64, 56, 32}, {100, 300, 32, 10, 32}};
    for (const auto& c : cases) {
        c_TesPic p(c.w, c.h);
        EXPECT_TRUE(p.thumbBoxWidth == c.box && p.thumbBoxHeight == 32 && p.thumbWidth == c.tw &&
                    p.thumbHeight == c.th)
            << c.w << "x" << c.h;
    }
    c_TesPic pic(101, 51);
    EXPECT_TRUE(pic.centreX == 50 && pic.centreY == 25);
    pic.centreX = 30;
    auto* l = pic.AddColourLayer();
    l->EnsureBackup();
    l->MarkChanged(0, 0, 1, 1);
    ASSERT_NE(pic.GetStrokeBuffer(), nullptr);
    pic.SetSize(202, 17);
    EXPECT_TRUE(pic.centreX == 60 && pic.centreY == 8); // 30 · 202 / 101, 25 · 17 / 51 = 8.33
    EXPECT_TRUE(pic.strokeBuffer.Empty() && l->backup.Empty() && !l->changed.valid);
    float* s = pic.GetStrokeBuffer();
    ASSERT_NE(s, nullptr);
    EXPECT_TRUE(pic.strokeBuffer.Size() == 202u * 17 * 4 && s[202 * 17 - 1] == 0.0f);
}

TEST(Names, LayerNamesAreCutAtTwentyAndPictureNamesLoseATrailingNumber) {
    c_TesLayer_Gfx l;
    l.headerDirty = 0;
    l.SetName("abcdefghijklmnopqrstuvwxyz0123");
    EXPECT_STREQ(l.name, "abcdefghijklmnopqrst");
    EXPECT_EQ(l.headerDirty, 1);
    for (const char* empty : {"", static_cast<const char*>(nullptr)}) {
        l.SetName(empty);
        EXPECT_STREQ(l.name, "NoName");
    }
    const struct {
        const char* in;
        const char* name;
        int32_t number;
    } cases[] = {{"Sky_12", "Sky", 12},
                 {"Sky_", "Sky_", 0},
                 {"a_b_7x", "a_b_7x", 0},
                 {"_42", "NoName", 42},
                 {"Sky12", "Sky12", 0},
                 {"x_99999999999", "x", 0},
                 {"A very long picture name_3", "A very long picture ", 3}};
    c_TesPic pic(2, 2);
    for (const auto& c : cases) {
        pic.SetName(c.in);
        EXPECT_STREQ(pic.name, c.name) << c.in;
        EXPECT_EQ(c_TesPic::ParseNameNumber(c.in), c.number) << c.in;
    }
}

TEST(Emptiness, LayersAndThePictureReportEmptinessAndTheFlagFollows) {
    c_TesLayer_Gfx l;
    EXPECT_TRUE(l.IsEmpty()); // no pixels
    l.compacted = 1;
    l.width = l.height = 2;
    EXPECT_FALSE(l.IsEmpty()); // a layer read from a file, pixels not loaded
    l.width = 1;
    EXPECT_TRUE(l.IsEmpty());
    c_TesPic pic(4, 4);
    pic.emptyFlag = 0;
    EXPECT_FALSE(pic.IsEmpty()); // no layers: the stored flag
    auto* a = pic.AddColourLayer();
    pic.AddColourLayer();
    pic.headerDirty = 0;
    EXPECT_TRUE(pic.IsEmpty() && pic.emptyFlag == 1 && pic.headerDirty == 1);
    pic.headerDirty = 0;
    a->MarkChanged(0, 0, 1, 1);
    EXPECT_TRUE(!pic.IsEmpty() && pic.headerDirty == 1);
}

TEST(Stack, InsertPositionsIdsAndTheKindsPlaces) {
    c_TesPic pic(4, 4);
    auto* a = pic.AddColourLayer(); // id 1
    EXPECT_EQ(pic.currentLayer, a);
    pic.AddColourLayer(); // 2 above a
    pic.SetCurrent(a);
    pic.AddColourLayer(); // 3 directly above a
    EXPECT_EQ(Order(pic), (std::vector<int32_t>{1, 3, 2}));
    pic.InsertLayer(MakeGfx(4, 4), 2); // 4 directly below the current (3)
    pic.InsertLayer(MakeGfx(4, 4), 4); // 5 at the bottom
    pic.InsertLayer(MakeGfx(4, 4), 7); // 6 at the top
    EXPECT_EQ(Order(pic), (std::vector<int32_t>{5, 1, 4, 3, 2, 6}));
    EXPECT_EQ(pic.currentLayer->id, 6);
    pic.InsertLayer(MakeGfx(4, 4), 0); // 7 replaces the current layer 6
    EXPECT_EQ(Order(pic), (std::vector<int32_t>{5, 1, 4, 3, 2, 7}));
    EXPECT_TRUE(pic.layerCounter == 7 && pic.LayerCount() == 6 && pic.LayerAt(2)->id == 1);
    EXPECT_EQ(pic.FindLayer(4)->StackPosition(), 3);
    ExpectOnlyCurrentExpanded(pic);
    auto* wax = pic.AddWaxLayer(); // on top, current
    EXPECT_TRUE(pic.topLayer == wax && pic.currentLayer == wax);
    auto* tex = pic.AddTextureLayer(); // at the bottom, current
    EXPECT_TRUE(pic.bottomLayer == tex && pic.currentLayer == tex);
    EXPECT_EQ(pic.AddFilterLayer()->below, tex); // above the current
}

TEST(Stack, SetCurrentCompactsTheOldExpandsAndShowsTheNewAndMovesChangeOnlyWhatTheyCan) {
    c_TesPic pic(6, 6);
    auto* a = pic.AddColourLayer();
    SetPx(*a, 2, 2, 1, 1, 1, 1);
    auto* b = pic.AddColourLayer();
    EXPECT_EQ(a->width, 1);
    a->visible = 0;
    a->headerDirty = 0;
    pic.SetCurrent(a);
    EXPECT_TRUE(a->visible == 1 && a->headerDirty == 1 && a->width == 6 && Px(*a, 2, 2)[3] == 1.0f);
    ExpectOnlyCurrentExpanded(pic);
    pic.SetCurrentById(b->id);
    pic.SetCurrentById(999); // unknown: the current layer stays
    EXPECT_EQ(pic.currentLayer, b);
    auto* c = pic.AddColourLayer();
    pic.MoveLayer(c, 1); // already at the top
    pic.MoveLayer(a, 2); // already at the bottom
    EXPECT_EQ(Order(pic), (std::vector<int32_t>{1, 2, 3}));
    pic.MoveLayer(a, 1);
    EXPECT_EQ(Order(pic), (std::vector<int32_t>{2, 1, 3}));
    pic.MoveLayer(c, 4);
    EXPECT_EQ(Order(pic), (std::vector<int32_t>{3, 2, 1}));
    pic.headerDirty = 0;
    pic.MoveLayer(b, 3);
    EXPECT_EQ(Order(pic), (std::vector<int32_t>{3, 1, 2}));
    EXPECT_TRUE(pic.topLayer == b && pic.bottomLayer == c && pic.headerDirty == 1);
}

TEST(Merge, HiddenLowerLayerStaysHiddenAndTheUpperIsDrawnIntoItWithItsBlendMode) {
    Scene s(2, 1);
    c_TesPic& pic = *s.pic;
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
    EXPECT_EQ(s.log, (std::vector<std::pair<int, int>>{{2, 0}}));
    EXPECT_EQ(s.store.deleted, std::vector<int32_t>{upperId});
    EXPECT_TRUE(pic.LayerCount() == 1 && pic.currentLayer == lower && lower->visible == 0);
    EXPECT_TRUE(lower->backup.Empty() && lower->pixelsDirty == 1); // the backup is stale
    EXPECT_TRUE(Px(*lower, 0, 0)[0] == 0.5f && Px(*lower, 0, 0)[2] == 0.5f && Px(*lower, 1, 0)[1] == 1.0f);
    // Downwards, through the upper layer's blend mode: Multiply.
    auto* top = pic.AddColourLayer();
    SetPx(*top, 0, 0, 0.5f, 0.25f, 1.0f, 1);
    top->blendOn = 1;
    top->blendMode = kTesBlend_Multiply;
    ASSERT_TRUE(pic.MergeLayer(top, 1));
    EXPECT_TRUE(Px(*lower, 0, 0)[0] == 0.25f && Px(*lower, 0, 0)[1] == 0.0f && Px(*lower, 0, 0)[2] == 0.5f);
}

TEST(Merge, MergeAndDestroyRefuseWithoutAColourLayerLeftAndRecordNothing) {
    Scene s(2, 2);
    c_TesPic& pic = *s.pic;
    auto* tex = pic.AddTextureLayer();
    auto* colour = pic.AddColourLayer();
    pic.MoveLayer(colour, 3);
    pic.AddWaxLayer();
    EXPECT_FALSE(pic.MergeLayer(colour, 1));       // lower is the texture
    EXPECT_FALSE(pic.MergeLayer(tex, 1));          // nothing below
    EXPECT_FALSE(pic.MergeLayer(pic.topLayer, 0)); // nothing above
    EXPECT_FALSE(pic.DestroyLayer(colour));        // the last colour layer, even with a wax layer
    EXPECT_TRUE(s.log.empty() && pic.LayerCount() == 3);
    // An upper layer whose pixel file cannot be read is not merged away with its files.
    pic.SetCurrent(colour);
    auto* lost = pic.AddColourLayer();
    SetPx(*lost, 0, 0, 1, 1, 1, 1);
    pic.SetCurrent(colour);
    lost->pixels.Free(); // released after saving; its file is gone
    EXPECT_FALSE(pic.MergeLayer(colour, 0));
    EXPECT_TRUE(s.log.empty() && s.store.deleted.empty() && pic.LayerCount() == 4);
}

// The display is told of changed regions and redraws, and lets go of the thumbnails with the picture.
// The display is told of changed regions and redraws, and lets go of the thumbnails with the picture.
TEST(Destroy, CurrentLayerGivesWayToTheLayerAboveThenBelowAndTheDisplayIsTold) {
    Scene s(3, 3);
    c_TesPic& pic = *s.pic;
    auto* a = pic.AddColourLayer();
    auto* b = pic.AddColourLayer();
    auto* c = pic.AddColourLayer();
    pic.SetCurrent(b);
    pic.RegionChanged(0, 0, 1, 1);
    ASSERT_TRUE(pic.DestroyLayer(b));
    EXPECT_TRUE(pic.currentLayer == c && c->compacted == 0);
    ASSERT_TRUE(pic.DestroyLayer(c));
    EXPECT_TRUE(pic.currentLayer == a && pic.topLayer == a && pic.bottomLayer == a);
    EXPECT_FALSE(pic.DestroyLayer(a));
    EXPECT_TRUE(s.log.size() == 2u && s.store.deleted.size() == 2u);
    EXPECT_TRUE(s.display.regions == 1 && s.display.redraws == 2 && s.display.releases == 0);
    s.pic.reset();
    EXPECT_EQ(s.display.releases, 1);
}

TEST(Masks, SelectionSelectsEverythingWithAFreshIdAndThePaintMaskPrefersForcedSelectionWax) {
    c_TesPic pic(5, 4);
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
    pic.headerDirty = 0;
    cTes_Layer_Selection* sel = pic.GetSelection();
    ASSERT_NE(sel, nullptr);
    EXPECT_TRUE(sel->id == 3 && pic.headerDirty == 1 && sel->visible == 1);
    int32_t x, y, w, h;
    sel->SelectionBounds(x, y, w, h);
    EXPECT_TRUE(w == 5 && h == 4);
    sel->SetCompact(true);
    EXPECT_EQ(pic.GetPaintMask(), sel);
    EXPECT_EQ(sel->compacted, 0); // expanded for the tools
    sel->Clear();
    sel->SelectionBounds(x, y, w, h);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(pic.GetSelection(), sel);
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

TEST(Memory, CheckMemoryCountsLayersBaseAndExtraLayersAndShortMemoryScalesThePictureDown) {
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
    // Budget 100 MB, one colour layer: MaxPixels = 104857600 / 60 = 1747626, factor
    // √(1747626 / 750000) = 1.53 > 0.85, so 0.8.
    vek::SetMemoryBudgetOverride(100);
    c_TesPic wide(1000, 750);
    wide.AddColourLayer();
    EXPECT_TRUE(wide.ReduceForNewLayer()); // no ASSERT: the budget must be reset below
    EXPECT_TRUE(wide.width == 800 && wide.height == 600 && wide.bottomLayer->width == 800);
    // A budget that is truly short: the layer add scales down rather than failing.
    vek::SetMemoryBudgetOverride(64);
    c_TesPic big(1200, 900); // 1080000 px · (16 + 16 + 44) > 64 MB
    big.AddColourLayer();
    EXPECT_NE(big.AddColourLayer(true), nullptr);
    EXPECT_TRUE(big.width == 960 && big.height == 720 && big.LayerCount() == 2);
    vek::SetMemoryBudgetOverride(0);
}

TEST(Memory, FailedLayerAddLeavesThePictureAsItWas) {
    c_TesPic pic(16, 16);
    auto* a = pic.AddColourLayer();
    SetPx(*a, 3, 3, 1, 1, 1, 1);
    pic.headerDirty = 0;
    vek::MemFailAfter(1);
    EXPECT_EQ(pic.AddColourLayer(), nullptr);
    vek::MemFailAfter(0, true);
    EXPECT_EQ(pic.AddLayerCopy(*a), nullptr);
    EXPECT_EQ(pic.GetSelection(), nullptr);
    EXPECT_EQ(pic.GetStrokeBuffer(), nullptr);
    vek::MemFailAfter(0);
    EXPECT_TRUE(pic.LayerCount() == 1 && pic.currentLayer == a && a->compacted == 0 && pic.headerDirty == 0);
    EXPECT_EQ(pic.selection, nullptr);
}

TEST(LayerCopy, ADuplicateSitsAboveTheCurrentLayerAndLayersOfOtherSizesAreFittedAndCentred) {
    c_TesPic pic(10, 10);
    auto* a = pic.AddColourLayer();
    pic.AddColourLayer();
    pic.SetCurrent(a);
    SetPx(*a, 1, 2, 0.5f, 0.5f, 0.5f, 1);
    c_TesLayer* copy = pic.AddLayerCopy(*a);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(Order(pic), (std::vector<int32_t>{1, 3, 2}));
    EXPECT_TRUE(pic.currentLayer == copy && Px(*copy, 1, 2)[0] == 0.5f);
    c_TesPic other(20, 10);
    auto* wide = other.AddColourLayer();
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            SetPx(*wide, x, y, 1, 0, 0, 1);
    c_TesLayer* fitted = pic.AddLayerCopy(*wide);
    ASSERT_NE(fitted, nullptr);
    EXPECT_TRUE(fitted->width == 10 && fitted->height == 10);
    // Fitted to 10 × 5, centred with 2 rows above and 3 below.
    const float alpha[] = {Px(*fitted, 5, 1)[3], Px(*fitted, 5, 2)[3], Px(*fitted, 5, 6)[3],
                           Px(*fitted, 5, 7)[3]};
    EXPECT_TRUE(alpha[0] == 0.0f && alpha[1] == 1.0f && alpha[2] == 1.0f && alpha[3] == 0.0f);
    c_TesPic small(4, 2);
    SetPx(*small.AddColourLayer(), 0, 0, 0, 1, 0, 1);
    c_TesLayer* centred = pic.AddLayerCopy(*small.bottomLayer);
    ASSERT_NE(centred, nullptr);
    EXPECT_EQ(Px(*centred, 3, 4)[1], 1.0f); // left margin 3, top margin 4
}

TEST(LazyLoading, PixelsComeFromTheStoreOnFirstNeedOnceForCompositesAndCopies) {
    Scene s(3, 1);
    c_TesPic& pic = *s.pic;
    FakeStore& store = s.store;
    auto* a = pic.AddColourLayer();
    SetPx(*a, 0, 0, 1, 0, 0, 1);
    auto* b = pic.AddColourLayer();
    store.Keep(*a); // a is compacted to its one pixel now
    a->pixels.Free();
    EXPECT_EQ(pic.Composite(0, 0, 3, 1, false, 0)->Pixels()[0], 1.0f);
    EXPECT_EQ(store.loads, 1);
    // A layer whose file is gone is asked for once and then counts as having no pixels.
    b->pixels.Free();
    b->bytesPerChannel = 4;
    pic.Composite(0, 0, 3, 1, false, 0);
    pic.Composite(0, 0, 3, 1, false, 0);
    EXPECT_TRUE(store.loads == 2 && b->bytesPerChannel == 0);
    // A copy of a released layer saves pending changes and loads it from its files.
    a->pixels.Free();
    c_TesPic dst(3, 1);
    dst.AddColourLayer();
    c_TesLayer* copy = dst.AddLayerCopy(*a);
    ASSERT_NE(copy, nullptr);
    EXPECT_TRUE(store.saves == 1 && Px(*copy, 0, 0)[0] == 1.0f);
    store.files.clear();
    EXPECT_EQ(dst.AddLayerCopy(*a), nullptr);
    EXPECT_EQ(dst.LayerCount(), 2);
}

TEST(TypeBlock, ClassBlocksRoundTripAndMalformedChunksAreRefused) {
    c_TesLayer_Gfx g, g2, g3;
    g.classFlag = 1;
    vek::MemBlock buf;
    ASSERT_EQ(g.WriteTypeBlock(buf, 0), 12);
    const uint8_t expect[12] = {12, 0, 0, 0, 1, 0, 0, 0x40, 1, 0, 0, 0};
    EXPECT_EQ(0, std::memcmp(buf.Data(), expect, 12));
    EXPECT_TRUE(g2.ReadTypeBlock(buf.As<uint8_t>(), 12) && g2.classFlag == 1);
    buf.As<uint8_t>()[0] = 40; // runs past the end
    EXPECT_FALSE(g3.ReadTypeBlock(buf.As<uint8_t>(), 12));
    EXPECT_EQ(g3.classFlag, 0);
    c_TesLayer_Wax w, w2;
    w.outsideValue = 0.5f;
    ASSERT_EQ(w.WriteTypeBlock(buf, 0), 12);
    const uint8_t wexpect[12] = {12, 0, 0, 0, 1, 0, 2, 0, 0, 0, 0, 0x3F};
    EXPECT_EQ(0, std::memcmp(buf.Data(), wexpect, 12));
    EXPECT_TRUE(w2.ReadTypeBlock(buf.As<uint8_t>(), 12) && w2.outsideValue == 0.5f);
    // A filter's parameter chunks come back byte for byte, also in a clone.
    const uint8_t fblock[28] = {12, 0, 0, 0, 1, 0, 0, 0x40, 7, 0, 0, 0, 16, 0,
                                0,  0, 9, 0, 0, 0, 1, 2,    3, 4, 5, 6, 7,  8};
    c_TesLayer_Filter f;
    ASSERT_TRUE(f.ReadTypeBlock(fblock, 28));
    EXPECT_EQ(f.filterKind, 7);
    vek::MemBlock fb;
    ASSERT_EQ(f.WriteTypeBlock(fb, 0), 28);
    EXPECT_EQ(0, std::memcmp(fb.Data(), fblock, 28));
    EXPECT_EQ(static_cast<c_TesLayer_Filter*>(f.Clone().get())->filterParameters.Size(), 16u);
}
