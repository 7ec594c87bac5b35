// The tool box itself: the engine catalogue, tool lookup, right-button resolution, split
// handling and its per-frame bookkeeping, the event queue's growth, recording and replay.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ToolTestSupport.h"
#include "engine/tools/cTes_ToolFreehandTip.h"
#include "engine/tools/cTes_Tool_Smear.h"
#include "shell/ShellState.h"

TEST(EngineCatalogue, HoldsThePenSmearAndEraserFamiliesInCatalogueOrder) {
    cVek_ToolBox box;
    ASSERT_TRUE(box.Initialize());
    const uint32_t ids[] = {1, 9, 3, 4, 18, 19, 20, 2, 8, 11, 12, 13, 14, 15};
    const char* names[] = {"Pen",     "Pixel Pen",   "2-Color Pen", "3-Color Pen",   "Colorizer",
                           "Lighten", "Darken",      "Eraser",      "Sprinkled Pen", "Smear",
                           "Smudge",  "Fingerpaint", "Oil Paint",   "Pastel"};
    const uint32_t complements[] = {2, 10, 2, 2, 5, 20, 19, 53, 2, 53, 53, 11, 11, 12};
    ASSERT_EQ(box.ToolCount(), 14);
    for (int i = 0; i < 14; ++i) {
        EXPECT_EQ(box.tools[i]->id, ids[i]);
        EXPECT_STREQ(box.tools[i]->name, names[i]);
        EXPECT_EQ(box.tools[i]->complementId, complements[i]) << names[i];
        EXPECT_TRUE(box.tools[i]->IsKind(kToolKind_FreehandTip));
        EXPECT_TRUE(box.tools[i]->IsKind(kToolKind_Tool));
        EXPECT_FALSE(box.tools[i]->IsKind(kToolKind_FreehandTimed));
        EXPECT_EQ(box.tools[i]->frameForcingMode, 2);
        EXPECT_EQ(box.tools[i]->hasDrawMode, 1);
        EXPECT_EQ(box.tools[i]->restartPairs, 1);
    }
    EXPECT_STREQ(box.primaryTool->name, "Oil Paint");
    EXPECT_EQ(box.FindTool(18)->blendMode, 56);
    EXPECT_EQ(box.FindTool(19)->blendMode, 1);
    EXPECT_EQ(box.FindTool(20)->blendMode, 2);
    EXPECT_EQ(box.FindTool(19)->usesPaint, 0);
    EXPECT_EQ(box.FindTool(9)->hasSize, 0);
    EXPECT_EQ(box.FindTool(9)->hasSoftness, 0);
    EXPECT_EQ(box.FindTool(1)->blendMode, -1000);
    EXPECT_EQ(box.FindTool(4)->usesInnerEdge, 1);
    const float factors[][2] = {{11, 0.75f}, {12, 0.25f}, {13, 0.7f}, {14, 0.8f}, {15, 0.4f}};
    for (const auto& f : factors) {
        auto* smear = static_cast<cTes_Tool_Smear*>(box.FindTool(static_cast<uint32_t>(f[0])));
        EXPECT_FLOAT_EQ(smear->smearFactor, f[1]);
        EXPECT_EQ(smear->needsPickUp, 1);
        EXPECT_EQ(smear->usesPaint, f[0] >= 13 ? 1 : 0);
    }
    EXPECT_EQ(box.distanceN[0], 300);
    EXPECT_EQ(box.distanceN[1], 299);
    EXPECT_STREQ(GetToolDescription(12), "Use this to push pixels short distances.");
}

TEST(EngineCatalogue, FindToolFallsBackToThePenAndThenToNothing) {
    cVek_ToolBox box;
    ASSERT_TRUE(box.Initialize());
    EXPECT_EQ(box.FindTool(53)->id, 1u); // no "Pan Pic In Viewer" among these tools
    EXPECT_EQ(box.FindTool(11)->id, 11u);
    cVek_ToolBox empty;
    EXPECT_EQ(empty.FindTool(1), nullptr);
}

