// The "Background" menu.
#include "app/BackgroundMenu.h"

#include "app/Commands.h"
#include "ui/cVek_Desktop.h"

#include <memory>

namespace scribbix {
namespace {

// The item's value is the colour 0xRRGGBB, or kBackgroundCurrent.
void SetBackground(const vek::ui::MenuChoice& c) {
    commands::SetBackground(nullptr, c.value);
}

} // namespace

BackgroundMenu::BackgroundMenu() : vek::ui::MenuList("Background") {
    AddAction("White", "Set the background color\rto white.", SetBackground, nullptr, 0, 0, 0xFFFFFF);
    AddAction("Black", "Set the background color\rto black.", SetBackground, nullptr, 0, 0, 0x000000);
    AddAction("Set To Current",
              "Set the background color\rto the currently\rselected color\r(the one you draw with).",
              SetBackground, nullptr, 0, 0, int(commands::kBackgroundCurrent));
}

void BackgroundMenu::Open(const vek::ui::MenuChoice& c) {
    if (c.desktop) c.desktop->OpenMenu(std::make_unique<BackgroundMenu>(), c.x, c.y);
}

} // namespace scribbix
