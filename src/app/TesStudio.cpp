// The engine studio's layout bookkeeping.
#include "app/TesStudio.h"

#include "shell/ShellState.h"
#include "ui/cVek_Desktop.h"
#include "ui/cVek_InterfaceGadget.h"
#include "ui/cVek_Window_Panel.h"

#include <cmath>

namespace vek::tool::tes {
namespace {
// A window this far from its place counts as moved (desktop units).
constexpr float kMovedBy = 0.0005f;
} // namespace

TesStudio::TesStudio(cVek_Desktop& desktop) : desktop_(desktop) {}

TesStudio::~TesStudio() = default;

cVek_InterfaceGadget* TesStudio::Look() const {
    return desktop_.Look();
}

bool TesStudio::Alive(const cVek_Window* window) const {
    return window && desktop_.IndexOf(window) >= 0;
}

cVek_Window_Panel* TesStudio::PanelWindow(int slot) const {
    if (slot < 0 || slot >= kPanelSlots) return nullptr;
    return Alive(panelWindows_[slot]) ? panelWindows_[slot] : nullptr;
}

cVek_Window_Panel* TesStudio::PictureWindow() const {
    return Alive(pictureWindow_) ? pictureWindow_ : nullptr;
}

cVek_Window* TesStudio::BackgroundWindow() const {
    return Alive(backgroundWindow_) ? backgroundWindow_ : nullptr;
}

bool TesStudio::Build() {
    if (cVek_InterfaceGadget* look = Look()) {
        look->panelWindowOptions[0] = LookByte();
        look->panelWindowOptions[1] = LookByte();
        look->panelFrame = kPanelFrame;
    }
    DesktopLayout();
    return true;
}

int TesStudio::LayoutState() const {
    int moved = 0;
    for (int i = 0; i < kPanelSlots; ++i) {
        const cVek_Window_Panel* w = PanelWindow(i);
        if (w && (std::fabs(w->CentreX() - placedX_[i]) > kMovedBy ||
                  std::fabs(w->CentreY() - placedY_[i]) > kMovedBy))
            ++moved;
    }
    return moved;
}

void TesStudio::Frame() {
    if (desktop_.Closing()) return;
    const double aspect = vek::shell::ScreenAspect();
    const int state = LayoutState();
    if (aspect == seenAspect_ && state == lastLayoutState_ && !rebuildRequested_) return;
    seenAspect_ = aspect;
    Build();
    for (int i = 0; i < desktop_.WindowCount(); ++i)
        desktop_.KeepOnScreen(*desktop_.WindowAt(i));
    lastLayoutState_ = LayoutState();
    rebuildRequested_ = false;
    ++rebuilds_;
    vek::shell::RedrawCounter()++;
}

cVek_Window_Panel* TesStudio::PlacePanelWindow(int slot, float cx, float cy, float w, float h,
                                               PanelFactory make) {
    if (slot < 0 || slot >= kPanelSlots) return nullptr;
    cVek_Window_Panel* win = PanelWindow(slot);
    if (!win) {
        win = desktop_.Add(std::make_unique<cVek_Window_Panel>());
        panelWindows_[slot] = win;
    }
    if (win->PanelCount() == 0 && make) win->AddPanel(make(*this, *win));
    win->SetPlacement(cx, cy, w, h);
    placedX_[slot] = win->CentreX();
    placedY_[slot] = win->CentreY();
    return win;
}

} // namespace vek::tool::tes
