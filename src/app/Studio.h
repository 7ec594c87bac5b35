// The program's studio: the picture window covering the whole screen (the picture is laid out
// against the whole screen, so hiding the panels gives drawing over all of it), the strip of six
// panel windows along the left edge on top of it, and the background window. A plain left press
// on the picture draws; any other press (right or middle button, or with Alt, Ctrl or Shift)
// hides or shows all six panels together, whether it lands on the picture or on the background.
#pragma once

#include "app/TesStudio.h"

#include <cstdint>
#include <memory>

class cVek_SimpleButton;
class cVek_Window;

namespace vek {
struct PointerEvent;
}

namespace scribbix {

class Studio : public vek::tool::tes::TesStudio {
  public:
    // Panel slots, in the order the strip is placed.
    enum Slot { kOptions, kWorkInProgress, kTools, kPenSizes, kUndo, kColours, kSlots };
    static constexpr float kStripWidth = 0.18f;
    static constexpr int kBackgroundButtonId = 42;

    // Applies the colour scheme and creates the background window. `buttonTemplate` (borrowed;
    // null = a flat button of the studio's own) is what every panel clones its buttons from.
    explicit Studio(cVek_Desktop& desktop, const cVek_SimpleButton* buttonTemplate = nullptr);
    ~Studio() override;

    void ApplyColourScheme() override;
    void DesktopLayout() override;
    void CreateOrRefreshPictureWindow() override;
    uint8_t LookByte() const override;

    // Shows or hides the six panel windows (at the next rebuild, which this requests).
    void TogglePanels();
    bool PanelsHidden() const;
    // Whether a press draws (left button, no Alt, Ctrl or Shift) rather than toggling the panels.
    static bool IsPlainPress(uint8_t button, uint16_t modifiers);

    // Centre y and height of each panel window, desktop units.
    struct Place {
        float cy, h;
    };
    static const Place kPlaces[kSlots];

    const cVek_SimpleButton& ButtonTemplate() const { return *buttonTemplate_; }

  private:
    static void PicturePointer(cVek_Window& window, const vek::PointerEvent& e, float x, float y, void* user);
    static void BackgroundBody(cVek_Window& window, void* user);

    std::unique_ptr<cVek_SimpleButton> ownTemplate_;
    const cVek_SimpleButton* buttonTemplate_;
    std::unique_ptr<cVek_SimpleButton> backgroundButton_;
    uint8_t swallowButton_ = 0; // the button of a toggling press, until its release
};

} // namespace scribbix
