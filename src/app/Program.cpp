// The program's slots in the shell, in the order they run: set-up makes every long-lived object
// in a fixed order, the frame function makes the studio on its first frame and runs the desktop,
// the activation handler saves and lets go of the GL side when the program loses the foreground,
// and the close handler saves the drawing and the settings before the windows close.
// Objects are destroyed by the shutdown callback in the reverse order of their dependencies, while
// the GL context is still there for their textures.
#include "app/Program.h"

#include "app/App.h"
#include "app/Commands.h"
#include "app/Portfolio.h"
#include "app/Studio.h"
#include "app/StudioContext.h"
#include "app/StudioTestHook.h"
#include "app/ToolBox.h"
#include "editor/cTes_PicEditor.h"
#include "engine/history/c_TesUndo.h"
#include "engine/picture/c_TesPic.h"
#include "engine/storage/cTes_PortfolioHost.h"
#include "engine/storage/c_TesExport.h"
#include "platform/Cursors.h"
#include "platform/DesktopView.h"
#include "platform/SdlWindowSystem.h"
#include "platform/Window.h"
#include "resources/ProgramState.h"
#include "resources/ResourceTextures.h"
#include "resources/SoundMixer.h"
#include "resources/cVek_Settings.h"
#include "resources/cVek_SoundBank.h"
#include "shell/Clock.h"
#include "shell/FolderService.h"
#include "shell/Shell.h"
#include "shell/ShellState.h"
#include "shell/cVek_AppInfo.h"
#include "ui/GlyphTables.h"
#include "ui/cVek_Desktop.h"
#include "ui/cVek_Font.h"
#include "ui/cVek_InterfaceGadget.h"
#include "ui/cVek_InterfaceShape.h"
#include "ui/cVek_SimpleButton_2d.h"
#include "ui/cVek_TextDisplay_Cyber.h"
#include "ui/cVek_Window.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>

namespace scribbix::program {
namespace {

// What the portfolio's loading sequence asks of the screen: a low-disk warning becomes a message
// window (shown once per run). Busy messages are not shown: loading a screen-sized drawing is quick.
class Host : public cTes_PortfolioHost {
  public:
    void ShowDiskWarning(const std::string& markup) override;

