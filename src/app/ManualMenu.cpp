// The "Manual" menu.
#include "app/ManualMenu.h"

#include "app/ManualPages.h"
#include "ui/cVek_Desktop.h"

#include <memory>

namespace scribbix {

ManualMenu::ManualMenu() : vek::ui::MenuList("Manual") {
    for (int i = 0; i < manual::kPageCount; ++i)
        AddAction(manual::kPages[i].caption, manual::kPages[i].help, ShowPage, nullptr, 0, 0, i);
}

void ManualMenu::Open(const vek::ui::MenuChoice& c) {
    if (c.desktop) c.desktop->OpenMenu(std::make_unique<ManualMenu>(), c.x, c.y);
}

void ManualMenu::ShowPage(const vek::ui::MenuChoice& c) {
    if (c.desktop && c.value >= 0 && c.value < manual::kPageCount)
        c.desktop->ShowInfo("Manual", manual::Page(c.value));
}

} // namespace scribbix
