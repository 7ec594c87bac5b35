// The program's commands. Commands that change the picture wait while a stroke is being drawn
// (they store themselves again for the next frame), so a shortcut key pressed mid-stroke never
// lands between a stroke's press and its release.
#include "app/Commands.h"

#include "app/Portfolio.h"
#include "app/StudioContext.h"
#include "app/StudioPanelState.h"
#include "editor/cTes_PicEditor.h"
#include "engine/picture/c_TesPic.h"
#include "engine/storage/c_TesExport.h"
#include "engine/tools/cVek_ToolBox.h"
#include "resources/ProgramState.h"
#include "shell/MacRoman.h"
#include "shell/Random.h"
#include "ui/cVek_Desktop.h"

#include <string>

namespace scribbix::commands {
namespace {

// True when the command is to run later (the caller returns): stored for a later frame on its
// first call, or stored again while a stroke is open when it waits for strokes.
bool Later(CommandAction action, cVek_Window* window, intptr_t arg, bool waitForStroke = true) {
    cVek_Desktop* d = Context().desktop;
    if (!d) return false;
    if (d->Defer(action, window, arg)) return true;
    const cTes_PicEditor* e = Context().editor;
    if (!waitForStroke || !e || !e->DragCaptured()) return false;
    d->Defer(action, window, arg);
    return true;
}

// After the picture object may have been rebuilt (undo, redo, slot change), the tool box paints
// on the portfolio's current picture again.
void RefreshToolBoxPicture() {
    if (cVek_ToolBox* tb = Context().toolBox) tb->SetPicture(CurrentPicture());
}

uint32_t TimeValue() {
    StudioContext& c = Context();
    return c.timeValue ? c.timeValue() : vek::ProgramTimeValue();
}

void ShowExportResult(bool ok, const std::string& path) {
    cVek_Desktop* d = Context().desktop;
    if (!d) return;
    if (ok) {
        const size_t slash = path.find_last_of('/');
        const std::string file = slash == std::string::npos ? path : path.substr(slash + 1);
        const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash);
        d->ShowInfo("Export", "Your drawing was exported as\r\xA4\xA4P\x03" + vek::Utf8ToMacRoman(file) +
                                  "\xA4\xA4p\rin the folder\r" + vek::Utf8ToMacRoman(folder));
    } else {
        d->ShowInfo("Export", "The drawing could not be exported.\r\r"
                              "Please check that your Pictures folder exists,\r"
                              "that you may write to it and that the disk is not full.\r"
                              "Your drawing itself stays in 'Work In Progress'.");
    }
}

// The current drawing and the portfolio record are on disk (or there is nothing to save).
bool DrawingSaved() {
    Portfolio* p = Context().portfolio;
    return !p || !p->currentPicture || p->SavePortfolio();
}

void WarnNotSaved(const char* whatNow) {
    if (cVek_Desktop* d = Context().desktop)
        d->ShowInfo("Warning!", std::string("Your drawing could not be saved.\r\r"
                                            "Please check that the disk is not full\r"
                                            "and that you may write to your home folder.\r") +
                                    whatNow);
}

// One history step back (0) or forward (1), when there is one.
void Step(int direction) {
    c_TesPic* pic = CurrentPicture();
    if (!pic || !pic->history) return;
    if ((direction == 0 ? pic->history->UndoSteps() : pic->history->RedoSteps()) <= 0) return;
    pic->history->Undo(direction);
    RefreshToolBoxPicture();
}

} // namespace

bool SaveCurrentDrawing() {
    if (DrawingSaved()) return true;
    WarnNotSaved("It stays open here; nothing is lost\ras long as Scribbix keeps running.");
    return false;
}

bool ReadyToQuit() {
    StudioContext& c = Context();
    if (c.quitWarned || DrawingSaved()) return true;
    c.quitWarned = true;
    WarnNotSaved("Quit once more to quit anyway\r(the latest changes are then lost).");
    return false;
}

std::string ExportBaseName(uint32_t seconds) {
    StudioContext& c = Context();
    c_TesPic* pic = CurrentPicture();
    std::string base;
    const int slot = c.portfolio && pic ? c.portfolio->SlotOf(pic->pictureNumber) : -1;
    if (slot >= 0)
        base = Portfolio::SlotLabel(slot);
    else if (pic)
        base = pic->name;
    return base + " (" + std::to_string(seconds) + ")";
}

