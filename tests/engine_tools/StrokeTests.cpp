// Strokes through the tool box into a real picture: the coverage rule, pixel lines, wrap-around,
// the paint mask, smear behaviour, line mode, history and commit, and failures midway.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "ToolTestSupport.h"
#include "engine/picture/c_TesLayer_Wax.h"
#include "shell/MemBlock.h"

namespace {

constexpr uint32_t kPen = 1, kEraser = 2, kSmear = 11, kFingerpaint = 13;

std::vector<float> Snapshot(Canvas& c) {
    const float* p = c.ink->Pixels();
    return std::vector<float>(p, p + static_cast<size_t>(c.ink->width) * c.ink->height * 4);
}

} // namespace

TEST(CoverageRule, GoingBackOverTheSameSpotInOneStrokeChangesNothing) {
    Canvas once(80, 40), twice(80, 40);
    auto a = MakeBox(once, kPen), b = MakeBox(twice, kPen);
    a->softness[0] = b->softness[0] = 40;
    a->strength[0] = b->strength[0] = 60;
    once.Line(*a, 10, 20, 60, 20);
    twice.Press(*b, 10, 20);
    for (int pass = 0; pass < 3; ++pass)
        for (int x = 11; x < 60; ++x)
            twice.Move(*b, pass == 1 ? 70 - x : x, 20);
    twice.Release(*b, 60, 20);
    EXPECT_EQ(Snapshot(once), Snapshot(twice));
}

TEST(CoverageRule, PenAt40PercentOverOnePixelTwiceGivesAlpha04AndASecondStrokeCompounds) {
    Canvas c(64, 32);
    auto box = MakeBox(c, kPen);
    box->strength[0] = 40;
    box->size[0] = 9;
    c.Press(*box, 10, 16);
    for (int x = 11; x <= 50; ++x)
        c.Move(*box, x, 16);
    for (int x = 49; x >= 10; --x)
        c.Move(*box, x, 16);
    c.Release(*box, 10, 16);
    EXPECT_FLOAT_EQ(c.Px(30, 16)[3], 0.4f);
    EXPECT_FLOAT_EQ(c.Px(30, 16)[1], box->paint[0][1]);
    c.Line(*box, 10, 16, 50, 16);
    EXPECT_NEAR(c.Px(30, 16)[3], 0.64f, 1e-6); // 1 − 0.6²
    EXPECT_EQ(c.history->records, 2);
    EXPECT_EQ(c.history->recordsWithoutRegion, 0);
    EXPECT_FALSE(c.ink->changed.valid); // committed
}

TEST(PixelLine, SizeOneHardPenDrawsAnEightConnectedOnePixelLine) {
    Canvas c(120, 80);
    auto box = MakeBox(c, kPen);
    box->size[0] = 1;
    const float path[][2] = {{5.3f, 10.7f},  {20.2f, 17.9f},  {41.6f, 22.4f},
                             {70.1f, 50.3f}, {100.8f, 61.2f}, {90.4f, 75.5f}};
    c.Press(*box, path[0][0], path[0][1]);
    for (int i = 1; i < 6; ++i)
        for (int k = 1; k <= 8; ++k)
            c.Move(*box, path[i - 1][0] + (path[i][0] - path[i - 1][0]) * k / 8,
                   path[i - 1][1] + (path[i][1] - path[i - 1][1]) * k / 8);
    c.Release(*box, path[5][0], path[5][1]);
    std::vector<int> painted(120 * 80, 0);
    int count = 0;
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 120; ++x) {
            const float a = c.Px(x, y)[3];
            EXPECT_TRUE(a == 0.0f || a == 1.0f) << x << "," << y << " alpha " << a;
            if (a > 0) painted[y * 120 + x] = 1, ++count;
        }
    // One pixel thin: no 2 × 2 block is fully painted.
    for (int y = 0; y + 1 < 80; ++y)
        for (int x = 0; x + 1 < 120; ++x)
            EXPECT_LT(painted[y * 120 + x] + painted[y * 120 + x + 1] + painted[(y + 1) * 120 + x] +
                          painted[(y + 1) * 120 + x + 1],
                      4)
                << x << "," << y;
    // 8-connected: a flood from the first point reaches every painted pixel.
    std::vector<int> stack = {10 * 120 + 5};
    int reached = 0;
    painted[10 * 120 + 5] = 2;
    while (!stack.empty()) {
        const int at = stack.back();
        stack.pop_back();
        ++reached;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const int x = at % 120 + dx, y = at / 120 + dy;
                if (x < 0 || y < 0 || x >= 120 || y >= 80 || painted[y * 120 + x] != 1) continue;
                painted[y * 120 + x] = 2;
                stack.push_back(y * 120 + x);
            }
    }
    EXPECT_EQ(reached, count);
    EXPECT_GT(count, 110);
    EXPECT_EQ(c.Px(5, 10)[3], 1.0f);
    EXPECT_EQ(c.Px(90, 75)[3], 1.0f);
}

