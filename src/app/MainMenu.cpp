// The "Options" menu.
#include "app/MainMenu.h"

#include "app/BackgroundMenu.h"
#include "app/ColorsMenu.h"
#include "app/Commands.h"
#include "app/ManualMenu.h"
#include "app/ManualPages.h"
#include "app/StudioContext.h"
#include "app/WorkInProgressMenu.h"
#include "ui/cVek_Desktop.h"

#include <memory>

namespace scribbix {
namespace {

void About(const vek::ui::MenuChoice& c) {
    if (c.desktop) c.desktop->ShowInfo("About", manual::AboutText());
}
void ExportDrawing(const vek::ui::MenuChoice&) {
    commands::Export(nullptr, 0);
}
void ClearDrawing(const vek::ui::MenuChoice&) {
    commands::Clear(nullptr, 0);
}
void ResetPalette(const vek::ui::MenuChoice&) {
    commands::ResetPalette(nullptr, 0);
}
void Minimise(const vek::ui::MenuChoice&) {
    commands::Minimise(nullptr, 0);
}

} // namespace

MainMenu::MainMenu() : vek::ui::MenuList("Options") {
    AddAction("About", "Copyright note\rand credits.", About);
    AddSubMenu("Manual", "Help.", ManualMenu::Open);
    AddSeparator();
    AddSubMenu("Work In Progress",
               "Contains 10 slots for your\runfinished drawings,\rthat are automatically\rsaved between "
               "sessions.\r\rIf all slots are taken,\ryou should 'Export'\rone of them and then\r'Clear' it "
               "to make room\rfor a new drawing.",
               WorkInProgressMenu::Open);
    exportEntry_ = AddAction("Export Drawing",
                             "The work in progress\ris automatically saved,\rso you don't have\rto use the "
                             "export function\runtil your drawing\ris finished.\r\rExported drawings\rcan be "
                             "found in your\rPictures/Photos folder,\rpossibly inside a\rScribbix folder.",
                             ExportDrawing);
    clearEntry_ =
        AddAction("Clear Drawing", "Erase this drawing\rand start over\rfrom scratch.", ClearDrawing);
    AddSeparator();
    AddAction("Reset Palette Colors", "Bring back the\rdefault palette.", ResetPalette);
    AddSubMenu(
        "Current Color",
        "Redefine the currently\rselected color.\r\rThis can also be done by\rpressing the current color.",
        ColorsMenu::Open);
    AddSubMenu("Background", "Choose a new\rbackground color.", BackgroundMenu::Open);
    AddSeparator();
    AddAction("Minimize", "Hide/minimize this app\rwhile you temporarily\rdo other tasks.", Minimise);
}

void MainMenu::Refresh() {
    const bool drawing = CurrentPicture() != nullptr;
    if (exportEntry_ >= 0) At(exportEntry_).enabled = drawing;
    if (clearEntry_ >= 0) At(clearEntry_).enabled = drawing;
}

void MainMenu::Open(const vek::ui::MenuChoice& c) {
    if (c.desktop) c.desktop->OpenMenu(std::make_unique<MainMenu>(), c.x, c.y);
}

} // namespace scribbix