void Export(cVek_Window* window, intptr_t arg) {
    if (Later(Export, window, arg)) return;
    StudioContext& c = Context();
    c_TesPic* pic = CurrentPicture();
    if (!c.exporter || !pic) return;
    // A drawing that was never given a slot (the menu was never opened) takes slot 0 first, so
    // the file is named after its slot like every other drawing.
    if (c.portfolio) c.portfolio->NormalizeSlots();
    c.exporter->SetOverrideName(ExportBaseName(TimeValue()).c_str());
    const s_TesExportPars pars; // PNG, opaque over the paper, visible layers only
    c.lastExportOk = c.exporter->ExportPicture(pars, pic);
    ++c.exports;
    c.lastExportPath = c.lastExportOk ? c.exporter->WrittenPath() : std::string();
    ShowExportResult(c.lastExportOk, c.lastExportPath);
}

void Clear(cVek_Window* window, intptr_t arg) {
    if (Later(Clear, window, arg)) return;
    StudioContext& c = Context();
    if (!c.portfolio || !c.portfolio->currentPicture) return;
    if (!c.portfolio->ClearDrawing()) {
        if (c.desktop)
            c.desktop->ShowInfo("Warning!", "The drawing was not cleared: it could not be kept for Undo.\r\r"
                                            "Please check that the disk is not full\r"
                                            "and that you may write to your home folder.");
        return;
    }
    if (c.editor) c.editor->RequestRebuild();
    RefreshToolBoxPicture();
}

void GoToDrawing(cVek_Window* window, intptr_t slot) {
    if (Later(GoToDrawing, window, slot)) return;
    StudioContext& c = Context();
    if (!c.portfolio || slot < 0 || slot >= Portfolio::kSlotCount) return;
    // Switching away releases the drawing: it must be on disk first.
    const c_TesPic* current = CurrentPicture();
    if (current && c.portfolio->slots[slot] != current->pictureNumber && !SaveCurrentDrawing()) return;
    c.portfolio->ChooseSlot(int(slot));
    if (c.editor) c.editor->RequestRebuild();
    RefreshToolBoxPicture();
}

void SetBackground(cVek_Window* window, intptr_t rgb) {
    if (Later(SetBackground, window, rgb)) return;
    StudioContext& c = Context();
    c_TesPic* pic = CurrentPicture();
    if (!pic) return;
    float paper[3];
    if (rgb == kBackgroundCurrent) {
        if (!c.toolBox) return;
        const float* paint = c.toolBox->Colour(cVek_ToolBox::kPaint, 1);
        paper[0] = paint[0];
        paper[1] = paint[1];
        paper[2] = paint[2];
    } else {
        paper[0] = float((rgb >> 16) & 0xFF) / 255.0f;
        paper[1] = float((rgb >> 8) & 0xFF) / 255.0f;
        paper[2] = float(rgb & 0xFF) / 255.0f;
    }
    if (pic->history) pic->history->Record(cTes_PicHistory::kLayout, cTes_PicHistory::kCurrentLayer);
    // The layout step may have rebuilt nothing, but fetch the picture again to be sure.
    pic = CurrentPicture();
    if (!pic) return;
    pic->paperColour[0] = paper[0];
    pic->paperColour[1] = paper[1];
    pic->paperColour[2] = paper[2];
    pic->headerDirty = 1;
    pic->RedrawAll();
    if (c.editor) c.editor->RequestRebuild();
}

void ResetPalette(cVek_Window* window, intptr_t arg) {
    if (Later(ResetPalette, window, arg, false)) return;
    LoadDefaultPalette(StudioState(), Context().toolBox);
}

void Minimise(cVek_Window* window, intptr_t arg) {
    if (Later(Minimise, window, arg)) return;
    if (Context().minimise) Context().minimise();
}

void Exit(cVek_Window* window, intptr_t arg) {
    if (Later(Exit, window, arg, false)) return;
    cVek_Desktop* d = Context().desktop;
    if (d && !d->Closing() && ReadyToQuit()) d->Close();
}

void Undo(cVek_Window* window, intptr_t arg) {
    if (Later(Undo, window, arg)) return;
    Step(0);
}

void Redo(cVek_Window* window, intptr_t arg) {
    if (Later(Redo, window, arg)) return;
    Step(1);
}

void Shortcut(cVek_Window* window, intptr_t command) {
    if (command != kUndo && command != kRedo) return; // the clipboard keys have no command here
    if (Later(Shortcut, window, command)) return;
    Step(command == kUndo ? 0 : 1);
}

} // namespace scribbix::commands