TEST(WrapAround, AStampAtMinusTwoPaintsTheRightEdgeOnlyWhenThePictureRepeats) {
    for (int repeat = 0; repeat < 2; ++repeat) {
        Canvas c(64, 32);
        c.pic->repeatX = static_cast<uint8_t>(repeat);
        auto box = MakeBox(c, kPen);
        box->size[0] = 9;
        c.Press(*box, -2, 16);
        c.Release(*box, -2, 16);
        EXPECT_EQ(c.Px(0, 16)[3], 1.0f);
        EXPECT_EQ(c.Px(2, 16)[3], 1.0f);
        EXPECT_EQ(c.Px(3, 16)[3], 0.0f);
        EXPECT_EQ(c.Px(63, 16)[3], repeat ? 1.0f : 0.0f);
        EXPECT_EQ(c.Px(58, 16)[3], repeat ? 1.0f : 0.0f); // -2 - 4 wraps to 58
        EXPECT_EQ(c.Px(57, 16)[3], 0.0f);
        EXPECT_EQ(c.history->records, 1);
    }
}

TEST(WrapAround, StrokeAcrossTheCornerOfATiledPictureStaysOneStroke) {
    Canvas c(40, 30);
    c.pic->repeatX = c.pic->repeatY = 1;
    auto box = MakeBox(c, kPen);
    box->size[0] = 7;
    box->subPixel = 1;
    c.Line(*box, 35.5f, 25.5f, 45.5f, 35.5f); // crosses both edges
    EXPECT_GT(c.Px(38, 28)[3], 0.9f);
    EXPECT_GT(c.Px(2, 2)[3], 0.9f); // (42, 32) wrapped
    EXPECT_EQ(c.Px(20, 15)[3], 0.0f);
    EXPECT_EQ(c.history->records, 1);
}

TEST(PaintMask, AVisibleWaxLayerAboveProtectsWhatItCovers) {
    Canvas c(60, 40);
    c_TesLayer_Wax* wax = c.pic->AddWaxLayer();
    ASSERT_NE(wax, nullptr);
    for (int y = 0; y < 40; ++y)
        for (int x = 30; x < 60; ++x)
            wax->Pixels()[y * 60 + x] = 1.0f;
    c.pic->SetCurrent(c.ink);
    auto box = MakeBox(c, kPen);
    box->size[0] = 11;
    c.Line(*box, 5, 20, 55, 20);
    EXPECT_EQ(c.Px(20, 20)[3], 1.0f);
    EXPECT_EQ(c.Px(40, 20)[3], 0.0f);
    EXPECT_EQ(c.Px(30, 20)[3], 0.0f);
    wax->Hide();
    c.Line(*box, 5, 20, 55, 20);
    EXPECT_EQ(c.Px(40, 20)[3], 1.0f);
}

