// The panels: tool selection, pen sizes, undo and redo with their step counts and help, and the
// palette (defaults, selecting, right-button colour, redefinition, restoring at the next run).
#include "StudioScene.h"

#include "app/StudioPanelState.h"
#include "app/ToolColorsPanel.h"
#include "app/UndoPanel.h"
#include "engine/picture/c_TesPic.h"
#include "engine/tools/cTes_Tool.h"
#include "resources/ProgramState.h"
#include "ui/MenuWindow.h"

#include <cstring>
#include <vector>

namespace studio_test {
namespace {

using scribbix::Studio;

class Panels : public StudioScene {
  protected:
    void ClickSwatch(int k, uint8_t button = 1) {
        const vek::ui::Rect r =
            scribbix::ToolColorsPanel::SwatchRect(*studio->PanelWindow(Studio::kColours), k);
        Click(r.CentreX(), r.CentreY(), button);
    }
    std::string HelpOfSwatch(int k) {
        const vek::ui::Rect r =
            scribbix::ToolColorsPanel::SwatchRect(*studio->PanelWindow(Studio::kColours), k);
        return HelpAt(r.CentreX(), r.CentreY());
    }
    void ClickCell(int slot, int rows, int row, int cols, int col, uint8_t button = 1, int rowSpan = 1) {
        float x, y;
        CellCentre(slot, rows, row, cols, col, &x, &y, rowSpan);
        Click(x, y, button);
    }
    std::string HelpOfCell(int slot, int rows, int row, int cols, int col, int rowSpan = 1) {
        float x, y;
        CellCentre(slot, rows, row, cols, col, &x, &y, rowSpan);
        return HelpAt(x, y);
    }
    void ExpectPaint(float r, float g, float b) {
        const float* p = toolBox->Colour(cVek_ToolBox::kPaint, 1);
        EXPECT_FLOAT_EQ(p[0], r);
        EXPECT_FLOAT_EQ(p[1], g);
        EXPECT_FLOAT_EQ(p[2], b);
    }
    std::vector<float> Ink() const {
        const c_TesLayer* l = portfolio->currentPicture->currentLayer;
        return std::vector<float>(l->Pixels(), l->Pixels() + size_t(l->width) * size_t(l->height) * 4);
    }
};

TEST_F(Panels, FirstRunStartsWithDark3DPenSizeIndex3AndColourIndex6) {
    const scribbix::ProgramState& s = scribbix::State();
    EXPECT_EQ(s.selectedTool, 1020000);
    EXPECT_EQ(s.penSizeIndex, 3);
    EXPECT_EQ(s.selectedColour, 6);
    ASSERT_NE(toolBox->primaryTool, nullptr);
    EXPECT_EQ(toolBox->primaryTool->id, 1020000u);
    EXPECT_EQ(toolBox->size[0], 35); // 1000 x 35 / 1000
    ExpectPaint(0.5f, 0.5f, 0.0f);   // default palette entry 6
}

TEST_F(Panels, ToolButtonSelectsTheToolAndHandsItToTheToolBox) {
    ClickCell(Studio::kTools, 3, 0, 3, 2); // third button of the first row: the Eraser
    EXPECT_EQ(scribbix::State().selectedTool, 2);
    EXPECT_EQ(toolBox->primaryTool->id, 2u);
    ClickCell(Studio::kTools, 3, 2, 3, 1); // Smudge
    EXPECT_EQ(toolBox->primaryTool->id, 1020005u);
    EXPECT_EQ(HelpOfCell(Studio::kTools, 3, 2, 3, 0), "Glitter Pen");
}

TEST_F(Panels, PenSizeIsAShareOfTheShorterSideNeverBelowOneNorAbove250) {
    EXPECT_EQ(scribbix::PenSizePixels(5, 1920, 1080), 81);
    EXPECT_EQ(scribbix::PenSizePixels(0, 100, 100), 1);
    EXPECT_EQ(scribbix::PenSizePixels(2, 1000, 3), 1);
    EXPECT_EQ(scribbix::PenSizePixels(5, 5000, 4000), 250);
    EXPECT_EQ(scribbix::PenSizePixels(1, 1600, 1000), 10);
    ClickCell(Studio::kPenSizes, 2, 0, 3, 0);
    EXPECT_EQ(scribbix::State().penSizeIndex, 0);
    EXPECT_EQ(toolBox->size[0], 5);
    ClickCell(Studio::kPenSizes, 2, 1, 3, 2);
    EXPECT_EQ(toolBox->size[0], 75);
    EXPECT_EQ(HelpOfCell(Studio::kPenSizes, 2, 1, 3, 1), "Choose this pen size.");
}

TEST_F(Panels, UndoCaptionCountsStepsAndHelpSaysWhenThereIsNothingToDo) {
    EXPECT_EQ(scribbix::UndoPanel::Caption("Undo", 0), "Undo\r(0)");
    EXPECT_EQ(scribbix::UndoPanel::Caption("Redo", 26), "Redo\r(26)");
    EXPECT_EQ(scribbix::UndoPanel::Caption("Undo", 123456), "Undo\r(9999)");
    EXPECT_EQ(HelpOfCell(Studio::kUndo, 3, 0, 2, 0, 3), "There's nothing to undo.");
    EXPECT_EQ(HelpOfCell(Studio::kUndo, 3, 0, 2, 1, 3),
              "There's nothing to redo.\r\rIf you undo an action,\ryou can use this\rbutton to redo it.");
    Stroke(0.0f, 0.0f, 0.3f, 0.1f);
    EXPECT_EQ(HelpOfCell(Studio::kUndo, 3, 0, 2, 0, 3), "Undo the last thing\ryou did on this drawing.");
}

TEST_F(Panels, UndoThenRedoBringsTheStrokeBackByteForByte) {
    const std::vector<float> blank = Ink();
    Stroke(0.0f, 0.0f, 0.3f, 0.1f);
    const std::vector<float> drawn = Ink();
    ASSERT_NE(blank, drawn);
    ClickCell(Studio::kUndo, 3, 0, 2, 0, 1, 3);
    Frames(1);
    EXPECT_EQ(Ink(), blank);
    EXPECT_EQ(portfolio->currentPicture->history->RedoSteps(), 1);
    EXPECT_EQ(HelpOfCell(Studio::kUndo, 3, 0, 2, 1, 3), "Cancel the last Undo\ryou did on this drawing.");
    ClickCell(Studio::kUndo, 3, 0, 2, 1, 1, 3);
    Frames(1);
    EXPECT_EQ(Ink(), drawn);
}

TEST_F(Panels, ClickingASwatchSelectsItsColourAndARightClickOnlyHandsItOver) {
    ClickSwatch(4); // full red
    EXPECT_EQ(scribbix::State().selectedColour, 4);
    ExpectPaint(1.0f, 0.0f, 0.0f);
    EXPECT_EQ(HelpOfSwatch(4), "Change/redefine\rthis color.");
    EXPECT_EQ(HelpOfSwatch(0), "Select this color.\r\rPress a second time\rto change/redefine it.");
    ClickSwatch(13, 2); // right button on cyan
    EXPECT_EQ(scribbix::State().selectedColour, 4);
    ExpectPaint(0.0f, 1.0f, 1.0f);
    // The selected swatch follows the paint colour; the right-clicked one keeps its own.
    const float* e4 = scribbix::PaletteColour(scribbix::State(), 4);
    EXPECT_FLOAT_EQ(e4[0], 0.0f);
    EXPECT_FLOAT_EQ(e4[1], 1.0f);
    EXPECT_FLOAT_EQ(e4[2], 1.0f);
    const float* e13 = scribbix::PaletteColour(scribbix::State(), 13);
    EXPECT_FLOAT_EQ(e13[0], 0.0f);
    EXPECT_FLOAT_EQ(e13[1], 1.0f);
}

TEST_F(Panels, PressingTheSelectedSwatchOpensTheColoursMenuInsteadOfChangingSelection) {
    ClickSwatch(6); // selected at first
    vek::ui::MenuWindow* m = TopMenu();
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->List().Title(), "Colors");
    EXPECT_EQ(scribbix::State().selectedColour, 6);
}

TEST_F(Panels, ResetPaletteBringsBackTheDefaultsAndTheSelectedColour) {
    ClickSwatch(13, 2); // paint cyan into the selected entry 6
    Frames(1);
    EXPECT_FLOAT_EQ(scribbix::PaletteColour(scribbix::State(), 6)[2], 1.0f);
    scribbix::LoadDefaultPalette(scribbix::State(), toolBox.get());
    Frames(1);
    const float* e6 = scribbix::PaletteColour(scribbix::State(), 6);
    EXPECT_FLOAT_EQ(e6[0], 0.5f);
    EXPECT_FLOAT_EQ(e6[1], 0.5f);
    EXPECT_FLOAT_EQ(e6[2], 0.0f);
    ExpectPaint(0.5f, 0.5f, 0.0f);
    // Unused entries stay unused.
    EXPECT_EQ(scribbix::State().palette[24 * 4 + 3], 0.0f);
    EXPECT_EQ(scribbix::State().palette[23 * 4 + 3], 1.0f);
}

// A later run: the palette, colour, tool and size come from the settings.
class PanelsNextRun : public Panels {
  protected:
    void BeforeStudio() override {
        scribbix::ProgramState& s = scribbix::State();
        scribbix::LoadDefaultPalette(s, nullptr);
        const float mine[3] = {0.25f, 0.5f, 0.75f};
        scribbix::SetPaletteColour(s, 2, mine);
        s.selectedColour = 2;
        s.selectedTool = 8;
        s.penSizeIndex = 1;
    }
};

TEST_F(PanelsNextRun, SavedColourIsGivenToTheToolBoxAndNotOverwrittenByItsDefault) {
    ExpectPaint(0.25f, 0.5f, 0.75f);
    const float* e2 = scribbix::PaletteColour(scribbix::State(), 2);
    EXPECT_FLOAT_EQ(e2[0], 0.25f);
    EXPECT_FLOAT_EQ(e2[2], 0.75f);
    EXPECT_EQ(toolBox->primaryTool->id, 8u);
    EXPECT_EQ(toolBox->size[0], 10);
}

} // namespace
} // namespace studio_test
