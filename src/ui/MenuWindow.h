// The floating window that shows a menu list. Layout (desktop units, s = the window's scale):
// text 0.016 s high, rows 0.02 s high, separators and spacers a quarter row; a row is as wide as
// its label plus a marker allowance (1.1 x the width of " ->" for sub-menus and check boxes, half
// of that for actions, 1.1 x the width of "..." for dialog openers); the window is as wide as its
// widest row. Hidden entries take no row. At the bottom: pin box, size toggle and "Close" (or
// "Cancel" for a one-shot choice). Choosing an entry performs it; an unpinned menu then closes.
#pragma once

#include "ui/MenuList.h"
#include "ui/cVek_Window.h"

#include <memory>

namespace vek::ui {

class MenuWindow : public cVek_Window {
  public:
    static constexpr float kTextSize = 0.016f;
    static constexpr float kRowHeight = 0.020f;
    static constexpr float kRowMargin = 0.006f; // left and right of the labels

    explicit MenuWindow(std::unique_ptr<MenuList> list);
    ~MenuWindow() override;
    void ApplyDefaultScale() override;

    MenuList& List() { return *list_; }
    // Shown as a one-shot choice: "Cancel" instead of "Close", and no pin box.
    void SetOneShotChoice(bool on);
    // Runs the list's refresh and the check-box refresh (each time the menu is shown).
    void RefreshList();

    // Layout results, for the pointer and for tests.
    struct Row {
        int entry;
        Rect rect;
    };
    int RowCount() const { return int(rows_.size()); }
    const Row& RowAt(int i) const { return rows_[size_t(i)]; }
    // The visible entry under a point, -1 for none (separators, spacers and hidden entries never).
    int EntryAt(float x, float y) const;
    // Width of an entry's row (label and marker allowance) at the current scale.
    float RowWidth(int entry);

    void Layout() override;

  protected:
    void RunBody() override;
    std::string_view CloseHelp() const override;
    std::string_view PinHelp() const override;

  private:
    void DrawRow(const Row& row, const MenuList::Entry& e, bool hot, float hover, bool held);

    std::unique_ptr<MenuList> list_;
    std::vector<Row> rows_;
    float markerWidth_ = 0.0f; // " ->" at the row text size
    float dotsWidth_ = 0.0f;   // "..."
};

} // namespace vek::ui