TEST(PaintMask, PaintingOnAWaxLayerItselfChangesNothing) {
    Canvas c(30, 20);
    c_TesLayer_Wax* wax = c.pic->AddWaxLayer(); // now the current layer
    auto box = MakeBox(c, kPen);
    const std::vector<float> before(wax->Pixels(), wax->Pixels() + 600);
    EXPECT_EQ(c.Press(*box, 10, 10), 0);
    c.Release(*box, 12, 10);
    EXPECT_EQ(std::vector<float>(wax->Pixels(), wax->Pixels() + 600), before);
    EXPECT_EQ(c.history->records, 0);
}

TEST(Eraser, FortyPercentLeavesSixtyPercentEvenWhereTheStrokeCrossesItself) {
    Canvas c(64, 64);
    c.Fill(0.2f, 0.5f, 0.9f, 1.0f);
    auto box = MakeBox(c, kEraser);
    box->strength[0] = 40;
    box->size[0] = 9;
    const float path[][2] = {{10, 32}, {54, 32}, {54, 10}, {32, 10}, {32, 54}};
    c.Press(*box, 10, 32);
    for (int i = 1; i < 5; ++i) {
        const float x0 = path[i - 1][0], y0 = path[i - 1][1], x1 = path[i][0], y1 = path[i][1];
        for (int k = 1; k <= 44; ++k)
            c.Move(*box, x0 + (x1 - x0) * k / 44, y0 + (y1 - y0) * k / 44);
    }
    c.Release(*box, 32, 54);
    EXPECT_NEAR(c.Px(32, 32)[3], 0.6f, 1e-6); // crossing
    EXPECT_NEAR(c.Px(20, 32)[3], 0.6f, 1e-6);
    EXPECT_FLOAT_EQ(c.Px(20, 32)[2], 0.9f); // colour kept
    EXPECT_FLOAT_EQ(c.Px(5, 5)[3], 1.0f);
}

TEST(Eraser, ErasingCompletelyLeavesNoColourBehind) {
    Canvas c(30, 30);
    c.Fill(1.0f, 0.3f, 0.1f, 0.5f);
    auto box = MakeBox(c, kEraser);
    c.Line(*box, 5, 15, 25, 15);
    const float* p = c.Px(15, 15);
    EXPECT_EQ(p[0], 0.0f);
    EXPECT_EQ(p[1], 0.0f);
    EXPECT_EQ(p[2], 0.0f);
    EXPECT_EQ(p[3], 0.0f);
}

TEST(Smear, AColourEdgeIsDraggedAlongAndThenFades) {
    Canvas c(320, 60);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 320; ++x) {
            float* p = c.Px(x, y);
            p[0] = x < 100 ? 1.0f : 0.0f, p[1] = 0.0f, p[2] = x < 100 ? 0.0f : 1.0f, p[3] = 1.0f;
        }
    c.ink->DropBackup();
    auto box = MakeBox(c, kSmear);
    box->size[0] = 20;
    c.Line(*box, 80, 30, 300, 30);
    auto red = [&](int x) { return c.Px(x, 30)[0] / (c.Px(x, 30)[0] + c.Px(x, 30)[2]); };
    EXPECT_GT(red(110), 0.9f); // the first colour is dragged into the second
    for (int x = 100; x < 260; ++x)
        EXPECT_GE(red(x) + 1e-4f, red(x + 1)) << x;
    int from = 0, to = 0;
    for (int x = 100; x < 300; ++x) {
        if (!from && red(x) < 0.9f) from = x;
        if (!to && red(x) < 0.1f) to = x;
    }
    EXPECT_GT(to - from, 10); // a gradual fade, not a cut
    EXPECT_LT(to - from, 60); // within a few tip diameters
    EXPECT_LT(red(260), 0.01f);
    EXPECT_EQ(c.Px(310, 10)[0], 0.0f);
    EXPECT_TRUE(box->pickUp.Empty()); // released at the end of the stroke
}

