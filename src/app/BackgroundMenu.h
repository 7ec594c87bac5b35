// The "Background" menu: white, black, or the colour being drawn with, as the paper colour of the
// current drawing (each change is a step that Undo takes back).
#pragma once

#include "ui/MenuList.h"

namespace scribbix {

class BackgroundMenu : public vek::ui::MenuList {
  public:
    BackgroundMenu();
    // Sub-menu builder that opens this menu at the pointer.
    static void Open(const vek::ui::MenuChoice& choice);
};

} // namespace scribbix
