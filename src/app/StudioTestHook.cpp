// The test hook's state text.
#include "app/StudioTestHook.h"

#include "app/Portfolio.h"
#include "app/Studio.h"
#include "app/StudioContext.h"
#include "app/StudioPanelState.h"
#include "app/ToolColorsPanel.h"
#include "engine/picture/c_TesPic.h"
#include "engine/tools/cTes_Tool.h"
#include "engine/tools/cVek_ToolBox.h"
#include "resources/ProgramState.h"
#include "shell/ShellState.h"
#include "ui/MenuWindow.h"
#include "ui/cVek_Desktop.h"
#include "ui/cVek_Window_Panel.h"

#include <cstdio>
#include <sstream>

namespace scribbix {
namespace {

// Labels carry markup and line breaks: keep printable ASCII, spaces for the rest.
std::string Plain(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c == 0xA4 && i + 1 < s.size() && static_cast<unsigned char>(s[i + 1]) == 0xA4) {
            // Skip the escape and its command's arguments.
            i += 2;
            if (i >= s.size()) break;
            const char cmd = s[i];
            if (cmd == 'C')
                i += 3;
            else if (cmd == 'P' || cmd == 'H' || cmd == 'W')
                i += 1;
            continue;
        }
        out += (c >= 32 && c < 127) ? char(c) : ' ';
    }
    return out;
}

void Cell(std::ostringstream& o, const Studio* studio, const char* name, int slot, int rows, int row,
          int cols, int col, int rowSpan = 1) {
    cVek_Window_Panel* w = studio ? studio->PanelWindow(slot) : nullptr;
    if (!w || !w->Visible()) return;
    w->BeginRows(rows);
    w->NextRow(row);
    const vek::ui::Rect r = w->CellRect(col, cols, rowSpan);
    double px = 0, py = 0;
    vek::shell::DesktopToPixel(r.CentreX(), r.CentreY(), &px, &py);
    o << "button " << name << ' ' << int(px) << ' ' << int(py) << '\n';
}

} // namespace

std::string StudioStateText(const Studio* studio) {
    std::ostringstream o;
    StudioContext& c = Context();
    const ProgramState& s = StudioState();
    o << "screen " << vek::shell::ScreenWidth() << ' ' << vek::shell::ScreenHeight() << '\n';
    o << "studio " << (studio ? 1 : 0) << '\n';
    o << "selectedTool " << s.selectedTool << '\n';
    o << "penSizeIndex " << s.penSizeIndex << '\n';
    o << "selectedColour " << s.selectedColour << '\n';
    o << "panelsHidden " << (PanelRun().panelsHidden ? 1 : 0) << '\n';
    if (cVek_ToolBox* tb = c.toolBox) {
        o << "toolBoxTool " << (tb->primaryTool ? tb->primaryTool->id : 0) << '\n';
        o << "toolBoxSize " << tb->size[0] << '\n';
        const float* p = tb->Colour(cVek_ToolBox::kPaint, 1);
        o << "paint " << p[0] << ' ' << p[1] << ' ' << p[2] << '\n';
    }
    if (const c_TesPic* pic = CurrentPicture()) {
        o << "picture " << pic->pictureNumber << ' ' << pic->width << ' ' << pic->height << '\n';
        o << "paper " << pic->paperColour[0] << ' ' << pic->paperColour[1] << ' ' << pic->paperColour[2]
          << '\n';
        o << "undo " << (pic->history ? pic->history->UndoSteps() : 0) << ' '
          << (pic->history ? pic->history->RedoSteps() : 0) << '\n';
    } else {
        o << "picture 0 0 0\n";
    }
    if (c.portfolio) {
        o << "slots";
        for (int32_t id : c.portfolio->slots)
            o << ' ' << id;
        o << '\n';
    }
    o << "export " << c.exports << ' ' << (c.lastExportOk ? 1 : 0) << ' ' << c.lastExportPath << '\n';
    if (cVek_Desktop* d = c.desktop) {
        o << "popup " << (d->Popup().Showing() ? 1 : 0) << '\n';
        o << "commandPending " << (d->CommandPending() ? 1 : 0) << '\n';
        // Floating windows still fading in or out (a screenshot waits for none).
        int fading = 0;
        for (int i = 0; i < d->WindowCount(); ++i) {
            const cVek_Window* w = d->WindowAt(i);
            if (w->GetLayer() == cVek_Window::kLayerFloating && (!w->IsOpen() || w->Fade() < 1.0f)) ++fading;
        }
        o << "fading " << fading << '\n';
        for (int i = 0; i < d->WindowCount(); ++i) {
            cVek_Window* w = d->WindowAt(i);
            if (w->GetLayer() != cVek_Window::kLayerFloating || !w->IsOpen()) continue;
            o << "window " << Plain(w->Title()) << '\n';
            auto* m = dynamic_cast<vek::ui::MenuWindow*>(w);
            if (!m) continue;
            for (int r = 0; r < m->RowCount(); ++r) {
                const vek::ui::MenuWindow::Row& row = m->RowAt(r);
                const vek::ui::MenuList::Entry& e = m->List().At(row.entry);
                double px = 0, py = 0;
                vek::shell::DesktopToPixel(row.rect.CentreX(), row.rect.CentreY(), &px, &py);
                o << "item " << int(px) << ' ' << int(py) << ' ' << (e.checked ? 1 : 0) << ' '
                  << Plain(e.label) << '\n';
            }
        }
    }
    Cell(o, studio, "options", Studio::kOptions, 2, 0, 1, 0, 2);
    const char* wip[] = {"workInProgress", "export", "clear", "exit"};
    for (int i = 0; i < 4; ++i)
        Cell(o, studio, wip[i], Studio::kWorkInProgress, 4, i, 1, 0);
    for (int k = 0; k < 9; ++k)
        Cell(o, studio, ("tool" + std::to_string(k)).c_str(), Studio::kTools, 3, k / 3, 3, k % 3);
    for (int k = 0; k < 6; ++k)
        Cell(o, studio, ("size" + std::to_string(k)).c_str(), Studio::kPenSizes, 2, k / 3, 3, k % 3);
    Cell(o, studio, "undo", Studio::kUndo, 3, 0, 2, 0, 3);
    Cell(o, studio, "redo", Studio::kUndo, 3, 0, 2, 1, 3);
    if (cVek_Window_Panel* w = studio ? studio->PanelWindow(Studio::kColours) : nullptr; w && w->Visible()) {
        for (int k = 0; k < 24; ++k) {
            const vek::ui::Rect r = ToolColorsPanel::SwatchRect(*w, k);
            double px = 0, py = 0;
            vek::shell::DesktopToPixel(r.CentreX(), r.CentreY(), &px, &py);
            o << "button colour" << k << ' ' << int(px) << ' ' << int(py) << '\n';
        }
    }
    return o.str();
}

void WriteStudioState(const Studio* studio, const std::string& path) {
    static std::string last;
    if (path.empty()) return;
    const std::string text = StudioStateText(studio);
    if (text == last) return;
    const std::string tmp = path + ".tmp";
    FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) return;
    const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    if (std::fclose(f) != 0 || !ok || std::rename(tmp.c_str(), path.c_str()) != 0) {
        std::remove(tmp.c_str());
        return;
    }
    last = text;
}

} // namespace scribbix
