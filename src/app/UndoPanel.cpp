// The undo panel.
#include "app/UndoPanel.h"

#include "app/Commands.h"
#include "app/StudioContext.h"
#include "engine/picture/c_TesPic.h"
#include "ui/cVek_SimpleButton.h"
#include "ui/cVek_Window_Panel.h"

#include <algorithm>

namespace scribbix {

std::string UndoPanel::Caption(const char* word, int steps) {
    return std::string(word) + "\r(" + std::to_string(std::clamp(steps, 0, 9999)) + ")";
}

void UndoPanel::Frame(cVek_Window_Panel& w) {
    int undo = 0, redo = 0;
    if (const c_TesPic* pic = CurrentPicture(); pic && pic->history) {
        undo = pic->history->UndoSteps();
        redo = pic->history->RedoSteps();
    }
    cVek_SimpleButton& b = *button_;
    w.BeginRows(3);
    w.PlaceButton(b, 0, 2, 3);
    b.NextEnabled(undo > 0);
    if (b.Do(w, Caption("Undo", undo),
             undo > 0 ? "Undo the last thing\ryou did on this drawing." : "There's nothing to undo.",
             kIdUndo) &&
        undo > 0)
        commands::Undo(&w, 0);
    w.PlaceButton(b, 1, 2, 3);
    b.NextEnabled(redo > 0);
    if (b.Do(w, Caption("Redo", redo),
             redo > 0
                 ? "Cancel the last Undo\ryou did on this drawing."
                 : "There's nothing to redo.\r\rIf you undo an action,\ryou can use this\rbutton to redo it.",
             kIdRedo) &&
        redo > 0)
        commands::Redo(&w, 0);
}

} // namespace scribbix
