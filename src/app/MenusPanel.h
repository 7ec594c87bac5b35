// The work-in-progress panel: the "Work In Progress" menu, Export, Clear and Exit.
#pragma once

#include "app/StudioPanel.h"

namespace scribbix {

class MenusPanel : public StudioPanel {
  public:
    enum : int { kIdWorkInProgress = 11, kIdExport = 12, kIdClear = 13, kIdExit = 14 };
    using StudioPanel::StudioPanel;
    void Frame(cVek_Window_Panel& window) override;
};

} // namespace scribbix
