// The headless studio scene.
#include "StudioScene.h"

#include "app/StudioPanelState.h"
#include "platform/ImageCodec.h"
#include "resources/ProgramState.h"
#include "shell/ShellState.h"
#include "ui/MenuWindow.h"
#include "ui/cVek_InterfaceGadget.h"
#include "ui/cVek_Window_Panel.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace studio_test {
namespace {

StudioScene* g_scene = nullptr;

std::string MakeHome() {
    char tmpl[] = "/tmp/sx_studio_XXXXXX";
    const char* dir = mkdtemp(tmpl);
    return dir ? dir : "/tmp";
}

c_TesPic* CurrentOf(void* user) {
    return static_cast<scribbix::Portfolio*>(user)->currentPicture;
}
void AdvanceLoading(void* user) {
    static_cast<scribbix::Portfolio*>(user)->RunLoadingSequence();
}

} // namespace

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void StudioScene::SetUp() {
    g_scene = this;
    home_ = MakeHome();
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
    portfolio->SetDisplay(editor.get());
    cTes_PicEditor::PictureSource src;
    src.current = CurrentOf;
    src.advanceLoading = AdvanceLoading;
    src.user = portfolio.get();
    editor->SetPictureSource(src);
    exporter = std::make_unique<cTes_Export>();
    exporter->SetEncoder(&vek::PlatformImageEncoder());
    scribbix::Portfolio* p = portfolio.get();
    exporter->SetFolderHook([p](bool create) { return p->EnterExportFolder(create); });

    scribbix::StudioContext& c = scribbix::Context();
    c = scribbix::StudioContext();
    c.desktop = desktop.get();
    c.editor = editor.get();
    c.toolBox = toolBox.get();
    c.portfolio = portfolio.get();
    c.exporter = exporter.get();
    c.minimise = [] { ++g_scene->minimised; };
    c.timeValue = [] { return kTimeValue; };

    BeforeStudio();
    studio = std::make_unique<scribbix::Studio>(*desktop);
    // The loading sequence runs on the editor's first frames and makes the first drawing.
    Frames(3);
    ASSERT_NE(portfolio->currentPicture, nullptr);
}

void StudioScene::TearDown() {
    if (studio->PictureWindow()) editor->SetPictureWindow(nullptr);
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

void StudioScene::CellCentre(int slot, int rows, int row, int cols, int col, float* x, float* y,
                             int rowSpan) const {
    cVek_Window_Panel* w = studio->PanelWindow(slot);
    ASSERT_NE(w, nullptr);
    w->BeginRows(rows);
    w->NextRow(row);
    const vek::ui::Rect r = w->CellRect(col, cols, rowSpan);
    *x = r.CentreX();
    *y = r.CentreY();
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

std::string StudioScene::HelpAt(float x, float y) {
    Pointer(vek::kPointerMove, x, y, 0, 0);
    Frames(1); // a popup still up for the last element goes
    for (int i = 0; i < 100 && !desktop->Popup().Showing(); ++i)
        Frames(1);
    return desktop->Popup().Showing() ? desktop->Popup().Help() : std::string();
}

} // namespace studio_test
