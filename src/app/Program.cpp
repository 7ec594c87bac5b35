// The program's slots in the shell, in the order they run. Objects that other parts of the
// program provide (fonts, desktop, editor, settings, tool box, portfolio, importer, exporter,
// studio) are added at the places marked INTEGRATION; nothing stands in for them meanwhile.
#include "app/Program.h"

#include "app/App.h"
#include "platform/Cursors.h"
#include "platform/DesktopView.h"
#include "platform/SdlWindowSystem.h"
#include "platform/Window.h"
#include "resources/SoundMixer.h"
#include "shell/Clock.h"
#include "shell/FolderService.h"
#include "shell/Shell.h"
#include "shell/cVek_AppInfo.h"

#include <GL/gl.h>

#include <memory>

namespace scribbix::program {
namespace {

std::unique_ptr<cVek_AppInfo> g_appInfo;
vek::FrameTimer g_frameTimer;
// The desktop's GL-ready flag until the desktop exists (INTEGRATION: cVek_Desktop owns it).
bool g_glReady = false;
bool g_inActivation = false;
bool g_closed = false;

// Cursor slots registered by set-up; their images are not shipped, so they show the arrow.
struct CursorName {
    int slot;
    const char* name;
};
const CursorName kCursorNames[] = {{1, "cross1515"}, {2, "fill0661"}, {3, "pick0860"}};

vek::shell::Shell& TheShell() {
    static vek::shell::Shell shell;
    return shell;
}

} // namespace

bool GlReady() { return g_glReady; }
double FrameInterval() { return g_frameTimer.Interval(); }

int Main() {
    const std::string title = cVek_AppInfo::WindowTitle(); // "Scribbix v1.0.0"
    scribbix::App app;

    vek::shell::Shell& shell = TheShell();
    shell.slots.setup = SetUp;
    shell.slots.frame = Frame;
    shell.slots.shutdown = OnShutdown;
    shell.slots.closeRequest = CloseRequest;
    shell.services.startSoundMixer = vek::res::StartSoundMixer;
    shell.services.stopAllSounds = vek::res::StopAllSounds;
    shell.services.stopSoundMixer = vek::res::StopSoundMixer;
    // INTEGRATION: the vector glyph grid goes into shell.services.buildGlyphGrid here.

    vek::platform::SdlWindowSystem windows;
    return shell.Run(windows, title);
}

void SetUp() {
    vek::shell::Shell& shell = TheShell();
    // 1. INTEGRATION: the layer effects' table of 52 powers of two.
    // 2. Application information.
    g_appInfo.reset(new cVek_AppInfo);
    // 3.
    shell.InstallActivationHandler(OnActivation);
    // 4. The read-only resources.
    vek::FolderService::Get().GoTo(0);
    // 5. INTEGRATION: text font and icon font (cVek_Font).
    // 6. INTEGRATION: the desktop (cVek_Desktop) with the close handler OnClose, the shortcut key
    //    handler, GL state re-applied each drawn frame, depth clearing and idle frame skipping.
    //    From then on CloseRequest asks the desktop to close.
    // 7. INTEGRATION: the root window; its frame callback updates Undo/Redo availability and
    //    clears the colour and depth buffers.
    // 8. Cursor names, then the arrow.
    vek::platform::Cursors& cursors = vek::platform::Cursors::Get();
    for (const CursorName& c : kCursorNames) cursors.Register(c.slot, c.name);
    cursors.Select(0);
    // 9. INTEGRATION: clear the table of 128 texture names. The loader runs at once when a GL
    //    context is live.
    shell.InstallGlResourceLoader(LoadGlResources);
    // 10. INTEGRATION: the current look (cVek_InterfaceGadget) and its colours.
    // 11. INTEGRATION: the picture editor (cTes_PicEditor).
    // 12. INTEGRATION: the settings (cVek_Settings) for "DATA2.BIN" with its record table.
    // 13. INTEGRATION: per-user application data, "Vekstal/Sx" (created), load the settings; the
    //     version record goes through g_appInfo->CheckVersion.
    // 14. INTEGRATION: "/Data" again and the desktop's sound bank.
    // 15. INTEGRATION: frame shape, button template and its clone.
    // 16. INTEGRATION: the tool box (scribbix::ToolBox) and its two saved bytes.
    // 17. INTEGRATION: the layer effects box.
    // 18. INTEGRATION: the sound switch (mixer on, sound bank unmuted).
    // 19. INTEGRATION: mark the settings loaded.
    // 20. INTEGRATION: portfolio with its filter factory, importer, exporter.
}

void Frame() {
    // 1. The frame interval: 0 on the first frame.
    g_frameTimer.Next();
    // 2.
    if (!g_glReady) return;
    // 3. and 4. INTEGRATION: create scribbix::Studio when missing, then its per-frame update
    //    (skipped when creation failed).
    // 5. The lights of the shaded buttons.
    vek::platform::ResetLights();
    // 6. INTEGRATION: the desktop runs the frame with FrameInterval() and swaps. Until then the
    //    screen is cleared.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    vek::platform::SwapBuffers();
}

void OnActivation(int gained) {
    if (g_inActivation) return; // a nested call (from what the handler itself triggers) does nothing
    g_inActivation = true;
    if (gained) {
        // INTEGRATION: restart the portfolio's loading sequence so the current picture is loaded
        // again on the next frames.
        g_glReady = vek::platform::MakeGlCurrent();
    } else {
        // INTEGRATION: save the portfolio's current picture.
        g_glReady = false;
        vek::platform::ReleaseGl();
    }
    g_inActivation = false;
}

void CloseRequest() {
    // INTEGRATION: ask the desktop to close; it runs OnClose once, closes its windows and then
    // requests the quit. Until the desktop exists this does both here.
    OnClose();
    vek::shell::RequestQuit();
}

void OnClose() {
    if (g_closed) return;
    g_closed = true;
    // 1. INTEGRATION: release the picture editor's GL textures.
    // 2. INTEGRATION: save the portfolio's current picture.
    // 3. INTEGRATION: empty every picture's "Undo" folder unless told to skip it.
    // 4. INTEGRATION: save the settings ("DATA2.BIN" in "Vekstal/Sx"), the version record from
    //    g_appInfo->FillVersionRecord.
    // 5. INTEGRATION: delete the clipboard object.
}

void OnShutdown() { g_appInfo.reset(); }

void LoadGlResources() {
    // INTEGRATION: the resource loader generates the 128 texture names, loads "pg128.bin" and
    // "Material128.JPG" into their textures and the two font images.
}

} // namespace scribbix::program
