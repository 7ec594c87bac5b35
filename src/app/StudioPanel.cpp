// Common panel ground.
#include "app/StudioPanel.h"

#include "ui/MenuList.h"
#include "ui/MenuWindow.h"
#include "ui/cVek_Desktop.h"
#include "ui/cVek_InterfaceGadget.h"
#include "ui/cVek_SimpleButton.h"
#include "ui/cVek_Window_Panel.h"

namespace scribbix {

StudioPanel::StudioPanel(cVek_Window_Panel& window, const cVek_SimpleButton& buttonTemplate)
    : window_(&window), colour_(window.Look() ? window.Look()->SchemeColour(0) : 0),
      button_(buttonTemplate.Clone()) {}

StudioPanel::~StudioPanel() = default;

void StudioPanel::OpenMenuAtPointer(cVek_Desktop* desktop, std::unique_ptr<vek::ui::MenuList> menu) {
    if (!desktop) return;
    desktop->OpenMenu(std::move(menu), desktop->Mouse().X(), desktop->Mouse().Y());
}

void StudioPanel::OpenMenuBesideButton(std::unique_ptr<vek::ui::MenuList> menu) const {
    cVek_Desktop* d = window_->Desktop();
    if (!d) return;
    const float gap = cVek_Window::kPadding;
    d->OpenMenu(std::move(menu), window_->Bounds().x1 + gap, button_->Y() + button_->Height() * 0.5f);
}

} // namespace scribbix
