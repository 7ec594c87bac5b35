// The headless studio scene.
#include "StudioScene.h"

#include "app/StudioPanelState.h"
#include "app/ToolColorsPanel.h"
#include "engine/picture/c_TesPic.h"
#include "resources/ProgramState.h"
#include "shell/ShellState.h"
#include "ui/MenuWindow.h"
#include "ui/cVek_InterfaceGadget.h"
#include "ui/cVek_Window_Info.h"
#include "ui/cVek_Window_Panel.h"

#include <cmath>
#include <cstdlib>
#include <sys/stat.h>

namespace studio_test {
namespace {
StudioScene* g_scene = nullptr;
}

void StudioScene::SetUp() {
    g_scene = this;
    char tmpl[] = "/tmp/sx_studio_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    home_ = tmpl;
    setenv("HOME", home_.c_str(), 1);
    setenv("XDG_DATA_HOME", (home_ + "/.local/share").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home_ + "/.config").c_str(), 1);
    unsetenv("XDG_PICTURES_DIR");
    mkdir((home_ + "/Pictures").c_str(), 0700);

    scribbix::State().Reset();
    scribbix::PanelRun() = scribbix::PanelRunState();
    vek::shell::CurrentScreen() = vek::shell::Screen{kScreenW, kScreenH, 24};

    cVek_Desktop::Settings s;
    s.idleSkipping = false;
    s.quitRequest = [] { ++g_scene->quits; };
    desktop = std::make_unique<cVek_Desktop>(s);
    desktop->SetHeadless(true);
    desktop->Look()->animations = false;
    desktop->Look()->sounds = false;
    auto root = std::make_unique<cVek_Window>();
    root->SetPlacement(0.0f, 0.0f, 1.6f, 1.0f);
    desktop->AddWindow(std::move(root));

    toolBox = std::make_unique<scribbix::ToolBox>(kScreenW, kScreenH);
    ASSERT_TRUE(toolBox->Initialize());
    editor = std::make_unique<cTes_PicEditor>();
    editor->fullScreenLayout = 1;
    editor->SetToolBox(toolBox.get());
    portfolio = std::make_unique<scribbix::Portfolio>(kScreenW, kScreenH);
    exporter = std::make_unique<cTes_Export>();
    scribbix::ConnectPortfolio(*portfolio, *editor, *exporter);

    scribbix::StudioContext& c = scribbix::Context();
    c = scribbix::StudioContext();
    c.desktop = desktop.get();
    c.editor = editor.get();
    c.toolBox = toolBox.get();
    c.portfolio = portfolio.get();
    c.exporter = exporter.get();
    c.minimise = [] { ++g_scene->minimised; };
    c.timeValue = [] { return kTimeValue; };

    studio = std::make_unique<scribbix::Studio>(*desktop);
    // The loading sequence runs on the editor's first frames and makes the first drawing.
    Frames(3);
    ASSERT_NE(portfolio->currentPicture, nullptr);
}

void StudioScene::TearDown() {
    if (studio && studio->PictureWindow()) editor->SetPictureWindow(nullptr);
    studio.reset();
    desktop.reset();
    scribbix::Context() = scribbix::StudioContext();
    exporter.reset();
    portfolio.reset();
    editor.reset();
    toolBox.reset();
    std::system(("rm -rf '" + home_ + "'").c_str());
    g_scene = nullptr;
}

void StudioScene::Frames(int n) {
    for (int i = 0; i < n; ++i) {
        studio->Frame();
        desktop->Frame(0.02);
    }
}

void StudioScene::Pointer(uint8_t type, float x, float y, uint8_t button, uint16_t modifiers) {
    double px = 0, py = 0;
    vek::shell::DesktopToPixel(x, y, &px, &py);
    vek::PointerEvent e;
    e.x = uint32_t(std::floor(px));
    e.y = uint32_t(std::floor(py));
    e.type = type;
    e.button = button;
    e.modifiers = modifiers;
    static double t = 0.0;
    t += 0.01;
    e.time = t;
    desktop->OnPointer(e);
}

