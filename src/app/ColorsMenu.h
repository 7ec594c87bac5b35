// The "Colors" menu: eleven hues, each opening its list of named shades. A chosen shade becomes
// the paint colour, which the selected palette swatch then takes.
#pragma once

#include "ui/MenuList.h"

namespace scribbix {

class ColorsMenu : public vek::ui::MenuList {
  public:
    ColorsMenu();
    // Sub-menu builder that opens this menu at the pointer.
    static void Open(const vek::ui::MenuChoice& choice);
};

} // namespace scribbix