  private:
    bool warned_ = false;
};

std::unique_ptr<cVek_AppInfo> g_appInfo;
std::unique_ptr<cVek_Font> g_textFont, g_iconFont;
std::unique_ptr<cVek_Desktop> g_desktop;
std::unique_ptr<cVek_InterfaceGadget> g_look;
std::unique_ptr<cTes_PicEditor> g_editor;
std::unique_ptr<cVek_Settings> g_settings;
std::unique_ptr<cVek_InterfaceShape> g_shape;
std::unique_ptr<cVek_SimpleButton> g_button, g_buttonClone;
std::unique_ptr<scribbix::ToolBox> g_toolBox;
std::unique_ptr<scribbix::Portfolio> g_portfolio;
std::unique_ptr<cTes_Export> g_export;
std::unique_ptr<scribbix::Studio> g_studio;
Host g_host;

vek::FrameTimer g_frameTimer;
// Before the desktop exists (and after it is gone) the GL-ready flag lives here.
bool g_glReady = false;
bool g_inActivation = false;
bool g_closed = false;
bool g_minimiseRequested = false;
// Whether Undo and Redo are possible for the current drawing, refreshed by the root window.
bool g_canUndo = false, g_canRedo = false;
// The test hook's file (SCRIBBIX_TEST_STATE), empty when unset.
std::string g_testStatePath;

// Cursor slots registered by set-up; their images are not shipped, so they show the arrow.
struct CursorName {
    int slot;
    const char* name;
};
const CursorName kCursorNames[] = {{1, "cross1515"}, {2, "fill0661"}, {3, "pick0860"}};

// Around everything, where no drawing covers the screen.
constexpr float kClearGrey[3] = {0.36f, 0.39f, 0.44f};

vek::shell::Shell& TheShell() {
    static vek::shell::Shell shell;
    return shell;
}

void Host::ShowDiskWarning(const std::string& markup) {
    if (warned_ || !g_desktop) return;
    warned_ = true;
    g_desktop->ShowInfo("Warning!", markup);
}

// The root window's body: the Undo / Redo availability of the current drawing, then a cleared
// screen for the windows above it.
void RootFrame(cVek_Window&, void*) {
    const c_TesPic* pic = g_portfolio ? g_portfolio->currentPicture : nullptr;
    g_canUndo = pic && pic->history && pic->history->UndoSteps() > 0;
    g_canRedo = pic && pic->history && pic->history->RedoSteps() > 0;
    glClearColor(kClearGrey[0], kClearGrey[1], kClearGrey[2], 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// Settings → objects that keep their own copies (after a load).
void ApplySettings(bool) {
    ProgramState& s = State();
    if (g_editor) {
        const uint8_t bytes[2] = {s.editor.editorSubPixel, s.editor.editorMagnifier};
        g_editor->SetStateBytes(bytes);
    }
}

// Objects → settings (before a save).
void GatherSettings() {
    ProgramState& s = State();
    if (g_editor) {
        uint8_t bytes[2];
        g_editor->GetStateBytes(bytes);
        s.editor.editorSubPixel = bytes[0];
        s.editor.editorMagnifier = bytes[1];
    }
    if (g_toolBox) g_toolBox->GetStateBytes(s.editor.toolBox);
    if (g_portfolio)
        std::copy(std::begin(g_portfolio->slots), std::end(g_portfolio->slots), std::begin(s.wipSlots));
}

void RequestMinimise() {
    g_minimiseRequested = true;
}

// Steps 2 to 5 of closing: everything that keeps the user's work, none of it touching GL.
void KeepWork() {
    // 2. The current drawing and the portfolio record.
    if (g_portfolio) g_portfolio->SavePortfolio();
    // 3. Every drawing's undo files.
    if (g_portfolio) g_portfolio->ClearHistoryFiles();
    // 4. The settings (the objects' state bytes and the version record are gathered first).
    if (g_settings && g_settings->IsLoaded()) g_settings->Save();
    // 5. INTEGRATION: delete the clipboard object (with the clipboard's issue).
}

} // namespace

bool GlReady() {
    return g_desktop ? g_desktop->GlReady() : g_glReady;
}
double FrameInterval() {
    return g_frameTimer.Interval();
}

int Main() {
    const std::string title = cVek_AppInfo::WindowTitle(); // "Scribbix v1.0.0"
    scribbix::App app;
    if (const char* p = std::getenv("SCRIBBIX_TEST_STATE")) g_testStatePath = p;

    vek::shell::Shell& shell = TheShell();
    shell.slots.setup = SetUp;
    shell.slots.frame = Frame;
    shell.slots.shutdown = OnShutdown;
    shell.slots.closeRequest = CloseRequest;
    shell.slots.displayLost = OnDisplayLost;
    shell.services.startSoundMixer = vek::res::StartSoundMixer;
    shell.services.stopAllSounds = vek::res::StopAllSounds;
    shell.services.stopSoundMixer = vek::res::StopSoundMixer;
    shell.services.buildGlyphGrid = vek::ui::BuildGlyphGrid;

    vek::platform::SdlWindowSystem windows;
    return shell.Run(windows, title);
}

void SetUp() {
    vek::shell::Shell& shell = TheShell();
    const int screenW = std::max(1, vek::shell::ScreenWidth());
    const int screenH = std::max(1, vek::shell::ScreenHeight());
    // 1. The layer effects' table of powers of two belongs to the effects box, which this
    //    program's screens never use (step 17).
    // 2. Application information.
    g_appInfo.reset(new cVek_AppInfo);
    // 3.
    shell.InstallActivationHandler(OnActivation);
    // 4. The read-only resources.
    vek::FolderService::Get().GoTo(0);
    // 5. Fonts: glyph metrics now, their images from the GL resource loader.
    g_textFont = std::make_unique<cVek_Font>();
    g_textFont->LoadMetrics(vek::ui::kTextFontSheet);
    g_iconFont = std::make_unique<cVek_Font>();
    g_iconFont->LoadMetrics(vek::ui::kIconFontSheet);
    // 6. The desktop: close handler, the built-in shortcut keys (sent to the commands; Escape
    //    closes the front menu or message), GL state re-applied per drawn frame, depth cleared,
    //    idle frames skipped.
    cVek_Desktop::Settings ds;
    ds.closeHandler = OnClose;
    ds.textFont = g_textFont.get();
    ds.iconFont = g_iconFont.get();
    g_desktop = std::make_unique<cVek_Desktop>(ds);
    g_desktop->SetGlReady(g_glReady);
    g_desktop->InstallInputHandlers();
    g_desktop->SetShortcutAction(scribbix::commands::Shortcut);
    // 7. The root window.
    auto root = std::make_unique<cVek_Window>();
    root->SetPlacement(0.0f, 0.0f, float(vek::shell::ScreenAspect()), 1.0f);
    root->SetBody(RootFrame, nullptr);
    g_desktop->AddWindow(std::move(root));
    // 8. Cursor names, then the arrow.
    vek::platform::Cursors& cursors = vek::platform::Cursors::Get();
    for (const CursorName& c : kCursorNames)
        cursors.Register(c.slot, c.name);
    cursors.Select(0);
    // 9. The texture table; the loader runs at once when a GL context is live.
    vek::res::ClearTextureNames();
    shell.InstallGlResourceLoader(LoadGlResources);
    // 10. The current look.
    g_look = std::make_unique<cVek_InterfaceGadget>(g_textFont.get(), g_iconFont.get());
    g_look->SetSchemeColours(0xB87598, 0x000000, 0xA0FFFF, 0xC8FFC8);
    g_desktop->SetLook(g_look.get());
    // 11. The picture editor, laying drawings out against the whole screen.
    g_editor = std::make_unique<cTes_PicEditor>();
    g_editor->fullScreenLayout = 1;
    // 12. and 13. The settings, loaded at once from "Vekstal/Sx" (created when missing); the
    //     version check runs inside.
    g_settings = scribbix::CreateSettings(State(), ApplySettings, GatherSettings);
    g_settings->Load();
    // 14. The sounds.
    vek::FolderService::Get().GoTo(0);
    g_desktop->SoundBank().Load();
    // 15. Frame shape, the button template and its clone (the studio's panels clone theirs from it).
    g_shape = std::make_unique<cVek_InterfaceShape>();
    g_desktop->SetFrameShape(g_shape.get());
    g_button = std::make_unique<cVek_SimpleButton_2d>();
    g_buttonClone = g_button->Clone();
    // 16. The tool box and its two saved bytes.
    g_toolBox = std::make_unique<scribbix::ToolBox>(screenW, screenH);
    g_toolBox->Initialize(); // out of memory: no tools, nothing paints, everything else works
    g_toolBox->SetStateBytes(State().editor.toolBox);
    c_TesUndo::SetEndRecordingHook([] {
        if (gVek_ToolBox) gVek_ToolBox->EndRecordingOrReplay();
    });
    // 17. The layer effects box is not part of this program's screens; nothing is made.
    // 18. Sound on.
    vek::res::ApplySoundSwitch(true, vek::SoundMixer::Get(), &g_desktop->SoundBank());
    // 19. From now on closing saves the settings.
    g_settings->MarkLoaded();
    // 20. The portfolio (its drawings load on the editor's first frames) with the slots from the
    //     settings, and the exporter writing into the portfolio's export folder.
    //     INTEGRATION: the filter factory and the importer join here with their issue.
    g_portfolio = std::make_unique<scribbix::Portfolio>(screenW, screenH);
    std::copy(std::begin(State().wipSlots), std::end(State().wipSlots), std::begin(g_portfolio->slots));
    g_portfolio->SetHost(&g_host);
    g_export = std::make_unique<cTes_Export>();
    scribbix::ConnectPortfolio(*g_portfolio, *g_editor, *g_export);

    scribbix::StudioContext& c = scribbix::Context();
    c.desktop = g_desktop.get();
    c.editor = g_editor.get();
    c.toolBox = g_toolBox.get();
    c.portfolio = g_portfolio.get();
    c.exporter = g_export.get();
    c.minimise = RequestMinimise;
}

void Frame() {
    // 1. The frame interval: 0 on the first frame.
    g_frameTimer.Next();
    // 2.
    if (!g_desktop || !g_desktop->GlReady()) return;
    // 3. The studio, made once with a live GL context.
    if (!g_studio) g_studio = std::make_unique<scribbix::Studio>(*g_desktop, g_buttonClone.get());
    // 4.
    g_studio->Frame();
    // 5. The lights of the shaded buttons.
    vek::platform::ResetLights();
    // 6. The desktop draws the picture, the panels and the windows, and swaps.
    g_desktop->Frame(FrameInterval());
    // "Minimize" lets go of the GL side only once the frame that asked for it is over.
    if (g_minimiseRequested) {
        g_minimiseRequested = false;
        vek::shell::MinimiseCommand();
    }
    if (!g_testStatePath.empty()) scribbix::WriteStudioState(g_studio.get(), g_testStatePath);
}

void OnActivation(int gained) {
    if (g_inActivation) return; // a nested call (from what the handler itself triggers) does nothing
    g_inActivation = true;
    if (gained) {
        // The current drawing loads again on the next frames.
        if (g_portfolio) g_portfolio->RestartLoading();
        g_glReady = vek::platform::MakeGlCurrent();
        if (g_desktop) g_desktop->SetGlReady(g_glReady);
        vek::SoundMixer::Get().SetApplicationActive(true);
    } else {
        if (g_editor && GlReady()) g_editor->ReleaseDisplayResources();
        if (g_portfolio) g_portfolio->SavePortfolio();
        g_glReady = false;
        if (g_desktop) g_desktop->SetGlReady(false);
        vek::platform::ReleaseGl();
        vek::SoundMixer::Get().SetApplicationActive(false);
    }
    g_inActivation = false;
}

void CloseRequest() {
    // The desktop runs OnClose once, closes its windows and then requests the quit. A drawing
    // that cannot be saved is not given up silently: the first request only says so.
    if (g_desktop) {
        if (!g_desktop->Closing() && scribbix::commands::ReadyToQuit()) g_desktop->Close();
        return;
    }
    OnClose();
    vek::shell::RequestQuit();
}

void OnClose() {
    if (g_closed) return;
    g_closed = true;
    // 1. The editor's textures (only while the GL side has its context).
    if (g_editor && GlReady()) g_editor->ReleaseDisplayResources();
    KeepWork();
}

void OnDisplayLost() {
    if (g_closed) return;
    g_closed = true;
    KeepWork();
}

void OnShutdown() {
    // The studio lets go of the picture window first; the desktop's windows go with the desktop;
    // drawings release their thumbnails through the editor, so the portfolio goes before it.
    scribbix::Context() = scribbix::StudioContext();
    // The editor lets go of the picture window while it still exists (a closed desktop has
    // already destroyed it).
    if (g_editor && g_studio && g_studio->PictureWindow()) g_editor->SetPictureWindow(nullptr);
    g_studio.reset();
    g_desktop.reset();
    g_export.reset();
    g_portfolio.reset();
    g_editor.reset();
    g_toolBox.reset();
    g_buttonClone.reset();
    g_button.reset();
    g_shape.reset();
    g_settings.reset();
    g_look.reset();
    g_iconFont.reset();
    g_textFont.reset();
    g_appInfo.reset();
}

void LoadGlResources() {
    const vek::res::FontTextures t = vek::res::LoadResources();
    if (g_textFont) g_textFont->SetTexture(t.text);
    if (g_iconFont) g_iconFont->SetTexture(t.icons);
}

bool UndoPossible() {
    return g_canUndo;
}
bool RedoPossible() {
    return g_canRedo;
}

} // namespace scribbix::program
