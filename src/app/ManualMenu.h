// The "Manual" menu: five pages, each shown in a message window.
#pragma once

#include "ui/MenuList.h"

namespace scribbix {

class ManualMenu : public vek::ui::MenuList {
  public:
    ManualMenu();
    // Sub-menu builder that opens this menu at the pointer.
    static void Open(const vek::ui::MenuChoice& choice);
    // Shows page `choice.value` (0..4).
    static void ShowPage(const vek::ui::MenuChoice& choice);
};

} // namespace scribbix
