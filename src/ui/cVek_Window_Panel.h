// A window that holds up to 10 panels and shows them side by side; used for the static panel
// strips around the picture and for the picture window. Each frame it runs every panel's
// draw-and-handle; a panel lays its buttons out in rows:
//   row height = (window height - 2 x border - title - footer - (n - 1) x row gap) / n
// (a minimised panel window has one row), and every button placed in a row takes that height.
#pragma once

#include "ui/Panel.h"
#include "ui/cVek_Window.h"

#include <memory>
#include <vector>

class cVek_Window_Panel : public cVek_Window {
  public:
    static constexpr int kMaxPanels = 10;
    static constexpr float kRowGap = 0.003f; // at scale 1

    explicit cVek_Window_Panel(std::string_view title = {});
    ~cVek_Window_Panel() override;

    // Takes the panel; beyond 10 panels the new one is discarded (false).
    bool AddPanel(std::unique_ptr<vek::ui::Panel> panel);
    int PanelCount() const { return int(panels_.size()); }
    vek::ui::Panel* PanelAt(int i) const { return panels_[size_t(i)].get(); }

    // ---- rows of the panel being run
    void BeginRows(int n);
    int Rows() const { return rows_; }
    int CurrentRow() const { return row_; }
    float RowHeight() const { return rowHeight_; }
    float RowGap() const { return kRowGap * scale_; }
    // The current panel's share of the body.
    vek::ui::Rect PanelArea() const;
    // The cell `column` of `columns` in the current row, `rowSpan` rows tall.
    vek::ui::Rect CellRect(int column, int columns, int rowSpan = 1) const;
    // Gives the button template the cell's centre and size (depth derived from the height).
    void PlaceButton(cVek_SimpleButton& button, int column, int columns, int rowSpan = 1) const;
    void NextRow(int rows = 1) { row_ += rows; }

    // Border width: the look's panel frame value when panel frames are on.
    float Border() const;
    vek::ui::Rect Inner() const override;

  protected:
    void DrawFrame() override;
    void RunBody() override;

  private:
    std::vector<std::unique_ptr<vek::ui::Panel>> panels_;
    int current_ = 0;
    int rows_ = 1;
    int row_ = 0;
    float rowHeight_ = 0.0f;
};
