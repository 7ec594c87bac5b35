// The undo panel: Undo and Redo side by side with the number of steps each can go; a button with
// nothing to do is drawn greyed and explains why.
#pragma once

#include "app/StudioPanel.h"

#include <string>

namespace scribbix {

class UndoPanel : public StudioPanel {
  public:
    enum : int { kIdUndo = 317, kIdRedo = 318 };
    using StudioPanel::StudioPanel;
    void Frame(cVek_Window_Panel& window) override;

    // "Undo\r(3)": the word, a line break and the step count (at most four digits) in brackets.
    static std::string Caption(const char* word, int steps);
};

} // namespace scribbix
