// The options panel.
#include "app/MainMenuPanel.h"

#include "app/MainMenu.h"
#include "ui/cVek_SimpleButton.h"
#include "ui/cVek_Window_Panel.h"

#include <memory>

namespace scribbix {

void MainMenuPanel::Frame(cVek_Window_Panel& w) {
    w.BeginRows(2);
    w.PlaceButton(*button_, 0, 1, 2);
    if (button_->Do(w, "\xA4\xA4HMOptions\xA4\xA4h ->", "Misc. options\rand information.", kId))
        OpenMenuBesideButton(std::make_unique<MainMenu>());
}

} // namespace scribbix
