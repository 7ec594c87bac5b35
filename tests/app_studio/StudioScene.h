// A headless studio for the tests: a 1600 x 1000 screen (aspect 1.6), the desktop without GL, the
// program's tool box, the picture editor, a portfolio and the exporter in a fresh temporary home
// folder per test, and the studio built by the first frames. Pointer positions are desktop units.
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

    void Frames(int n = 1); // the studio's update, then the desktop's frame
    void Pointer(uint8_t type, float x, float y, uint8_t button, uint16_t modifiers);
    void Click(float x, float y, uint8_t button = 1, uint16_t keys = 0); // move, press, release, frames
    void Click(const vek::ui::Rect& r, uint8_t button = 1) { Click(r.CentreX(), r.CentreY(), button); }
    vek::ui::Rect CellRect(const Cell& cell) const;
    vek::ui::Rect SwatchRect(int k) const;
    void Stroke(float x0, float y0, float x1, float y1); // left button, over the picture
    std::string HelpAt(const vek::ui::Rect& r);          // rests the pointer until the popup help shows
    vek::ui::MenuWindow* TopMenu() const;
    bool ChooseInTopMenu(const std::string& label);
    cVek_Window_Info* TopInfo() const;
    std::string InfoText() const;
    std::vector<float> Ink() const; // the current drawing's ink layer
    int UndoSteps() const;
    int VisiblePanels() const;

    std::string home_;
    std::unique_ptr<cVek_Desktop> desktop;
    std::unique_ptr<scribbix::ToolBox> toolBox;
    std::unique_ptr<cTes_PicEditor> editor;
    std::unique_ptr<scribbix::Portfolio> portfolio;
    std::unique_ptr<cTes_Export> exporter;
    std::unique_ptr<scribbix::Studio> studio;
    int minimised = 0, quits = 0;
};

} // namespace studio_test
