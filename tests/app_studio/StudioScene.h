// A headless studio for the tests: a 1600 x 1000 screen (aspect 1.6), the desktop without GL, the
// program's tool box, the picture editor, a portfolio and the exporter in a fresh temporary home
// folder per test, and the studio built by the first frame. Pointer events are given in desktop
// units and turned into client pixels the way the platform would send them.
#pragma once

#include "app/Portfolio.h"
#include "app/Studio.h"
#include "app/StudioContext.h"
#include "app/ToolBox.h"
#include "editor/cTes_PicEditor.h"
#include "engine/storage/c_TesExport.h"
#include "ui/UiRect.h"
#include "ui/cVek_Desktop.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

class cVek_Window_Info;

namespace studio_test {

constexpr int kScreenW = 1600, kScreenH = 1000;
constexpr uint32_t kTimeValue = 1234567890u;

// A panel button: its panel slot and its cell in the panel's rows.
struct Cell {
    int slot, rows, row, cols, col, rowSpan = 1;
};

class StudioScene : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // One program frame: the studio's update, then the desktop's frame.
    void Frames(int n = 1);
    void Pointer(uint8_t type, float x, float y, uint8_t button, uint16_t modifiers);
    // Move, press, frame, release, frames: one click of an immediate button.
    void Click(float x, float y, uint8_t button = 1, uint16_t keys = 0);
    void Click(const vek::ui::Rect& r, uint8_t button = 1) { Click(r.CentreX(), r.CentreY(), button); }
    vek::ui::Rect CellRect(const Cell& cell) const;
    vek::ui::Rect SwatchRect(int k) const;
    // A left-button stroke over the picture from (x0, y0) to (x1, y1), desktop units.
    void Stroke(float x0, float y0, float x1, float y1);
    // Rests the pointer on a button long enough for the popup help and returns its text.
    std::string HelpAt(const vek::ui::Rect& r);
    // The menu window on top, or null.
    vek::ui::MenuWindow* TopMenu() const;
    // Chooses the entry of the top menu whose label is `label`; false when there is none.
    bool ChooseInTopMenu(const std::string& label);
    // The message window on top, or null.
    cVek_Window_Info* TopInfo() const;
    // The current drawing's ink layer, every float.
    std::vector<float> Ink() const;
    int UndoSteps() const;
    int VisiblePanels() const;

    std::string home_;
    std::unique_ptr<cVek_Desktop> desktop;
    std::unique_ptr<scribbix::ToolBox> toolBox;
    std::unique_ptr<cTes_PicEditor> editor;
    std::unique_ptr<scribbix::Portfolio> portfolio;
    std::unique_ptr<cTes_Export> exporter;
    std::unique_ptr<scribbix::Studio> studio;
    int minimised = 0;
    int quits = 0;
};

} // namespace studio_test
