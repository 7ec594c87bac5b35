// The tools panel.
#include "app/ToolsPanel.h"

#include "app/StudioContext.h"
#include "app/StudioPanelState.h"
#include "resources/ProgramState.h"
#include "ui/cVek_InterfaceGadget.h"
#include "ui/cVek_SimpleButton.h"
#include "ui/cVek_Window_Panel.h"

namespace scribbix {

ToolsPanel::ToolsPanel(cVek_Window_Panel& window, const cVek_SimpleButton& buttonTemplate)
    : StudioPanel(window, buttonTemplate) {
    if (cVek_InterfaceGadget* look = window.Look()) button_->SetCaptionDisplay(&look->IconText());
    // The icons carry their own colours; white leaves them as drawn.
    button_->SetCaptionColour(0xFFFFFF);
    button_->SetCaptionSize(0.95f);
    ApplySelectedTool(StudioState(), Context().toolBox);
}

void ToolsPanel::Frame(cVek_Window_Panel& w) {
    ProgramState& state = StudioState();
    cVek_SimpleButton& b = *button_;
    w.BeginRows(3);
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            const int k = row * 3 + col;
            const ToolButton& t = kToolButtons[k];
            w.PlaceButton(b, col, 3);
            b.NextSelected(uint32_t(state.selectedTool) == t.id);
            if (b.Do(w, t.caption, t.help, kFirstId + k)) {
                state.selectedTool = int32_t(t.id);
                ApplySelectedTool(state, Context().toolBox);
            }
        }
        w.NextRow();
    }
}

} // namespace scribbix
