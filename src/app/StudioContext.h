// What the studio, its panels, menus and commands reach: the desktop, the picture editor, the
// tool box, the portfolio and the exporter (all borrowed; the program's set-up fills them in, tests
// fill in their own), the persistent program state, and the few platform calls a command needs.
// Every member may be null; whoever uses one checks it first.
#pragma once

#include <cstdint>
#include <string>

class c_TesPic;
class cTes_Export;
class cTes_PicEditor;
class cVek_Desktop;
class cVek_ToolBox;

namespace scribbix {

class Portfolio;
struct ProgramState;

struct StudioContext {
    cVek_Desktop* desktop = nullptr;
    cTes_PicEditor* editor = nullptr;
    cVek_ToolBox* toolBox = nullptr;
    Portfolio* portfolio = nullptr;
    cTes_Export* exporter = nullptr;
    ProgramState* state = nullptr; // null: the process-wide State()

    // "Minimize": save the picture, give up the GL context and minimise the window. The program
    // runs it after the frame that asked for it, so no GL call follows in that frame.
    void (*minimise)() = nullptr;
    // The time value that export names carry (seconds since 1601 plus 1113171888, modulo 2^32);
    // null: vek::ProgramTimeValue.
    uint32_t (*timeValue)() = nullptr;

    // Outcome of the last export, for the message the user sees and for tests.
    bool lastExportOk = false;
    std::string lastExportPath;
    int exports = 0; // export attempts so far
    // The user was told that quitting would lose the drawing's latest changes.
    bool quitWarned = false;
};

// The process-wide context.
StudioContext& Context();
ProgramState& StudioState();
// The portfolio's current picture, or null.
c_TesPic* CurrentPicture();

// Joins the portfolio, the editor and the exporter: the editor shows the portfolio's current
// drawing and runs its loading sequence on its frames, the drawings redraw through the editor, and
// the exporter encodes with the platform's codec into the portfolio's export folder. All three are
// borrowed and must outlive the connection.
void ConnectPortfolio(Portfolio& portfolio, cTes_PicEditor& editor, cTes_Export& exporter);

} // namespace scribbix
