// Strokes through the tool box into a real picture: the coverage rule, pixel lines, wrap-around,
// the paint mask, the eraser, blend modes, line mode, the end of a stroke, the tip cache, failures.
#include "ToolTestSupport.h"
#include "engine/picture/c_TesLayer_Wax.h"
#include "shell/MemBlock.h"

namespace {

constexpr uint32_t kPen = 1, kEraser = 2, kPixelPen = 9;

// Painted pixels (all fully) form one 8-connected line from (x0, y0), one pixel thin (no 2 × 2
// block); returns their number.
int ExpectEightConnectedThinLine(Canvas& c, int x0, int y0) {
    const int w = c.ink->width, h = c.ink->height;
    auto painted = [&](int x, int y) { return x >= 0 && y >= 0 && x < w && y < h && c.Alpha(x, y) > 0; };
    std::vector<int> seen(w * h, 0), stack = {y0 * w + x0};
    int count = 0, reached = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            EXPECT_TRUE(c.Alpha(x, y) == 0.0f || c.Alpha(x, y) == 1.0f) << x << "," << y;
            count += painted(x, y);
            EXPECT_LT(painted(x, y) + painted(x + 1, y) + painted(x, y + 1) + painted(x + 1, y + 1), 4)
                << x << "," << y;
        }
    for (seen[stack[0]] = 1; !stack.empty(); ++reached) {
        const int at = stack.back();
        stack.pop_back();
        for (int k = 0; k < 9; ++k) {
            const int x = at % w + k % 3 - 1, y = at / w + k / 3 - 1;
            if (painted(x, y) && !seen[y * w + x]) seen[y * w + x] = 1, stack.push_back(y * w + x);
        }
    }
    EXPECT_EQ(reached, count);
    return count;
}

} // namespace

TEST(CoverageRule,
     PenAt40PercentOverOnePixelTwiceGivesAlpha04ASecondStrokeCompoundsAndNewSettingsTakeEffect) {
    Canvas c(64, 32);
    auto box = MakeBox(c, kPen);
    box->strength[0] = 40;
    box->size[0] = 9;
    c.Path(*box, {{10, 16}, {50, 16}, {10, 16}});
    EXPECT_FLOAT_EQ(c.Alpha(30, 16), 0.4f);
    EXPECT_FLOAT_EQ(c.Px(30, 16)[1], box->paint[0][1]);
    c.Line(*box, 10, 16, 50, 16);
    EXPECT_NEAR(c.Alpha(30, 16), 0.64f, 1e-6); // 1 − 0.6²
    EXPECT_EQ(c.history->records, 2);
    EXPECT_EQ(c.history->recordsWithoutRegion, 0);
    EXPECT_FALSE(c.ink->changed.valid);       // committed
    box->size[0] = 15, box->strength[0] = 50; // the tip is rebuilt for the next stroke
    c.Line(*box, 10, 5, 50, 5);
    EXPECT_EQ(c.Alpha(30, 11), 0.5f); // six rows out: the old size 9 would not reach it
}

TEST(PixelLine, SizeOneHardPenAndThePixelPenDrawEightConnectedOnePixelLines) {
    Canvas c(120, 80);
    auto box = MakeBox(c, kPen);
    box->size[0] = 1;
    c.Path(*box,
           {{5.3f, 10.7f}, {20.2f, 17.9f}, {41.6f, 22.4f}, {70.1f, 50.3f}, {100.8f, 61.2f}, {90.4f, 75.5f}});
    EXPECT_GT(ExpectEightConnectedThinLine(c, 5, 10), 110);
    EXPECT_EQ(c.Alpha(90, 75), 1.0f);
    Canvas d(60, 40); // the pixel pen does so whatever its size, softness and sub-pixel setting
    auto pixel = MakeBox(d, kPixelPen);
    pixel->size[0] = 50, pixel->softness[0] = 60, pixel->strength[0] = 70, pixel->subPixel = 1;
    d.Line(*pixel, 10.6f, 20.3f, 50.2f, 20.3f);
    int painted = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x)
            if (d.Alpha(x, y) > 0) {
                ++painted;
                EXPECT_EQ(y, 20);
                EXPECT_FLOAT_EQ(d.Alpha(x, y), 0.7f);
            }
    EXPECT_EQ(painted, 41);
}