TEST(Smear, GoingTwiceOverAnAreaSmearsItFurther) {
    Canvas c(200, 40);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x) {
            float* p = c.Px(x, y);
            p[0] = x < 100 ? 1.0f : 0.0f, p[1] = 0.0f, p[2] = x < 100 ? 0.0f : 1.0f, p[3] = 1.0f;
        }
    c.ink->DropBackup();
    auto box = MakeBox(c, 12); // the engine's Smudge pushes a short way
    box->size[0] = 20;
    c.Line(*box, 80, 20, 160, 20);
    const float once = c.Px(110, 20)[0];
    EXPECT_GT(once, 0.05f);
    EXPECT_LT(c.Px(120, 20)[0], 0.02f);
    c.Line(*box, 80, 20, 160, 20);
    EXPECT_GT(c.Px(110, 20)[0], once + 0.3f);
    EXPECT_GT(c.Px(120, 20)[0], 0.05f);
}

TEST(Smear, FingerpaintLaysThePaintColourAtTheStartOfAStrokeOnAnEmptyLayer) {
    Canvas c(100, 40);
    auto box = MakeBox(c, kFingerpaint);
    box->size[0] = 12;
    box->paint[0][0] = 0.9f, box->paint[0][1] = 0.1f, box->paint[0][2] = 0.2f;
    c.Line(*box, 10, 20, 90, 20);
    EXPECT_NEAR(c.Px(10, 20)[0], 0.9f, 1e-5);
    EXPECT_GT(c.Px(10, 20)[3], 0.9f);
    EXPECT_LT(c.Px(60, 20)[3], c.Px(15, 20)[3]); // fading as the finger picks up transparency
    for (int x = 0; x < 100; ++x)
        if (c.Px(x, 20)[3] == 0.0f) {
            EXPECT_EQ(c.Px(x, 20)[0], 0.0f) << x;
        }
}

TEST(LineMode, PressStoresTheFirstAnchorMovesFollowAndTheReleaseAppliesOnce) {
    Canvas c(100, 60);
    auto box = MakeBox(c, kPen);
    box->size[0] = 3;
    box->drawMode[0] = 1;
    c.Press(*box, 10, 10);
    c.Move(*box, 50, 50);
    c.Move(*box, 80, 5);
    EXPECT_EQ(box->anchors[1][0], 80.0f);
    EXPECT_EQ(box->anchors[1][2], -1.0f); // the rubber band: not yet an anchor
    EXPECT_EQ(c.Px(50, 50)[3], 0.0f);
    EXPECT_EQ(c.history->records, 0);
    c.Release(*box, 90, 10);
    EXPECT_EQ(c.history->records, 1);
    EXPECT_EQ(c.Px(50, 10)[3], 1.0f); // on the line from (10, 10) to (90, 10)
    EXPECT_EQ(c.Px(50, 50)[3], 0.0f); // the moves did not paint
    EXPECT_EQ(c.Px(80, 5)[3], 0.0f);
    EXPECT_EQ(box->anchors[0][2], -1.0f); // list emptied
    EXPECT_FALSE(c.ink->changed.valid);
}

TEST(LineMode, ASecondPressStartsANewPairEvenWithAnOddAnchorLeft) {
    Canvas c(100, 60);
    auto box = MakeBox(c, kPen);
    box->size[0] = 3;
    box->drawMode[0] = 1;
    c.Press(*box, 10, 50); // its release never comes
    c.Press(*box, 10, 10);
    c.Release(*box, 90, 10);
    EXPECT_EQ(c.history->records, 1);
    EXPECT_EQ(c.Px(50, 10)[3], 1.0f);
    EXPECT_EQ(c.Px(10, 30)[3], 0.0f); // nothing from (10, 50) to (10, 10)
    EXPECT_EQ(c.Px(50, 30)[3], 0.0f);
}

