// The work-in-progress panel.
#include "app/MenusPanel.h"

#include "app/Commands.h"
#include "app/WorkInProgressMenu.h"
#include "ui/cVek_SimpleButton.h"
#include "ui/cVek_Window_Panel.h"

#include <memory>

namespace scribbix {

void MenusPanel::Frame(cVek_Window_Panel& w) {
    cVek_SimpleButton& b = *button_;
    w.BeginRows(4);
    w.PlaceButton(b, 0, 1);
    if (b.Do(
            w, "Work In Progress ->",
            "Contains 10 slots for your unfinished drawings,\rthat are automatically saved.\r\rIf all slots "
            "are taken, you should 'Export' one of them\rand then 'Clear' it to make room for a new drawing.",
            kIdWorkInProgress))
        OpenMenuBesideButton(std::make_unique<WorkInProgressMenu>());
    w.NextRow();
    w.PlaceButton(b, 0, 1);
    if (b.Do(w, "Export",
             "The work in progress is automatically saved,\rso you don't have to use the export "
             "function\runtil "
             "your drawing is finished.\r\rExported drawings can be found in your Pictures folder\r(inside a "
             "Scribbix folder).",
             kIdExport))
        commands::Export(&w, 0);
    w.NextRow();
    w.PlaceButton(b, 0, 1);
    if (b.Do(w, "Clear", "Erase this drawing\rand start over from scratch.", kIdClear))
        commands::Clear(&w, 0);
    w.NextRow();
    w.PlaceButton(b, 0, 1);
    if (b.Do(w, "Exit", "Quit this app.", kIdExit)) commands::Exit(&w, 0);
}

} // namespace scribbix
