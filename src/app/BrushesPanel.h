// The pen sizes panel: six sizes in two rows, from a fine point to a broad stroke, each a share of
// the drawing's shorter side. The current size is drawn selected.
#pragma once

#include "app/StudioPanel.h"

namespace scribbix {

class BrushesPanel : public StudioPanel {
  public:
    static constexpr int kFirstId = 31;
    BrushesPanel(cVek_Window_Panel& window, const cVek_SimpleButton& buttonTemplate);
    void Frame(cVek_Window_Panel& window) override;
};

} // namespace scribbix