TEST(StrokeEnd, APressWithoutTheReleaseOfThePreviousStrokeKeepsThatStroke) {
    Canvas c(100, 40);
    auto box = MakeBox(c, kPen);
    box->size[0] = 5;
    c.Press(*box, 10, 10);
    for (int x = 11; x < 90; ++x)
        c.Move(*box, x, 10);
    // The release got lost; the next stroke crosses the first.
    c.Line(*box, 50, 2, 50, 30);
    EXPECT_EQ(c.history->records, 2);
    EXPECT_EQ(c.Px(20, 10)[3], 1.0f);
    EXPECT_EQ(c.Px(80, 10)[3], 1.0f);
    EXPECT_EQ(c.Px(50, 25)[3], 1.0f);
}

TEST(StrokeEnd, MovesAfterTheReleaseDoNotPaint) {
    Canvas c(100, 40);
    auto box = MakeBox(c, kPen);
    c.Line(*box, 10, 10, 30, 10);
    const auto after = Snapshot(c);
    for (int x = 30; x < 90; ++x)
        c.Move(*box, x, 30);
    EXPECT_EQ(Snapshot(c), after);
}

TEST(Failure, AnAllocationFailureAtThePressLeavesTheLayerAndLetsTheNextStrokePaint) {
    Canvas c(64, 32);
    auto box = MakeBox(c, kPen);
    box->size[0] = 5;
    c.ink->DropBackup();
    const auto before = Snapshot(c);
    vek::MemFailAfter(0, true);
    c.Press(*box, 10, 10);
    c.Move(*box, 30, 10);
    c.Release(*box, 50, 10);
    vek::MemFailAfter(0);
    EXPECT_EQ(Snapshot(c), before);
    EXPECT_EQ(c.history->records, 0);
    c.Line(*box, 10, 20, 50, 20);
    EXPECT_EQ(c.Px(30, 20)[3], 1.0f);
    EXPECT_EQ(c.Px(30, 10)[3], 0.0f);
}

TEST(Failure, InitializeFailsCleanlyAtEveryAllocation) {
    for (int n = 1; n < 12; ++n) {
        cVek_ToolBox box;
        vek::MemFailAfter(n);
        const bool ok = box.Initialize();
        vek::MemFailAfter(0);
        if (ok) {
            EXPECT_NE(box.primaryTool, nullptr);
        } else {
            EXPECT_EQ(box.primaryTool, nullptr) << n;
            EXPECT_EQ(box.ToolCount(), 0) << n;
        }
    }
}

TEST(TipCache, ChangingSizeOrStrengthBetweenStrokesRebuildsTheTip) {
    Canvas c(100, 60);
    auto box = MakeBox(c, kPen);
    box->size[0] = 5;
    c.Line(*box, 10, 15, 90, 15);
    box->size[0] = 15;
    box->strength[0] = 50;
    c.Line(*box, 10, 40, 90, 40);
    EXPECT_EQ(c.Px(50, 18)[3], 0.0f); // the first stroke was thin
    EXPECT_EQ(c.Px(50, 46)[3], 0.5f); // the second wide, at half strength
    EXPECT_EQ(c.Px(50, 40)[3], 0.5f);
}

TEST(PixelPen, PaintsSinglePixelsWhateverTheSizeSetting) {
    Canvas c(60, 40);
    auto box = MakeBox(c, 9);
    box->size[0] = 50;
    box->softness[0] = 60;
    box->subPixel = 1; // the pixel pen switches it off
    box->strength[0] = 70;
    c.Line(*box, 10.6f, 20.3f, 50.2f, 20.3f);
    int painted = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x)
            if (c.Px(x, y)[3] > 0) {
                ++painted;
                EXPECT_EQ(y, 20);
                EXPECT_FLOAT_EQ(c.Px(x, y)[3], 0.7f);
            }
    EXPECT_EQ(painted, 41);
}

