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
    Refresh();
}

void WorkInProgressMenu::Refresh() {
    Clear();
    Portfolio* p = Context().portfolio;
    if (!p) return;
    p->NormalizeSlots();
    const c_TesPic* current = p->currentPicture;
    for (int i = 0; i < Portfolio::kSlotCount; ++i) {
        const int entry = AddAction(p->SlotCaption(i), "Go to this drawing.", GoTo, nullptr, 0, 0, i);
        At(entry).checked = current && p->slots[i] != 0 && p->slots[i] == current->pictureNumber;
    }
}

void WorkInProgressMenu::Open(const vek::ui::MenuChoice& c) {
    if (c.desktop) c.desktop->OpenMenu(std::make_unique<WorkInProgressMenu>(), c.x, c.y);
}

} // namespace scribbix