TEST(WrapAround, AStampAtMinusTwoPaintsTheRightEdgeOnlyWhenThePictureRepeats) {
    for (int repeat = 0; repeat < 2; ++repeat) {
        Canvas c(64, 32);
        c.pic->repeatX = static_cast<uint8_t>(repeat);
        auto box = MakeBox(c, kPen);
        box->size[0] = 9;
        c.Line(*box, -2, 16, -2, 16);
        c.ExpectAlphas({{2, 16, 1.0}, {3, 16, 0.0}});
        EXPECT_EQ(c.Alpha(58, 16), repeat ? 1.0f : 0.0f); // -2 - 4 wraps to 58
        EXPECT_EQ(c.Alpha(57, 16), 0.0f);
        EXPECT_EQ(c.history->records, 1);
    }
    Canvas tiled(40, 30); // a stroke across the corner of a tiled picture stays one stroke
    tiled.pic->repeatX = tiled.pic->repeatY = 1;
    auto box = MakeBox(tiled, kPen);
    box->size[0] = 7, box->subPixel = 1;
    tiled.Line(*box, 35.5f, 25.5f, 45.5f, 35.5f);
    EXPECT_GT(tiled.Alpha(38, 28), 0.9f);
    EXPECT_GT(tiled.Alpha(2, 2), 0.9f); // (42, 32) wrapped
    EXPECT_EQ(tiled.Alpha(20, 15), 0.0f);
    EXPECT_EQ(tiled.history->records, 1);
}

TEST(PaintMask, AVisibleWaxLayerAboveProtectsWhatItCoversAndTakesNoPaintItself) {
    Canvas c(60, 40);
    c_TesLayer_Wax* wax = c.pic->AddWaxLayer();
    ASSERT_NE(wax, nullptr);
    for (int y = 0; y < 40; ++y)
        for (int x = 30; x < 60; ++x)
            wax->Pixels()[y * 60 + x] = 1.0f;
    const std::vector<float> waxBefore(wax->Pixels(), wax->Pixels() + 60 * 40);
    auto box = MakeBox(c, kPen); // the wax, the current layer, takes no paint
    EXPECT_EQ(c.Press(*box, 10, 10), 0);
    c.Release(*box, 12, 10);
    EXPECT_EQ(std::vector<float>(wax->Pixels(), wax->Pixels() + 60 * 40), waxBefore);
    EXPECT_EQ(c.history->records, 0);
    c.pic->SetCurrent(c.ink);
    box->size[0] = 11;
    c.Line(*box, 5, 20, 55, 20);
    c.ExpectAlphas({{20, 20, 1.0}, {30, 20, 0.0}, {40, 20, 0.0}});
    wax->Hide();
    c.Line(*box, 5, 20, 55, 20);
    EXPECT_EQ(c.Alpha(40, 20), 1.0f);
}

TEST(Eraser, FortyPercentLeavesSixtyPercentEvenWhereTheStrokeCrossesItself) {
    Canvas c(64, 64);
    c.Fill(0.2f, 0.5f, 0.9f, 1.0f);
    auto box = MakeBox(c, kEraser);
    box->strength[0] = 40;
    box->size[0] = 9;
    c.Path(*box, {{10, 32}, {54, 32}, {54, 10}, {32, 10}, {32, 54}});
    EXPECT_NEAR(c.Alpha(32, 32), 0.6f, 1e-6); // crossing
    EXPECT_NEAR(c.Alpha(20, 32), 0.6f, 1e-6);
    EXPECT_FLOAT_EQ(c.Px(20, 32)[2], 0.9f); // colour kept
    EXPECT_FLOAT_EQ(c.Alpha(5, 5), 1.0f);
}

TEST(BlendPens, TheButtonsBlendModeAppliesOnlyWhenSwitchedOn) {
    Canvas c(60, 40);
    c.Fill(0.5f, 0.5f, 0.5f, 1.0f);
    auto pen = MakeBox(c, kPen);
    pen->size[0] = 9, pen->blendMode[0] = 3; // multiply
    pen->paint[0][0] = 0.5f, pen->paint[0][1] = 1.0f, pen->paint[0][2] = 1.0f;
    c.Line(*pen, 5, 10, 55, 10);
    EXPECT_FLOAT_EQ(c.Px(30, 10)[0], 0.5f); // not enabled: painted over
    pen->blendEnabled[0] = 1;
    c.Line(*pen, 5, 30, 55, 30);
    EXPECT_FLOAT_EQ(c.Px(30, 30)[0], 0.25f);
    EXPECT_FLOAT_EQ(c.Px(30, 30)[1], 0.5f);
}

