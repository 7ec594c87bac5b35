// The tool box itself: the engine catalogue, tool lookup, right-button resolution, split
// handling and its per-frame bookkeeping, the event queue, frame forcing, recording and replay.
#include <cstring>

#include "ToolTestSupport.h"
#include "shell/ShellState.h"

TEST(EngineCatalogue, HoldsThePenSmearAndEraserFamiliesInOrderAndFallsBackToThePen) {
    cVek_ToolBox box;
    ASSERT_TRUE(box.Initialize());
    EXPECT_EQ(Catalogue(box),
              "1 Pen →2 P; 9 Pixel Pen →10 P; 3 2-Color Pen →2 P O cone; 4 3-Color Pen →2 P I O cone; "
              "18 Colorizer →5 P; 19 Lighten →20; 20 Darken →19; 2 Eraser →53; 8 Sprinkled Pen →2 P H; "
              "11 Smear →53 k0.75; 12 Smudge →53 k0.25; 13 Fingerpaint →11 P k0.7; "
              "14 Oil Paint →11 P k0.8; 15 Pastel →12 P k0.4");
    EXPECT_EQ(box.FindTool(53)->id, 1u); // no "Pan Pic In Viewer" among these tools
    EXPECT_EQ(cVek_ToolBox().FindTool(1), nullptr);
}

TEST(RightButton, TwoButtonSplitUsesTheRightValuesOfSplitSettingsOnly) {
    Canvas c(80, 40);
    auto box = MakeBox(c, 1);
    box->twoButtonSplit = 1, box->complementSplitOn = 0, box->toolSplit = 0;
    box->size[0] = 3, box->size[1] = 9;
    box->strength[0] = 100, box->strength[1] = 40; // strength is not split
    box->settingSplit[cVek_ToolBox::kSize] = 1;
    box->colourSplit[cVek_ToolBox::kPaint] = 1;
    c.Line(*box, 10, 20, 60, 20, 2);
    EXPECT_EQ(c.Alpha(30, 24), 1.0f); // size 9
    EXPECT_FLOAT_EQ(c.Px(30, 20)[0], box->paint[1][0]);
    box->settingSplit[cVek_ToolBox::kStrength] = 1;
    c.Line(*box, 10, 10, 60, 10, 2);
    EXPECT_FLOAT_EQ(c.Alpha(30, 10), 0.4f);
    EXPECT_EQ(box->Setting(cVek_ToolBox::kBlendMode, 2), 0); // a mode counts only when enabled
    box->blendEnabled[0] = 1, box->blendMode[0] = 3;
    EXPECT_EQ(box->Setting(cVek_ToolBox::kBlendMode, 1), 3);
    EXPECT_EQ(box->Setting(cVek_ToolBox::kStrength, 2), 40);
}

TEST(Split, RightClickTurnsSplitOnWithOnlyTheClickedTargetThenTogglesAndColoursGoWhereSplit) {
    cVek_ToolBox box;
    box.SplitClick(cVek_ToolBox::kSplitSettings + cVek_ToolBox::kStrength, false);
    EXPECT_EQ(box.twoButtonSplit, 0u); // a left click is the control's own business
    box.SplitClick(cVek_ToolBox::kSplitSettings + cVek_ToolBox::kStrength, true);
    EXPECT_EQ(box.twoButtonSplit, 1u);
    EXPECT_EQ(box.toolSplit + box.settingSplit[cVek_ToolBox::kSize] + box.colourSplit[cVek_ToolBox::kPaint],
              0);
    EXPECT_EQ(box.settingSplit[cVek_ToolBox::kStrength], 1);
    EXPECT_EQ(box.complementSplitOn, 1u);
    box.SplitClick(cVek_ToolBox::kSplitColours + cVek_ToolBox::kOuterEdge, true);
    EXPECT_EQ(box.colourSplit[cVek_ToolBox::kOuterEdge], 1);
    box.SplitClick(cVek_ToolBox::kSplitColours + cVek_ToolBox::kOuterEdge, true);
    EXPECT_EQ(box.colourSplit[cVek_ToolBox::kOuterEdge], 0);
    const float blue[3] = {0, 0, 1};
    box.SetColour(cVek_ToolBox::kPaint, blue, 2); // paint is not split: the left value takes it
    EXPECT_EQ(box.paint[0][2], 1.0f);
    cVek_ToolBox tool;
    tool.SplitClick(cVek_ToolBox::kSplitTool, true);
    EXPECT_EQ(tool.toolSplit, 1);
    EXPECT_EQ(tool.complementSplitOn, 0u); // the split tool and the complement exclude each other
    const float red[3] = {1, 0, 0};
    tool.SplitClick(cVek_ToolBox::kSplitColours + cVek_ToolBox::kPaint, true);
    tool.SetColour(cVek_ToolBox::kPaint, red, 2);
    EXPECT_TRUE(tool.paint[1][0] == 1.0f && tool.paint[0][0] != 1.0f);
}