void StudioScene::Click(float x, float y, uint8_t button, uint16_t keys) {
    const uint16_t held = button == 1 ? vek::kModLeft : button == 2 ? vek::kModRight : vek::kModMiddle;
    Pointer(vek::kPointerMove, x, y, 0, keys);
    Frames(1);
    Pointer(vek::kPointerPress, x, y, button, uint16_t(keys | held));
    Frames(1);
    Pointer(vek::kPointerRelease, x, y, button, keys);
    Frames(2);
}

vek::ui::Rect StudioScene::CellRect(const Cell& c) const {
    cVek_Window_Panel* w = studio->PanelWindow(c.slot);
    if (!w) return {};
    w->BeginRows(c.rows);
    w->NextRow(c.row);
    return w->CellRect(c.col, c.cols, c.rowSpan);
}

vek::ui::Rect StudioScene::SwatchRect(int k) const {
    return scribbix::ToolColorsPanel::SwatchRect(*studio->PanelWindow(scribbix::Studio::kColours), k);
}

void StudioScene::Stroke(float x0, float y0, float x1, float y1) {
    Pointer(vek::kPointerMove, x0, y0, 0, 0);
    Pointer(vek::kPointerPress, x0, y0, 1, vek::kModLeft);
    for (int i = 1; i <= 20; ++i) {
        const float t = float(i) / 20.0f;
        Pointer(vek::kPointerDrag, x0 + (x1 - x0) * t, y0 + (y1 - y0) * t, 0, vek::kModLeft);
    }
    Pointer(vek::kPointerRelease, x1, y1, 1, 0);
    Frames(2);
}

std::string StudioScene::HelpAt(const vek::ui::Rect& r) {
    Pointer(vek::kPointerMove, r.CentreX(), r.CentreY(), 0, 0);
    Frames(1); // a popup still up for the last element goes
    for (int i = 0; i < 100 && !desktop->Popup().Showing(); ++i)
        Frames(1);
    return desktop->Popup().Showing() ? desktop->Popup().Help() : std::string();
}

vek::ui::MenuWindow* StudioScene::TopMenu() const {
    for (int i = desktop->WindowCount(); i-- > 0;) {
        auto* m = dynamic_cast<vek::ui::MenuWindow*>(desktop->WindowAt(i));
        if (m && m->IsOpen()) return m;
    }
    return nullptr;
}

bool StudioScene::ChooseInTopMenu(const std::string& label) {
    Frames(1); // a menu opened since the last frame has no rows yet
    vek::ui::MenuWindow* m = TopMenu();
    if (!m) return false;
    for (int i = 0; i < m->RowCount(); ++i) {
        const auto& row = m->RowAt(i);
        if (m->List().At(row.entry).label == label) {
            Click(row.rect.CentreX(), row.rect.CentreY());
            return true;
        }
    }
    return false;
}

cVek_Window_Info* StudioScene::TopInfo() const {
    for (int i = desktop->WindowCount(); i-- > 0;) {
        auto* w = dynamic_cast<cVek_Window_Info*>(desktop->WindowAt(i));
        if (w && w->IsOpen()) return w;
    }
    return nullptr;
}

std::string StudioScene::InfoText() const {
    return TopInfo() ? TopInfo()->Text() : std::string();
}

std::vector<float> StudioScene::Ink() const {
    const c_TesLayer* l = portfolio->currentPicture->currentLayer;
    return std::vector<float>(l->Pixels(), l->Pixels() + size_t(l->width) * size_t(l->height) * 4);
}

int StudioScene::UndoSteps() const {
    const c_TesPic* pic = portfolio->currentPicture;
    return pic && pic->history ? pic->history->UndoSteps() : 0;
}

int StudioScene::VisiblePanels() const {
    int n = 0;
    for (int i = 0; i < scribbix::Studio::kSlots; ++i)
        if (studio->PanelWindow(i) && studio->PanelWindow(i)->Visible()) ++n;
    return n;
}

} // namespace studio_test
