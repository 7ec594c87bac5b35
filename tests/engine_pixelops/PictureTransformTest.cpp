// Whole-picture transforms (scale, margins, crop, flip, turn) over every layer and the selection,
// all-or-nothing on allocation failure, and the layer commands that record history steps.
#include <gtest/gtest.h>

#include "PixelTestUtil.h"
#include "engine/picture/c_TesPic.h"
#include "shell/MemBlock.h"

namespace {

struct CountingHistory : cTes_PicHistory {
    int records = 0;
    bool Record(int32_t, int32_t) override {
        ++records;
        return true;
    }
};

// A picture with a full current layer, a compacted layer below it and a selection.
std::unique_ptr<c_TesPic> MakePicture(int w, int h) {
    auto pic = std::make_unique<c_TesPic>(w, h);
    pic->InsertLayer(MakeColour(w, h,
                                [](int x, int y) {
                                    return x > 2 && y > 1 && x < 9 ? Px{0.5f, 0, 1, 1} : Px{};
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

// A picture whose layers are empty but for the given pixels (the last layer is the current one).
std::unique_ptr<c_TesPic> Sparse(int w, int h, std::vector<std::function<bool(int, int)>> layers) {
    auto pic = std::make_unique<c_TesPic>(w, h);
    for (auto& on : layers)
        pic->InsertLayer(MakeColour(w, h, [&](int x, int y) { return on(x, y) ? Px{1, 1, 1, 1} : Px{}; }), 1);
    return pic;
}

} // namespace

TEST(PictureTransform, OddTurnsSwapTheSizeFourTurnsRestoreAndScaleToZeroGivesOneByOne) {
    auto pic = MakePicture(30, 20);
    const auto before = StatesOf(*pic);
    ASSERT_TRUE(pic->TurnPicture(1));
    EXPECT_TRUE(pic->width == 20 && pic->height == 30 && pic->selection->RasterHeight() == 30);
    ASSERT_TRUE(pic->TurnPicture(2));
    EXPECT_EQ(20, pic->width);
    ASSERT_TRUE(pic->TurnPicture(3));
    EXPECT_EQ(30, pic->width);
    ASSERT_TRUE(pic->TurnPicture(2));
    EXPECT_TRUE(StatesOf(*pic) == before);
    ASSERT_TRUE(pic->ScalePicture(0, 0));
    EXPECT_TRUE(pic->width == 1 && pic->height == 1 && pic->currentLayer->width == 1);
    EXPECT_TRUE(pic->selection->RasterWidth() == 1 && pic->bottomLayer->RasterHeight() == 1);
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

// An empty layer has no content to keep; counting it as its top-left pixel would stop every crop
// at the top and left edges, and an empty picture would shrink to one pixel.
TEST(PictureTransform, RemoveUnusedCropsToTheContentOfAllLayersPlusMarginAndIgnoresEmptyLayers) {
    auto pic = Sparse(50, 40,
                      {[](int x, int y) { return x == 30 && y == 25; },
                       [](int x, int y) { return x >= 10 && x < 20 && y >= 5 && y < 15; }});
    ASSERT_TRUE(pic->bottomLayer->compacted);
    ASSERT_TRUE(pic->CropPicture(false, 2)); // content x 10..30, y 5..25, two pixels around
    EXPECT_TRUE(pic->width == 25 && pic->height == 25);
    EXPECT_TRUE(At(*pic->currentLayer, 2, 2).a == 1.0f && At(*pic->currentLayer, 1, 2).a == 0.0f);
    ASSERT_TRUE(pic->bottomLayer->SetCompact(false));
    EXPECT_EQ(1.0f, At(*pic->bottomLayer, 22, 22).a);
    auto empty = Sparse(30, 20, {[](int, int) { return false; }});
    ASSERT_TRUE(empty->CropPicture(false, 0));
    EXPECT_TRUE(empty->width == 30 && empty->height == 20);
    auto dot =
        Sparse(30, 20, {[](int, int) { return false; }, [](int x, int y) { return x == 12 && y == 7; }});
    ASSERT_TRUE(dot->bottomLayer->compacted); // the empty one, compacted to its top-left pixel
    ASSERT_TRUE(dot->CropPicture(false, 1));
    EXPECT_TRUE(dot->width == 3 && dot->height == 3 && At(*dot->currentLayer, 1, 1).a == 1.0f);
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
    EXPECT_TRUE(pic.width == 3 && pic.height == 2 && sel->visible == 0);
    EXPECT_FLOAT_EQ(0.3f, At(*pic.currentLayer, 0, 0).r);
}

TEST(LayerCommands, ScaleAndScrollRecordOnceScaleKeepsTheSizeCentredAndFailureRecordsNothing) {
    auto history = std::make_unique<CountingHistory>();
    CountingHistory* h = history.get();
    c_TesPic pic(8, 4, std::move(history));
    c_TesLayer* l = pic.InsertLayer(MakeColour(8, 4,
                                               [](int x, int y) {
                                                   return Px{float(x), float(y), 0, 1};
                                               }),
                                    1);
    l->ScrollLayer(3, false, true, true, false); // right 3, up 3
    EXPECT_EQ(1, h->records);
    EXPECT_TRUE(At(*l, 0, 0).r == 5.0f && At(*l, 0, 0).g == 3.0f); // (5, 3) came to (0, 0)
    ASSERT_TRUE(l->ScaleLayer(50, 50));
    EXPECT_EQ(2, h->records);
    ASSERT_TRUE(l->width == 8 && l->height == 4);
    for (int y = 0; y < 4; ++y) // a 4 × 2 opaque block at (2, 1)
        for (int x = 0; x < 8; ++x)
            EXPECT_FLOAT_EQ(x >= 2 && x < 6 && y >= 1 && y < 3 ? 1.0f : 0.0f, At(*l, x, y).a);
    EXPECT_EQ(0, l->changed.valid); // committed
    vek::MemFailAfter(1);
    const LayerState before = StateOf(*l);
    EXPECT_FALSE(l->ScaleLayer(30, 200));
    vek::MemFailAfter(0);
    EXPECT_EQ(2, h->records);
    EXPECT_TRUE(StateOf(*l) == before);
}
