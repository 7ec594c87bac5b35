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
    void ExpectPaint(float r, float g, float b) {
        const float* p = toolBox->Colour(cVek_ToolBox::kPaint, 1);
        EXPECT_FLOAT_EQ(p[0], r);
        EXPECT_FLOAT_EQ(p[1], g);
        EXPECT_FLOAT_EQ(p[2], b);
    }
    static void ExpectEntry(int k, float r, float g, float b) {
        const float* e = scribbix::PaletteColour(scribbix::State(), k);
        EXPECT_FLOAT_EQ(e[0], r) << k;
        EXPECT_FLOAT_EQ(e[1], g) << k;
        EXPECT_FLOAT_EQ(e[2], b) << k;
    }
};

TEST_F(Panels, EachToolButtonSelectsItsToolInTheToolBoxAndNamesIt) {
    struct Tool {
        uint32_t id;
        const char* help;
    };
    const Tool tools[9] = {
        {1, "Ordinary Pen"},      {1020002, "Soft Pen"},      {2, "Eraser"},
        {1020000, "Dark 3D Pen"}, {1020003, "Medium 3D Pen"}, {1020001, "Light 3D Pen"},
        {8, "Glitter Pen"},       {1020005, "Smudge"},        {1020004, "Drag"},
    };
    for (int k = 8; k >= 0; --k) { // from the last, so the default (4th) is not the first click
        const Cell cell{Studio::kTools, 3, k / 3, 3, k % 3};
        Click(CellRect(cell));
        EXPECT_EQ(uint32_t(scribbix::State().selectedTool), tools[k].id) << k;
        ASSERT_NE(toolBox->primaryTool, nullptr);
        EXPECT_EQ(toolBox->primaryTool->id, tools[k].id) << k;
        EXPECT_EQ(HelpAt(CellRect(cell)), tools[k].help);
    }
}

TEST_F(Panels, PenSizeIsAShareOfTheShorterSideNeverBelowOneNorAbove250) {
    EXPECT_EQ(scribbix::PenSizePixels(5, 1920, 1080), 81);
    EXPECT_EQ(scribbix::PenSizePixels(0, 100, 100), 1);
    EXPECT_EQ(scribbix::PenSizePixels(2, 1000, 3), 1);
    EXPECT_EQ(scribbix::PenSizePixels(5, 5000, 4000), 250);
    // On the 1600 x 1000 drawing: 1000 x {5, 10, 20, 35, 50, 75} / 1000.
    const int pixels[6] = {5, 10, 20, 35, 50, 75};
    for (int k = 0; k < 6; ++k) {
        const Cell cell{Studio::kPenSizes, 2, k / 3, 3, k % 3};
        Click(CellRect(cell));
        EXPECT_EQ(scribbix::State().penSizeIndex, k);
        EXPECT_EQ(toolBox->size[0], pixels[k]);
    }
    EXPECT_EQ(HelpAt(CellRect({Studio::kPenSizes, 2, 1, 3, 1})), "Choose this pen size.");
}

TEST_F(Panels, UndoAndRedoCountTheirStepsBringTheStrokeBackAndSayWhenThereIsNothingToDo) {
    EXPECT_EQ(scribbix::UndoPanel::Caption("Undo", 0), "Undo\r(0)");
    EXPECT_EQ(scribbix::UndoPanel::Caption("Redo", 26), "Redo\r(26)");
    EXPECT_EQ(scribbix::UndoPanel::Caption("Undo", 123456), "Undo\r(9999)");
    const vek::ui::Rect undo = CellRect({Studio::kUndo, 3, 0, 2, 0, 3}),
                        redo = CellRect({Studio::kUndo, 3, 0, 2, 1, 3});
    const char* nothingToUndo = "There's nothing to undo.";
    const char* nothingToRedo =
        "There's nothing to redo.\r\rIf you undo an action,\ryou can use this\rbutton to redo it.";
    EXPECT_EQ(HelpAt(undo), nothingToUndo);
    EXPECT_EQ(HelpAt(redo), nothingToRedo);

    const std::vector<float> blank = Ink();
    Stroke(0.0f, 0.0f, 0.3f, 0.1f);
    const std::vector<float> drawn = Ink();
    ASSERT_NE(blank, drawn);
    EXPECT_EQ(HelpAt(undo), "Undo the last thing\ryou did on this drawing.");
    Click(undo);
    Frames(1);
    EXPECT_EQ(Ink(), blank);
    EXPECT_EQ(HelpAt(undo), nothingToUndo);
    EXPECT_EQ(HelpAt(redo), "Cancel the last Undo\ryou did on this drawing.");
    Click(redo);
    Frames(1);
    EXPECT_EQ(Ink(), drawn);
    EXPECT_EQ(HelpAt(redo), nothingToRedo);
}

TEST_F(Panels, SwatchSelectsRightButtonOnlyHandsItsColourToTheSelectedOneAndResetRestores) {
    ExpectPaint(0.5f, 0.5f, 0.0f); // the first run's colour index 6
    Click(SwatchRect(4));          // full red
    EXPECT_EQ(scribbix::State().selectedColour, 4);
    ExpectPaint(1.0f, 0.0f, 0.0f);
    EXPECT_EQ(HelpAt(SwatchRect(4)), "Change/redefine\rthis color.");
    EXPECT_EQ(HelpAt(SwatchRect(0)), "Select this color.\r\rPress a second time\rto change/redefine it.");
    // The right button (no split) hands cyan to the tool box without selecting its swatch, so the
    // selected swatch takes it; the cyan swatch keeps its own colour.
    Click(SwatchRect(13), 2);
    EXPECT_EQ(scribbix::State().selectedColour, 4);
    ExpectPaint(0.0f, 1.0f, 1.0f);
    Frames(1);
    ExpectEntry(4, 0.0f, 1.0f, 1.0f);
    ExpectEntry(13, 0.0f, 1.0f, 1.0f);
    ExpectEntry(3, 0.5f, 0.0f, 0.0f);
    // Pressing the selected swatch opens the colours to redefine it, the selection stays.
    Click(SwatchRect(4));
    ASSERT_NE(TopMenu(), nullptr);
    EXPECT_EQ(TopMenu()->List().Title(), "Colors");
    EXPECT_EQ(scribbix::State().selectedColour, 4);
    // Reset: the defaults again (unused entries stay unused) and the paint of the selected entry.
    scribbix::commands::ResetPalette(nullptr, 0);
    Frames(1);
    ExpectEntry(4, 1.0f, 0.0f, 0.0f);
    ExpectPaint(1.0f, 0.0f, 0.0f);
    EXPECT_EQ(scribbix::State().palette[23 * 4 + 3], 1.0f);
    EXPECT_EQ(scribbix::State().palette[24 * 4 + 3], 0.0f);
}

} // namespace
} // namespace studio_test
