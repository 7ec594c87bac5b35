// The pen sizes panel.
#include "app/BrushesPanel.h"

#include "app/StudioContext.h"
#include "app/StudioPanelState.h"
#include "engine/picture/c_TesPic.h"
#include "resources/ProgramState.h"
#include "ui/cVek_InterfaceGadget.h"
#include "ui/cVek_SimpleButton.h"
#include "ui/cVek_Window_Panel.h"

namespace scribbix {
namespace {

// Dots of growing size in the icon font: a full stop, then the big dot (byte A5) at growing sizes.
const char* const kCaptions[6] = {
    ".",    "\xA4\xA4HL.\xA4\xA4h",    "\xA4\xA4Hm\xA5\xA4\xA4h",
    "\xA5", "\xA4\xA4HM\xA5\xA4\xA4h", "\xA4\xA4HL\xA5\xA4\xA4h",
};

} // namespace

BrushesPanel::BrushesPanel(cVek_Window_Panel& window, const cVek_SimpleButton& buttonTemplate)
    : StudioPanel(window, buttonTemplate) {
    if (cVek_InterfaceGadget* look = window.Look()) button_->SetCaptionDisplay(&look->IconText());
    button_->SetCaptionColour(0xFFFFFF);
    button_->SetCaptionSize(0.9f);
}

void BrushesPanel::Frame(cVek_Window_Panel& w) {
    ProgramState& state = StudioState();
    if (const c_TesPic* pic = CurrentPicture())
        ApplyPenSize(state, Context().toolBox, pic->width, pic->height);
    cVek_SimpleButton& b = *button_;
    w.BeginRows(2);
    for (int row = 0; row < 2; ++row) {
        for (int col = 0; col < 3; ++col) {
            const int k = row * 3 + col;
            w.PlaceButton(b, col, 3);
            b.NextSelected(state.penSizeIndex == k);
            if (b.Do(w, kCaptions[k], "Choose this pen size.", kFirstId + k)) state.penSizeIndex = k;
        }
        w.NextRow();
    }
}

} // namespace scribbix
