// The "Work In Progress" menu.
#include "app/WorkInProgressMenu.h"

#include "app/Commands.h"
#include "app/Portfolio.h"
#include "app/StudioContext.h"
#include "engine/picture/c_TesPic.h"
#include "ui/cVek_Desktop.h"

#include <memory>

namespace scribbix {
namespace {

void GoTo(const vek::ui::MenuChoice& c) {
    commands::GoToDrawing(nullptr, c.value);
}

} // namespace

WorkInProgressMenu::WorkInProgressMenu() : vek::ui::MenuList("Work In Progress") {
    for (int i = 0; i < Portfolio::kSlotCount; ++i)
        AddAction("not started yet", "Go to this drawing.", GoTo, nullptr, 0, 0, i);
    Refresh();
}

void WorkInProgressMenu::Refresh() {
    // The ten items stay; only their captions and checks change (the popup help may still be
    // showing an item's help text while the menu is shown again).
    Portfolio* p = Context().portfolio;
    if (!p) return;
    p->NormalizeSlots();
    const c_TesPic* current = p->currentPicture;
    for (int i = 0; i < Portfolio::kSlotCount && i < Count(); ++i) {
        At(i).label = p->SlotCaption(i);
        At(i).checked = current && p->slots[i] != 0 && p->slots[i] == current->pictureNumber;
    }
}

void WorkInProgressMenu::Open(const vek::ui::MenuChoice& c) {
    if (c.desktop) c.desktop->OpenMenu(std::make_unique<WorkInProgressMenu>(), c.x, c.y);
}

} // namespace scribbix
