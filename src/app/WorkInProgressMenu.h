// The "Work In Progress" menu: one item per slot, brought up to date each time the menu is shown. A slot
// naming a drawing with something on it reads "Drawing N"; an empty slot, or one whose drawing is
// still blank, reads "not started yet". The slot of the current drawing is checked.
#pragma once

#include "ui/MenuList.h"

namespace scribbix {

class WorkInProgressMenu : public vek::ui::MenuList {
  public:
    WorkInProgressMenu();
    // Normalises the slots (an all-empty table gives slot 0 the current drawing; repeats are
    // cleared from later slots), then sets the ten items' captions and checks.
    void Refresh() override;

    // Sub-menu builder that opens this menu at the pointer.
    static void Open(const vek::ui::MenuChoice& choice);
};

} // namespace scribbix
