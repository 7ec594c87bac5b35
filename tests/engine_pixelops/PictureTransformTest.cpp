// Whole-picture transforms (scale, margins, crop, flip, turn) over every layer and the selection,
// all-or-nothing on allocation failure, and the layer commands that record history steps.
#include <gtest/gtest.h>

#include "PixelTestUtil.h"
#include "engine/picture/c_TesPic.h"
#include "shell/MemBlock.h"

namespace {

struct CountingHistory : cTes_PicHistory {
    int records = 0;
    void Record(int32_t kind, int32_t target) override { ++records; }
};

// A picture with a full current layer, a compacted layer below it and a selection.
std::unique_ptr<c_TesPic> MakePicture(int w, int h) {
    auto pic = std::make_unique<c_TesPic>(w, h);
    pic->InsertLayer(MakeColour(w, h,
                                [](int x, int y) {
                                    return x > 2 && y > 1 && x < 9 ? Px{0.5f, 0, 1, 1} : Px{0, 0, 0, 0};
                                }),
                     1);
    pic->InsertLayer(MakeColour(w, h,
                                [w](int x, int y) {
                                    return Px{x / float(w), y * 0.1f, 0.3f, (x + y) % 3 * 0.5f};
                                }),
                     1);
    cTes_Layer_Selection* sel = pic->GetSelection();
    for (int i = 0; i < w * h; ++i)
        sel->Pixels()[i] = i % 7 == 0 ? 0.0f : 1.0f;
    return pic;
}

std::vector<LayerState> StatesOf(const c_TesPic& pic) {
    std::vector<LayerState> s;
    for (const c_TesLayer* l = pic.bottomLayer; l; l = l->above)
        s.push_back(StateOf(*l));
    s.push_back(StateOf(*pic.selection));
    return s;
}

} // namespace

TEST(PictureTransform, ScaleToZeroGivesOneByOne) {
    auto pic = MakePicture(100, 50);
    ASSERT_TRUE(pic->ScalePicture(0, 0));
    EXPECT_EQ(1, pic->width);
    EXPECT_EQ(1, pic->height);
    EXPECT_EQ(1, pic->currentLayer->width);
    EXPECT_EQ(1, pic->selection->RasterWidth());
    EXPECT_EQ(1, pic->bottomLayer->RasterHeight());
}

TEST(PictureTransform, TurnsSwapSizeForOddTurnsAndFourTurnsRestore) {
    auto pic = MakePicture(30, 20);
    const auto before = StatesOf(*pic);
    ASSERT_TRUE(pic->TurnPicture(1));
    EXPECT_EQ(20, pic->width);
    EXPECT_EQ(30, pic->height);
    EXPECT_EQ(30, pic->selection->RasterHeight());
    ASSERT_TRUE(pic->TurnPicture(2));
    EXPECT_EQ(20, pic->width);
    ASSERT_TRUE(pic->TurnPicture(3));
    EXPECT_EQ(30, pic->width);
    ASSERT_TRUE(pic->TurnPicture(2));
    EXPECT_TRUE(StatesOf(*pic) == before);
}

TEST(PictureTransform, FlipTwiceRestoresEveryLayerAndDropsStaleBackups) {
    auto pic = MakePicture(17, 9);
    const auto before = StatesOf(*pic);
    ASSERT_NE(nullptr, pic->currentLayer->EnsureBackup());
    ASSERT_TRUE(pic->FlipPicture(3));
    EXPECT_FALSE(StatesOf(*pic) == before);
    // A backup in the old orientation would hand the next stroke's undo the wrong pixels.
    EXPECT_TRUE(pic->currentLayer->backup.Empty());
    ASSERT_TRUE(pic->FlipPicture(1));
    ASSERT_TRUE(pic->FlipPicture(2));
    EXPECT_TRUE(StatesOf(*pic) == before);
}

// Every fallible step comes before the first change; a crop by selection that fails also keeps
// the selection shown.
TEST(PictureTransform, FailedAllocationLeavesPictureAndSelectionAsTheyWere) {
    for (int op = 0; op < 4; ++op) {
        for (int n = 1;; ++n) {
            auto pic = MakePicture(23, 19);
            cTes_Layer_Selection* sel = pic->GetSelection();
            if (op == 3) {
                sel->Clear();
                sel->Pixels()[5 * 23 + 4] = sel->Pixels()[12 * 23 + 15] = 0.0f;
                sel->Show();
            }
            const auto before = StatesOf(*pic);
            vek::MemFailAfter(n);
            bool ok = op == 0   ? pic->ScalePicture(41, 30)
                      : op == 1 ? pic->TurnPicture(1)
                      : op == 2 ? pic->AddPictureMargins(3, 2, 1, 4)
                                : pic->CropPicture(true, 0);
            vek::MemFailAfter(0);
            if (ok) {
                EXPECT_EQ(op == 3 ? 0 : 1, sel->visible) << op;
                break;
            }
            EXPECT_EQ(1, sel->visible) << op << " " << n;
            EXPECT_TRUE(StatesOf(*pic) == before) << op << " " << n;
            ASSERT_LT(n, 50);
        }
    }
}

