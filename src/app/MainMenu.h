// The "Options" menu opened from the options panel: About, the manual, the work in progress,
// export and clear, the palette and background colours, and minimise.
#pragma once

#include "ui/MenuList.h"

namespace scribbix {

class MainMenu : public vek::ui::MenuList {
  public:
    MainMenu();
    // Export and Clear are available only while there is a drawing.
    void Refresh() override;

    // Sub-menu builder that opens this menu at the pointer.
    static void Open(const vek::ui::MenuChoice& choice);

  private:
    int exportEntry_ = -1;
    int clearEntry_ = -1;
};

} // namespace scribbix
