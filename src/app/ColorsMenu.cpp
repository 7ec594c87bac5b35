// The "Colors" menu.
#include "app/ColorsMenu.h"

#include "app/NamedColorMenu.h"
#include "app/NamedColors.h"
#include "ui/cVek_Desktop.h"

#include <memory>

namespace scribbix {

ColorsMenu::ColorsMenu() : vek::ui::MenuList("Colors") {
    for (int hue = 1; hue <= kHueCount; ++hue)
        AddSubMenu(HueCaption(hue), kHues[hue - 1].help, NamedColorMenu::OpenShort, hue);
}

void ColorsMenu::Open(const vek::ui::MenuChoice& c) {
    if (c.desktop) c.desktop->OpenMenu(std::make_unique<ColorsMenu>(), c.x, c.y);
}

} // namespace scribbix