TEST(PictureTransform, RemoveUnusedCropsToContentOfAllLayersLessMargin) {
    c_TesPic pic(50, 40);
    pic.InsertLayer(MakeColour(50, 40,
                               [](int x, int y) {
                                   return x == 30 && y == 25 ? Px{1, 1, 1, 1} : Px{0, 0, 0, 0};
                               }),
                    1);
    pic.InsertLayer(
        MakeColour(50, 40,
                   [](int x, int y) {
                       return x >= 10 && x < 20 && y >= 5 && y < 15 ? Px{1, 0, 0, 1} : Px{0, 0, 0, 0};
                   }),
        1);
    ASSERT_TRUE(pic.bottomLayer->compacted);
    ASSERT_TRUE(pic.CropPicture(false, 2));
    // Content spans x 10..30, y 5..25; two pixels of margin on every side.
    EXPECT_EQ(25, pic.width);
    EXPECT_EQ(25, pic.height);
    c_TesLayer* top = pic.currentLayer;
    EXPECT_EQ(1.0f, At(*top, 2, 2).a);
    EXPECT_EQ(0.0f, At(*top, 1, 2).a);
    ASSERT_TRUE(pic.bottomLayer->SetCompact(false));
    EXPECT_EQ(1.0f, At(*pic.bottomLayer, 22, 22).a);
}

// An empty layer has no content to keep; counting it as its top-left pixel would stop every crop
// at the top and left edges, and an empty picture would shrink to one pixel.
TEST(PictureTransform, RemoveUnusedIgnoresEmptyLayersAndLeavesEmptyPictureAlone) {
    c_TesPic pic(30, 20);
    pic.InsertLayer(MakeColour(30, 20, [](int, int) { return Px{0, 0, 0, 0}; }), 1);
    ASSERT_TRUE(pic.CropPicture(false, 0));
    EXPECT_EQ(30, pic.width);
    EXPECT_EQ(20, pic.height);
    pic.InsertLayer(MakeColour(30, 20,
                               [](int x, int y) {
                                   return x == 12 && y == 7 ? Px{1, 1, 1, 1} : Px{0, 0, 0, 0};
                               }),
                    1);
    ASSERT_TRUE(pic.bottomLayer->compacted); // the empty one, compacted to its top-left pixel
    ASSERT_TRUE(pic.CropPicture(false, 1));
    EXPECT_EQ(3, pic.width);
    EXPECT_EQ(3, pic.height);
    EXPECT_EQ(1.0f, At(*pic.currentLayer, 1, 1).a);
}

TEST(PictureTransform, CropBySelectionUsesSelectedBoxAndHidesSelection) {
    c_TesPic pic(20, 10);
    pic.InsertLayer(MakeColour(20, 10, [](int x, int) { return Px{x * 0.05f, 0, 0, 1}; }), 1);
    EXPECT_FALSE(pic.CropPicture(true, 0)); // no selection: nothing happens
    cTes_Layer_Selection* sel = pic.GetSelection();
    sel->Clear();
    sel->Pixels()[4 * 20 + 6] = 0.0f;
    sel->Pixels()[5 * 20 + 8] = 0.5f;
    ASSERT_TRUE(pic.CropPicture(true, 0));
    EXPECT_EQ(3, pic.width);
    EXPECT_EQ(2, pic.height);
    EXPECT_FLOAT_EQ(0.3f, At(*pic.currentLayer, 0, 0).r);
    EXPECT_EQ(0, sel->visible);
}

TEST(LayerCommands, ScaleLayerRecordsOnceAndKeepsSizeWithContentCentred) {
    auto history = std::make_unique<CountingHistory>();
    CountingHistory* h = history.get();
    c_TesPic pic(8, 4, std::move(history));
    c_TesLayer* l = pic.InsertLayer(MakeColour(8, 4, [](int, int) { return Px{1, 1, 1, 1}; }), 1);
    ASSERT_TRUE(l->ScaleLayer(50, 50));
    EXPECT_EQ(1, h->records);
    ASSERT_EQ(8, l->width);
    ASSERT_EQ(4, l->height);
    // 4 × 2 opaque block at (2, 1).
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_FLOAT_EQ(x >= 2 && x < 6 && y >= 1 && y < 3 ? 1.0f : 0.0f, At(*l, x, y).a);
    EXPECT_EQ(0, l->changed.valid); // committed
    vek::MemFailAfter(1);
    const LayerState before = StateOf(*l);
    EXPECT_FALSE(l->ScaleLayer(30, 200));
    vek::MemFailAfter(0);
    EXPECT_EQ(1, h->records);
    EXPECT_TRUE(StateOf(*l) == before);
}

TEST(LayerCommands, ScrollLayerUsesTickedDirectionsAndRecords) {
    auto history = std::make_unique<CountingHistory>();
    CountingHistory* h = history.get();
    c_TesPic pic(4, 2, std::move(history));
    c_TesLayer* l = pic.InsertLayer(MakeColour(4, 2,
                                               [](int x, int y) {
                                                   return Px{float(x), float(y), 0, 1};
                                               }),
                                    1);
    l->ScrollLayer(3, false, true, true, false); // right 3, up 3
    EXPECT_EQ(1, h->records);
    EXPECT_EQ(1.0f, At(*l, 0, 0).r); // (1, 1) moved to (0, 0)
    EXPECT_EQ(1.0f, At(*l, 0, 0).g);
}