TEST(BlendPens, TheColorizerLeavesTransparentPixelsAloneAndKeepsAlpha) {
    Canvas c(60, 40);
    for (int y = 0; y < 40; ++y)
        for (int x = 30; x < 60; ++x) {
            float* p = c.Px(x, y);
            p[0] = 0.2f, p[1] = 0.6f, p[2] = 0.2f, p[3] = 0.8f;
        }
    c.ink->DropBackup();
    auto box = MakeBox(c, 18);
    box->size[0] = 9;
    box->paint[0][0] = 1.0f, box->paint[0][1] = 0.0f, box->paint[0][2] = 0.0f;
    c.Line(*box, 5, 20, 55, 20);
    EXPECT_EQ(c.Px(15, 20)[3], 0.0f);
    EXPECT_EQ(c.Px(15, 20)[0], 0.0f);
    EXPECT_FLOAT_EQ(c.Px(45, 20)[3], 0.8f);
    EXPECT_GT(c.Px(45, 20)[0], c.Px(45, 20)[1]); // recoloured towards red
    // The button's blend mode applies to the plain pen only when enabled.
    Canvas d(60, 40);
    d.Fill(0.5f, 0.5f, 0.5f, 1.0f);
    auto pen = MakeBox(d, kPen);
    pen->size[0] = 9;
    pen->blendMode[0] = 3; // multiply
    pen->paint[0][0] = 0.5f, pen->paint[0][1] = 1.0f, pen->paint[0][2] = 1.0f;
    d.Line(*pen, 5, 10, 55, 10);
    EXPECT_FLOAT_EQ(d.Px(30, 10)[0], 0.5f); // not enabled: painted over
    pen->blendEnabled[0] = 1;
    d.Line(*pen, 5, 30, 55, 30);
    EXPECT_FLOAT_EQ(d.Px(30, 30)[0], 0.25f);
    EXPECT_FLOAT_EQ(d.Px(30, 30)[1], 0.5f);
}

TEST(Failure, ASmearScratchThatCannotBeMadeSkipsStampsButTheStrokeEnds) {
    Canvas c(120, 40);
    c.Fill(0.3f, 0.3f, 0.9f, 1.0f);
    auto box = MakeBox(c, kPen);
    box->size[0] = 9;
    c.Line(*box, 10, 35, 100, 35); // backup, coverage and masks exist from here on
    box->SetPrimaryTool(kSmear);
    const auto before = Snapshot(c);
    vek::MemFailAfter(0, true); // the pick-up and the smear scratch cannot be made
    c.Press(*box, 10, 20);
    for (int x = 11; x < 60; ++x)
        c.Move(*box, x, 20);
    vek::MemFailAfter(0);
    EXPECT_EQ(Snapshot(c), before); // every stamp so far was skipped
    for (int x = 60; x < 100; ++x)
        c.Move(*box, x, 20);
    c.Release(*box, 100, 20);
    EXPECT_EQ(c.history->records, 2);
    EXPECT_FALSE(c.ink->changed.valid);
    EXPECT_TRUE(box->pickUp.Empty());
}

TEST(StrokeEnd, SwitchingPicturesMidStrokeKeepsTheStrokeInTheFirstPicture) {
    Canvas first(80, 40), second(80, 40);
    auto box = MakeBox(first, kPen);
    box->size[0] = 5;
    first.Press(*box, 10, 20);
    for (int x = 11; x < 50; ++x)
        first.Move(*box, x, 20);
    box->SetPicture(second.pic.get());
    EXPECT_EQ(first.history->records, 1);
    EXPECT_FALSE(first.ink->changed.valid);
    first.ink->DropBackup(); // the stroke is in the pixels, not only in a stale backup
    EXPECT_EQ(first.Px(30, 20)[3], 1.0f);
    second.Line(*box, 10, 10, 70, 10);
    EXPECT_EQ(second.Px(40, 10)[3], 1.0f);
    EXPECT_EQ(second.Px(30, 20)[3], 0.0f);
}
