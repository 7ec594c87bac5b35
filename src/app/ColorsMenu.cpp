// The "Colors" menu.
#include "app/ColorsMenu.h"

#include "app/NamedColorMenu.h"
#include "app/NamedColors.h"
#include "ui/MenuWindow.h"
#include "ui/cVek_Desktop.h"
#include "ui/cVek_InterfaceGadget.h"

#include <memory>

namespace scribbix {

ColorsMenu::ColorsMenu() : vek::ui::MenuList("Colors") {
    for (int hue = 1; hue <= kHueCount; ++hue)
        AddSubMenu(HueCaption(hue), kHues[hue - 1].help, NamedColorMenu::OpenShort, hue);
}

void ColorsMenu::Open(const vek::ui::MenuChoice& c) {
    OpenShadowed(c.desktop, std::make_unique<ColorsMenu>(), c.x, c.y);
}

vek::ui::MenuWindow* ColorsMenu::OpenShadowed(cVek_Desktop* desktop, std::unique_ptr<vek::ui::MenuList> menu,
                                              float x, float y) {
    if (!desktop) return nullptr;
    vek::ui::MenuWindow* w = desktop->OpenMenu(std::move(menu), x, y);
    if (!w) return nullptr;
    w->OwnLook();
    if (cVek_InterfaceGadget* look = w->Look()) look->BodyText().SetShadow(0x3C3C3C, 0.0009f);
    return w;
}

} // namespace scribbix