TEST(RightButton, ComplementToolOrPenAndTheLeftSettingsWhileNotSplit) {
    Canvas c(80, 40);
    auto box = MakeBox(c, 1); // Pen; its complement is the Eraser
    c.Fill(0.0f, 0.0f, 1.0f, 1.0f);
    box->size[0] = 5, box->size[1] = 15;
    c.Line(*box, 10, 20, 60, 20, 1.0f, 2);
    EXPECT_EQ(c.Px(30, 20)[3], 0.0f); // erased
    EXPECT_EQ(c.Px(30, 25)[3], 1.0f); // with the left size 5, not 15
    box->complementSplitOff = 0;
    box->SetPrimaryTool(2); // Eraser; the right button now gets 53, which falls back to the Pen
    c.Line(*box, 10, 30, 60, 30, 1.0f, 2);
    EXPECT_EQ(c.Px(30, 30)[3], 1.0f);
    EXPECT_FLOAT_EQ(c.Px(30, 30)[1], box->paint[0][1]);
}

TEST(RightButton, TwoButtonSplitUsesTheRightValuesOfSplitSettingsOnly) {
    Canvas c(80, 40);
    auto box = MakeBox(c, 1);
    box->twoButtonSplit = 1;
    box->complementSplitOn = 0;
    box->toolSplit = 0;
    box->size[0] = 3, box->size[1] = 9;
    box->strength[0] = 100, box->strength[1] = 40; // strength is not split
    box->settingSplit[cVek_ToolBox::kSize] = 1;
    box->colourSplit[cVek_ToolBox::kPaint] = 1;
    c.Line(*box, 10, 20, 60, 20, 1.0f, 2);
    EXPECT_EQ(c.Px(30, 24)[3], 1.0f); // size 9
    EXPECT_FLOAT_EQ(c.Px(30, 20)[0], box->paint[1][0]);
    box->settingSplit[cVek_ToolBox::kStrength] = 1;
    c.Line(*box, 10, 10, 60, 10, 1.0f, 2);
    EXPECT_FLOAT_EQ(c.Px(30, 10)[3], 0.4f);
}

TEST(Split, RightClickTurnsSplitOnWithOnlyTheClickedTargetThenToggles) {
    cVek_ToolBox box;
    box.complementSplitOff = 1;
    box.SplitClick(cVek_ToolBox::kSplitSettings + cVek_ToolBox::kStrength, false);
    EXPECT_EQ(box.twoButtonSplit, 0u); // a left click is the control's own business
    box.SplitClick(cVek_ToolBox::kSplitSettings + cVek_ToolBox::kStrength, true);
    EXPECT_EQ(box.twoButtonSplit, 1u);
    EXPECT_EQ(box.toolSplit, 0);
    EXPECT_EQ(box.settingSplit[cVek_ToolBox::kSize], 0);
    EXPECT_EQ(box.settingSplit[cVek_ToolBox::kStrength], 1);
    EXPECT_EQ(box.colourSplit[cVek_ToolBox::kPaint], 0);
    EXPECT_EQ(box.complementSplitOn, 1u);
    box.SplitClick(cVek_ToolBox::kSplitColours + cVek_ToolBox::kOuterEdge, true);
    EXPECT_EQ(box.colourSplit[cVek_ToolBox::kOuterEdge], 1);
    box.SplitClick(cVek_ToolBox::kSplitColours + cVek_ToolBox::kOuterEdge, true);
    EXPECT_EQ(box.colourSplit[cVek_ToolBox::kOuterEdge], 0);
    cVek_ToolBox tool;
    tool.SplitClick(cVek_ToolBox::kSplitTool, true);
    EXPECT_EQ(tool.toolSplit, 1);
    EXPECT_EQ(tool.complementSplitOn, 0u); // the split tool and the complement exclude each other
}

