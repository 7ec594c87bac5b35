// Common ground of the program's six panels: each keeps its panel window, the colour word it took
// from the look when it was made, and its own copy of the studio's button template (so one panel's
// caption font or face colours never leak into another's).
#pragma once

#include "ui/Panel.h"

#include <cstdint>
#include <memory>

class cVek_Desktop;
class cVek_SimpleButton;
class cVek_Window_Panel;

namespace vek::ui {
class MenuList;
}

namespace scribbix {

class StudioPanel : public vek::ui::Panel {
  public:
    StudioPanel(cVek_Window_Panel& window, const cVek_SimpleButton& buttonTemplate);
    ~StudioPanel() override;

    cVek_Window_Panel& Window() const { return *window_; }
    uint32_t Colour() const { return colour_; }

  protected:
    // Opens a menu with its top left corner at the pointer.
    static void OpenMenuAtPointer(cVek_Desktop* desktop, std::unique_ptr<vek::ui::MenuList> menu);
    // Opens a menu just right of the panel strip, level with the top of the button just drawn, so
    // it covers neither the strip nor the button.
    void OpenMenuBesideButton(std::unique_ptr<vek::ui::MenuList> menu) const;

    cVek_Window_Panel* window_;
    uint32_t colour_;
    std::unique_ptr<cVek_SimpleButton> button_;
};

} // namespace scribbix
