// The tools panel: nine tool buttons in three rows, drawn with the icon font; the selected tool's
// button is drawn selected. A click selects the tool and hands it to the tool box.
#pragma once

#include "app/StudioPanel.h"

namespace scribbix {

class ToolsPanel : public StudioPanel {
  public:
    static constexpr int kFirstId = 21;
    // Applies the saved selection to the tool box.
    ToolsPanel(cVek_Window_Panel& window, const cVek_SimpleButton& buttonTemplate);
    void Frame(cVek_Window_Panel& window) override;
};

} // namespace scribbix