TEST(LineMode, PressStoresTheFirstAnchorMovesFollowTheReleaseAppliesOnceAndAPressStartsANewPair) {
    Canvas c(100, 60);
    auto box = MakeBox(c, kPen);
    box->size[0] = 3;
    box->drawMode[0] = 1;
    c.Press(*box, 10, 10);
    c.Move(*box, 50, 50);
    c.Move(*box, 80, 5);
    EXPECT_EQ(box->anchors[1][0], 80.0f);
    EXPECT_EQ(box->anchors[1][2], -1.0f); // the rubber band: not yet an anchor
    EXPECT_EQ(c.history->records, 0);
    c.Release(*box, 90, 10);
    EXPECT_EQ(c.history->records, 1);
    EXPECT_EQ(c.Alpha(50, 10), 1.0f); // on the line from (10, 10) to (90, 10)
    EXPECT_EQ(c.Alpha(50, 50), 0.0f); // the moves did not paint
    EXPECT_EQ(c.Alpha(80, 5), 0.0f);
    EXPECT_EQ(box->anchors[0][2], -1.0f); // list emptied
    EXPECT_FALSE(c.ink->changed.valid);
    c.Press(*box, 10, 50); // its release never comes
    c.Press(*box, 10, 30);
    c.Release(*box, 90, 30);
    EXPECT_EQ(c.history->records, 2);
    EXPECT_EQ(c.Alpha(50, 30), 1.0f);
    EXPECT_EQ(c.Alpha(10, 40), 0.0f); // nothing from (10, 50) to (10, 30)
}

TEST(StrokeEnd, ALostReleaseOrAPictureSwitchKeepsTheStrokeAndMovesAfterTheEndDoNotPaint) {
    Canvas c(100, 40), second(100, 40);
    auto box = MakeBox(c, kPen);
    box->size[0] = 5;
    c.Path(*box, {{10, 10}, {89, 10}}, 1, false); // the release got lost
    c.Line(*box, 50, 2, 50, 30);                  // the next stroke crosses the first
    EXPECT_EQ(c.history->records, 2);
    c.ExpectAlphas({{20, 10, 1.0}, {80, 10, 1.0}, {50, 25, 1.0}});
    const auto after = c.Snapshot();
    for (int x = 30; x < 90; ++x)
        c.Move(*box, x, 30);
    EXPECT_EQ(c.Snapshot(), after);
    c.Path(*box, {{10, 35}, {49, 35}}, 1, false); // open when the picture changes
    box->SetPicture(second.pic.get());
    EXPECT_EQ(c.history->records, 3);
    EXPECT_FALSE(c.ink->changed.valid);
    c.ink->DropBackup(); // the stroke is in the pixels, not only in a stale backup
    EXPECT_EQ(c.Alpha(30, 35), 1.0f);
    second.Line(*box, 10, 10, 70, 10);
    second.ExpectAlphas({{40, 10, 1.0}, {30, 35, 0.0}});
}

TEST(Failure, AnAllocationFailureAtThePressLeavesTheLayerAndTheNextStrokePaints) {
    Canvas c(64, 32);
    auto box = MakeBox(c, kPen);
    box->size[0] = 5;
    const auto before = c.Snapshot();
    vek::MemFailAfter(0, true);
    c.Line(*box, 10, 10, 50, 10);
    vek::MemFailAfter(0);
    EXPECT_EQ(c.Snapshot(), before);
    EXPECT_EQ(c.history->records, 0);
    c.Line(*box, 10, 20, 50, 20);
    c.ExpectAlphas({{30, 20, 1.0}, {30, 10, 0.0}});
}

TEST(Failure, InitializeFailsCleanlyAtEveryAllocation) {
    for (int n = 1; n < 12; ++n) {
        cVek_ToolBox box;
        vek::MemFailAfter(n);
        const bool ok = box.Initialize();
        vek::MemFailAfter(0);
        EXPECT_EQ(box.primaryTool != nullptr, ok) << n;
        EXPECT_EQ(box.ToolCount() == 0, !ok) << n;
    }
}
