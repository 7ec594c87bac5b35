// The "Colors" menu: eleven hues, each opening its list of named shades. A chosen shade becomes
// the paint colour, which the selected palette swatch then takes.
#pragma once

#include "ui/MenuList.h"

#include <memory>

class cVek_Desktop;

namespace vek::ui {
class MenuWindow;
}

namespace scribbix {

class ColorsMenu : public vek::ui::MenuList {
  public:
    ColorsMenu();
    // Sub-menu builder that opens this menu at the pointer.
    static void Open(const vek::ui::MenuChoice& choice);

    // Opens a colour menu (this one or a list of shades) with its top left corner at (x, y), in a
    // look whose text has a dark drop shadow: the pale hue words and colour dots (yellow, cyan,
    // white) stay readable on the menu's light face.
    static vek::ui::MenuWindow* OpenShadowed(cVek_Desktop* desktop, std::unique_ptr<vek::ui::MenuList> menu,
                                             float x, float y);
};

} // namespace scribbix
