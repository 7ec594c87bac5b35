// The engine studio: a screen layout made of the picture window, a background window and up to 20
// panel windows, kept up to date frame by frame. It rebuilds the layout when the screen's aspect
// changes, when a panel window was moved from its place, or on request. The windows belong to the
// desktop; the studio keeps links to them and checks they still exist before using one.
#pragma once

#include "ui/Panel.h"

#include <cstdint>
#include <memory>

class cVek_Desktop;
class cVek_InterfaceGadget;
class cVek_Window;
class cVek_Window_Panel;

namespace vek::tool::tes {

class TesStudio : public vek::ui::Studio {
  public:
    static constexpr int kPanelSlots = 20;
    static constexpr float kPanelFrame = 0.008f; // border of the panel windows, desktop units

    explicit TesStudio(cVek_Desktop& desktop);
    ~TesStudio() override;
    TesStudio(const TesStudio&) = delete;
    TesStudio& operator=(const TesStudio&) = delete;

    // ---- virtual operations, in slot order
    // Copies the look byte into both panel-window options, sets the panel frame, then runs the
    // desktop layout.
    bool Build() override;
    // Per-frame update: rebuilds (then lets the desktop keep every window on screen) when the
    // aspect changed, the layout state changed or a rebuild was requested. Nothing while the
    // desktop closes.
    void Frame() override;
    // Number of panel windows that are not where the layout put them (a window being moved).
    virtual int LayoutState() const;
    virtual void ApplyColourScheme() {}
    virtual void DesktopLayout() {}
    virtual void CreateOrRefreshPictureWindow() {}
    // The saved look byte (panel-window options); 1 draws the panel frames and their shadows.
    virtual uint8_t LookByte() const { return 1; }

    void RequestRebuild() { rebuildRequested_ = true; }
    bool RebuildRequested() const { return rebuildRequested_; }
    int Rebuilds() const { return rebuilds_; }

    cVek_Desktop& Desktop() const { return desktop_; }
    cVek_InterfaceGadget* Look() const;
    // Null when the window does not exist (yet or any more).
    cVek_Window_Panel* PanelWindow(int slot) const;
    cVek_Window_Panel* PictureWindow() const;
    cVek_Window* BackgroundWindow() const;

  protected:
    using PanelFactory = std::unique_ptr<vek::ui::Panel> (*)(TesStudio& studio, cVek_Window_Panel& window);

    // Places the panel window of `slot` with its centre at (cx, cy) and size w × h: created the
    // first time with the current look; its panel is made and added only while it has none. The
    // desktop keeps it on screen; the place it ends up at is remembered for LayoutState.
    cVek_Window_Panel* PlacePanelWindow(int slot, float cx, float cy, float w, float h, PanelFactory make);
    bool Alive(const cVek_Window* window) const;

    cVek_Desktop& desktop_;
    cVek_Window_Panel* pictureWindow_ = nullptr;
    cVek_Window* backgroundWindow_ = nullptr;
    cVek_Window_Panel* panelWindows_[kPanelSlots] = {};
    float placedX_[kPanelSlots] = {};
    float placedY_[kPanelSlots] = {};
    double seenAspect_ = 0.0;
    int lastLayoutState_ = 0;
    bool rebuildRequested_ = false;
    int rebuilds_ = 0;
};

} // namespace vek::tool::tes