TEST(Split, FrameBookkeepingKeepsSplitToolAndComplementExclusiveAndSwitchesAnEmptySplitOff) {
    cVek_ToolBox box;
    box.UpdateSplitState();
    EXPECT_EQ(box.toolSplit, 0); // complement on: the tool split gives way
    box.twoButtonSplit = 1;
    for (uint8_t& f : box.settingSplit)
        f = 0;
    for (uint8_t& f : box.colourSplit)
        f = 0;
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
    box.complementSplitOn = 0;
    box.complementSplitOff = 1;
    box.UpdateSplitState();
    EXPECT_EQ(box.twoButtonSplit, 0u);     // nothing split any more
    EXPECT_EQ(box.complementSplitOff, 0u); // takes the split-on value when the split goes
}

TEST(Settings, ColourSetterWritesTheRightValueOnlyWhenThatColourIsSplit) {
    cVek_ToolBox box;
    const float red[3] = {1, 0, 0};
    box.SetColour(cVek_ToolBox::kPaint, red, 2);
    EXPECT_EQ(box.paint[0][0], 1.0f); // split off: the left value
    box.twoButtonSplit = 1;
    const float blue[3] = {0, 0, 1};
    box.SetColour(cVek_ToolBox::kPaint, blue, 2);
    EXPECT_EQ(box.paint[1][2], 1.0f);
    EXPECT_EQ(box.paint[0][0], 1.0f);
    uint8_t bytes[2] = {0, 1};
    box.SetStateBytes(bytes);
    uint8_t back[2] = {9, 9};
    box.GetStateBytes(back);
    EXPECT_EQ(back[0], 0);
    EXPECT_EQ(back[1], 1);
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
    EXPECT_GT(c.Px(30, 30)[3], 0.0f);
}

TEST(EventQueue, APressSetsTheFrameForcingFlagOnlyForPointEvents) {
    Canvas c(64, 64);
    auto box = MakeBox(c, 1);
    box->drawMode[0] = 1;
    vek::shell::Flood().deadline = 3.0;
    c.Press(*box, 5, 5);
    EXPECT_EQ(vek::shell::Flood().strokeFrameForcing, 2);
    EXPECT_EQ(vek::shell::Flood().deadline, 0.0);
    c.Release(*box, 30, 5);
    EXPECT_EQ(vek::shell::Flood().strokeFrameForcing, 0);
}

TEST(EventQueue, AFreehandStrokeForcesFramesFromItsPressToItsEnd) {
    Canvas c(64, 64);
    auto box = MakeBox(c, 1);
    vek::shell::SetStrokeFrameForcing(0);
    vek::shell::Flood().deadline = 2.0;
    c.Press(*box, 5, 5);
    EXPECT_EQ(vek::shell::Flood().strokeFrameForcing, 2);
    EXPECT_EQ(vek::shell::Flood().deadline, 0.0);
    c.Move(*box, 30, 5);
    EXPECT_EQ(vek::shell::Flood().strokeFrameForcing, 2);
    c.Release(*box, 40, 5);
    EXPECT_EQ(vek::shell::Flood().strokeFrameForcing, 0);
}

TEST(Recording, ReplayRepaintsTheRecordedStrokesWithoutHistory) {
    Canvas c(64, 32);
    auto box = MakeBox(c, 1);
    box->StartRecording();
    c.Line(*box, 5, 10, 50, 10);
    c.Line(*box, 5, 20, 50, 20);
    EXPECT_EQ(c.history->records, 2);
    box->EndRecordingOrReplay();
    EXPECT_EQ(box->recordCount, 2 * 46); // press, 44 moves and release per line
    c.Fill(0, 0, 0, 0);
    box->StartReplay();
    EXPECT_EQ(box->recordingState, 2u);
    EXPECT_EQ(c.Px(30, 10)[3], 1.0f);
    EXPECT_EQ(c.Px(30, 20)[3], 1.0f);
    EXPECT_EQ(c.history->records, 2);
    c.Press(*box, 5, 5); // a new event ends the replay first
    EXPECT_EQ(box->recordingState, 0u);
    EXPECT_EQ(box->historySuppressed, 0u);
    c.Release(*box, 5, 5);
}
