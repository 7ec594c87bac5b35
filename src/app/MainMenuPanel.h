// The options panel: one large button that opens the "Options" menu.
#pragma once

#include "app/StudioPanel.h"

namespace scribbix {

class MainMenuPanel : public StudioPanel {
  public:
    static constexpr int kId = 1;
    using StudioPanel::StudioPanel;
    void Frame(cVek_Window_Panel& window) override;
};

} // namespace scribbix