TEST(Split, FrameBookkeepingKeepsSplitToolAndComplementExclusiveAndSwitchesAnEmptySplitOff) {
    cVek_ToolBox box;
    box.UpdateSplitState();
    EXPECT_EQ(box.toolSplit, 0); // complement on: the tool split gives way
    box.twoButtonSplit = 1;
    std::memset(box.settingSplit, 0, sizeof box.settingSplit);
    std::memset(box.colourSplit, 0, sizeof box.colourSplit);
    box.UpdateSplitState();
    EXPECT_EQ(box.colourSplit[cVek_ToolBox::kPaint], 1); // switched on with nothing split
    box.toolSplit = 1;
    box.UpdateSplitState();
    EXPECT_EQ(box.complementSplitOn, 0u);
    EXPECT_EQ(box.toolSplit, 1);
    box.complementSplitOn = 1;
    box.UpdateSplitState();
    EXPECT_EQ(box.toolSplit, 0);
    box.colourSplit[cVek_ToolBox::kPaint] = 0;
    box.complementSplitOn = 0, box.complementSplitOff = 1;
    box.UpdateSplitState();
    EXPECT_EQ(box.twoButtonSplit, 0u);     // nothing split any more
    EXPECT_EQ(box.complementSplitOff, 0u); // takes the split-on value when the split goes
}

TEST(EventQueue, GrowsBeyondItsFirstCapacityWithinOneStroke) {
    Canvas c(64, 64);
    auto box = MakeBox(c, 1);
    box->size[0] = 1;
    c.Press(*box, 1, 1);
    for (int i = 0; i < 10100; ++i)
        c.Move(*box, 1.0f + (i % 60), 1.0f + (i / 200));
    EXPECT_EQ(box->queueCapacity, 12000);
    EXPECT_EQ(box->queueCount, 10101);
    c.Release(*box, 5, 5);
    EXPECT_EQ(c.history->records, 1);
    EXPECT_GT(c.Alpha(30, 30), 0.0f);
}

TEST(EventQueue, APressForcesFramesUntilTheLineOrTheFreehandStrokeEnds) {
    for (int line = 0; line < 2; ++line) {
        Canvas c(64, 64);
        auto box = MakeBox(c, 1);
        box->drawMode[0] = line;
        vek::shell::SetStrokeFrameForcing(0);
        vek::shell::Flood().deadline = 3.0;
        c.Press(*box, 5, 5);
        EXPECT_EQ(vek::shell::Flood().strokeFrameForcing, 2);
        EXPECT_EQ(vek::shell::Flood().deadline, 0.0);
        c.Move(*box, 30, 5);
        EXPECT_EQ(vek::shell::Flood().strokeFrameForcing, 2) << line;
        c.Release(*box, 40, 5);
        EXPECT_EQ(vek::shell::Flood().strokeFrameForcing, 0) << line;
    }
}

TEST(Recording, ReplayRepaintsTheRecordedStrokesWithoutHistory) {
    Canvas c(64, 32);
    auto box = MakeBox(c, 1);
    box->StartRecording();
    c.Line(*box, 5, 10, 50, 10);
    c.Line(*box, 5, 20, 50, 20);
    box->EndRecordingOrReplay();
    EXPECT_EQ(box->recordCount, 2 * 46); // press, 44 moves and release per line
    c.Fill(0, 0, 0, 0);
    box->StartReplay();
    c.ExpectAlphas({{30, 10, 1}, {30, 20, 1}});
    EXPECT_EQ(c.history->records, 2); // the recorded strokes' own
    c.Press(*box, 5, 5);              // a new event ends the replay first
    EXPECT_EQ(box->recordingState + box->historySuppressed, 0u);
}
