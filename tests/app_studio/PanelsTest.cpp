// The panels: the nine tools, the six pen sizes, undo and redo with their step counts and help, and
// the palette (selecting, the right-button colour, redefining, resetting).
#include "StudioScene.h"

#include "app/Commands.h"
#include "app/StudioPanelState.h"
#include "app/UndoPanel.h"
#include "engine/tools/cTes_Tool.h"
#include "resources/ProgramState.h"
#include "ui/MenuWindow.h"

namespace studio_test {
namespace {

using scribbix::Studio;

class Panels : public StudioScene {
  protected:
    static std::vector<float> Rgb(const float* p) { return {p[0], p[1], p[2]}; }
    std::vector<float> Paint() const { return Rgb(toolBox->Colour(cVek_ToolBox::kPaint, 1)); }
    static std::vector<float> Entry(int k) { return Rgb(scribbix::PaletteColour(scribbix::State(), k)); }
};

TEST_F(Panels, EachToolButtonSelectsItsToolInTheToolBox) {
    // Pen, Soft Pen, Eraser; Dark, Medium and Light 3D Pen; Glitter Pen, Smudge, Drag.
    const uint32_t ids[9] = {1, 1020002, 2, 1020000, 1020003, 1020001, 8, 1020005, 1020004};
    for (int k = 8; k >= 0; --k) { // from the last, so the default (4th) is not the first click
        Click(CellRect({Studio::kTools, 3, k / 3, 3, k % 3}));
        EXPECT_EQ(uint32_t(scribbix::State().selectedTool), ids[k]) << k;
        ASSERT_NE(toolBox->primaryTool, nullptr);
        EXPECT_EQ(toolBox->primaryTool->id, ids[k]) << k;
    }
}

TEST_F(Panels, PenSizeIsAShareOfTheShorterSideNeverBelowOneNorAbove250) {
    EXPECT_EQ(scribbix::PenSizePixels(5, 1920, 1080), 81);
    EXPECT_EQ(scribbix::PenSizePixels(0, 100, 100), 1);
    EXPECT_EQ(scribbix::PenSizePixels(2, 1000, 3), 1);
    EXPECT_EQ(scribbix::PenSizePixels(5, 5000, 4000), 250);
    const int pixels[6] = {5, 10, 20, 35, 50, 75}; // 1000 x {5, 10, 20, 35, 50, 75} / 1000
    for (int k = 0; k < 6; ++k) {
        Click(CellRect({Studio::kPenSizes, 2, k / 3, 3, k % 3}));
        EXPECT_EQ(scribbix::State().penSizeIndex, k);
        EXPECT_EQ(toolBox->size[0], pixels[k]);
    }
}

TEST_F(Panels, UndoAndRedoCaptionsCapTheirCountAndTheHelpSaysWhenThereIsNothingToDo) {
    EXPECT_EQ(scribbix::UndoPanel::Caption("Redo", 26), "Redo\r(26)");
    EXPECT_EQ(scribbix::UndoPanel::Caption("Undo", 123456), "Undo\r(9999)");
    const vek::ui::Rect undo = CellRect({Studio::kUndo, 3, 0, 2, 0, 3}),
                        redo = CellRect({Studio::kUndo, 3, 0, 2, 1, 3});
    const char* nothingToUndo = "There's nothing to undo.";
    const char* nothingToRedo =
        "There's nothing to redo.\r\rIf you undo an action,\ryou can use this\rbutton to redo it.";
    EXPECT_EQ(HelpAt(undo), nothingToUndo);
    EXPECT_EQ(HelpAt(redo), nothingToRedo);

    // What the buttons undo and redo is the e2e session's (counts) and the shortcut case's (pixels).
    Stroke(0.0f, 0.0f, 0.3f, 0.1f);
    EXPECT_EQ(HelpAt(undo), "Undo the last thing\ryou did on this drawing.");
    Click(undo);
    Frames(1);
    EXPECT_EQ(HelpAt(undo), nothingToUndo);
    EXPECT_EQ(HelpAt(redo), "Cancel the last Undo\ryou did on this drawing.");
    Click(redo);
    Frames(1);
    EXPECT_EQ(HelpAt(redo), nothingToRedo);
}

TEST_F(Panels, SwatchSelectsRightButtonOnlyHandsItsColourToTheSelectedOneAndResetRestores) {
    using V = std::vector<float>;
    EXPECT_EQ(Paint(), (V{0.5f, 0.5f, 0})); // the first run's colour index 6
    Click(SwatchRect(4));                   // full red
    EXPECT_EQ(scribbix::State().selectedColour, 4);
    EXPECT_EQ(Paint(), (V{1, 0, 0}));
    EXPECT_EQ(HelpAt(SwatchRect(4)), "Change/redefine\rthis color.");
    EXPECT_EQ(HelpAt(SwatchRect(0)), "Select this color.\r\rPress a second time\rto change/redefine it.");
    // The right button (no split) hands cyan to the tool box without selecting its swatch, so the
    // selected swatch takes it; the cyan swatch keeps its own colour.
    Click(SwatchRect(13), 2);
    EXPECT_EQ(scribbix::State().selectedColour, 4);
    EXPECT_EQ(Paint(), (V{0, 1, 1}));
    Frames(1);
    EXPECT_EQ(Entry(4), (V{0, 1, 1}));
    EXPECT_EQ(Entry(13), (V{0, 1, 1}));
    EXPECT_EQ(Entry(3), (V{0.5f, 0, 0}));
    // Pressing the selected swatch opens the colours to redefine it, the selection stays.
    Click(SwatchRect(4));
    ASSERT_NE(TopMenu(), nullptr);
    EXPECT_EQ(TopMenu()->List().Title(), "Colors");
    EXPECT_EQ(scribbix::State().selectedColour, 4);
    // Reset: the defaults again (unused entries stay unused) and the paint of the selected entry.
    scribbix::commands::ResetPalette(nullptr, 0);
    Frames(1);
    EXPECT_EQ(Entry(4), (V{1, 0, 0}));
    EXPECT_EQ(Paint(), (V{1, 0, 0}));
    EXPECT_EQ(scribbix::State().palette[23 * 4 + 3], 1.0f);
    EXPECT_EQ(scribbix::State().palette[24 * 4 + 3], 0.0f);
}

} // namespace
} // namespace studio_test
