// A floating window with a title, a body of a given content size and the standard bottom controls:
// pin box and size toggle in the lower left-hand corner, "Close" and, for a dialog that performs a
// task, "Apply" (which keeps the window open).
#pragma once

#include "ui/MenuList.h"
#include "ui/cVek_Window.h"

using DialogApply = void (*)(cVek_Window& window, void* user);

class cVek_Window_Dialog : public cVek_Window {
  public:
    // Content size in desktop units at scale 1.
    cVek_Window_Dialog(std::string_view title, float contentWidth, float contentHeight);
    ~cVek_Window_Dialog() override;
    // Dialogs take the look's dialog scale (1.0 without a look).
    void ApplyDefaultScale() override;

    void SetContentSize(float w, float h);
    void SetApply(DialogApply apply, void* user) {
        apply_ = apply;
        applyUser_ = user;
    }

    void Layout() override;

  protected:
    void RunFooterExtras(const vek::ui::Rect& room) override;

  private:
    float contentW_, contentH_;
    DialogApply apply_ = nullptr;
    void* applyUser_ = nullptr;
};

namespace vek::ui {
// The framework's dialog-opening handler: a dialog from a description, its top left corner at
// (x, y). Returns the window (owned by the desktop).
cVek_Window_Dialog* OpenDialog(cVek_Desktop& desktop, const DialogDescription& description, float x, float y);
} // namespace vek::ui
