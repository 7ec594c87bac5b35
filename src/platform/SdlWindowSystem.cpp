// SDL2 window, GL context and message pump behind the shell's WindowSystem.
#include "platform/SdlWindowSystem.h"

#include "platform/Cursors.h"
#include "platform/DesktopView.h"
#include "platform/EventTranslator.h"
#include "platform/InputDispatcher.h"
#include "platform/Window.h"
#include "shell/Clock.h"
#include "shell/Shell.h"
#include "shell/ShellState.h"
#include "shell/StopSignals.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <GL/gl.h>
#include <X11/Xlib.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace vek::platform {
namespace {

SdlWindowSystem* g_current = nullptr;

// Inside the blocking wait a stop signal is noticed within this many milliseconds.
constexpr int kWaitSliceMs = 250;

// "WxH" with both in 1..32767; false otherwise.
bool ScreenOverride(int* w, int* h) {
    const char* v = std::getenv("SCRIBBIX_SCREEN");
    if (!v) return false;
    int a = 0, b = 0;
    char tail = 0;
    if (std::sscanf(v, "%dx%d%c", &a, &b, &tail) != 2 || a < 1 || b < 1 || a > 32767 || b > 32767)
        return false;
    *w = a;
    *h = b;
    return true;
}

// Xlib ends the process itself when the connection to the display breaks (a logout that ends
// the X session, an X server that died), and the close handler would never run. The program
// saves through the shell's displayLost slot instead; then the process ends at once, since
// static destructors would reach SDL and GL on the dead display.
int OnDisplayConnectionLost(Display*) {
    if (shell::Shell* s = shell::Shell::Current()) s->OnDisplayLost();
    std::_Exit(0);
}

} // namespace

struct SdlWindowSystem::Impl {
    bool videoReady = false;
    SDL_Window* window = nullptr;
    SDL_GLContext gl = nullptr;
    int glAttempts = 0;
    SDL_Event event{};
    bool syntheticPaint = false; // the message taken last is a paint made by PeekMessage
    bool invalid = false;        // the window needs a paint once the queue is empty
    bool inMinimise = false;
    bool inRestore = false;
    EventTranslator translator;

    bool EnsureVideo() {
        if (videoReady) return true;
        // Our own handlers turn SIGTERM, SIGINT and SIGHUP into a close request.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        // The shell minimises by itself on deactivation.
        SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
        // The click that activates the window also reaches the program.
        SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
        // Closing the window is a close request like any other, not a second quit event.
        SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
            std::fprintf(stderr, "Scribbix: no display (%s)\n", SDL_GetError());
            return false;
        }
        videoReady = true;
        return true;
    }

    bool Visible() const {
        if (!window) return false;
        const Uint32 f = SDL_GetWindowFlags(window);
        return (f & SDL_WINDOW_SHOWN) && !(f & SDL_WINDOW_MINIMIZED);
    }
};

// Forwards translated input to the dispatcher and window notifications to the shell.
namespace {
struct DispatchSink : EventTranslator::Sink {
    shell::Shell& shell;
    bool& invalid;
    DispatchSink(shell::Shell& s, bool& inv) : shell(s), invalid(inv) {}
    void Pointer(const PointerEvent& e) override { InputDispatcher::Get().Dispatch(e); }
    void Key(const KeyEvent& e) override { InputDispatcher::Get().DispatchKey(e); }
    void Activate(bool gained) override {
        shell.OnActivate(gained);
        if (gained) invalid = true; // an activated window is repainted
    }
    void Paint() override { invalid = true; }
    void Close() override { shell.OnCloseRequest(); }
};
} // namespace

SdlWindowSystem::SdlWindowSystem() : impl_(new Impl) {
    g_current = this;
}

SdlWindowSystem::~SdlWindowSystem() {
    DestroyGlContext();
    DestroyWindow();
    if (impl_->videoReady) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    SDL_Quit();
    if (g_current == this) g_current = nullptr;
}

SdlWindowSystem* SdlWindowSystem::Current() {
    return g_current;
}

void SdlWindowSystem::ClearInputState() {
    impl_->translator.Reset(impl_->videoReady ? static_cast<uint16_t>(SDL_GetModState()) : 0);
}

bool SdlWindowSystem::ReadDisplayMode(int* width, int* height, int* depth) {
    int w = 0, h = 0;
    if (ScreenOverride(&w, &h)) {
        *width = w;
        *height = h;
        *depth = 32;
        return true;
    }
    if (!impl_->EnsureVideo()) return false;
    const int display = impl_->window ? SDL_GetWindowDisplayIndex(impl_->window) : 0;
    SDL_DisplayMode mode{};
    if (SDL_GetDesktopDisplayMode(display < 0 ? 0 : display, &mode) != 0 || mode.w < 1 || mode.h < 1) {
        // Without a window this is the start, which cannot go on: say why instead of ending silently.
        if (!impl_->window)
            std::fprintf(stderr, "Scribbix: cannot read the display mode (%s)\n", SDL_GetError());
        return false;
    }
    *width = mode.w;
    *height = mode.h;
    *depth = SDL_BYTESPERPIXEL(mode.format) * 8;
    return true;
}

bool SdlWindowSystem::CreateWindow(const std::string& title) {
    Impl& m = *impl_;
    if (m.window) return true;
    if (!m.EnsureVideo()) return false;
    // The pixel format: double buffered, 24 colour bits, 16 depth bits, no alpha or stencil.
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);

    const shell::Screen& screen = shell::CurrentScreen();
    int w = 0, h = 0;
    if (ScreenOverride(&w, &h)) {
        m.window = SDL_CreateWindow(title.c_str(), 0, 0, w, h,
                                    SDL_WINDOW_OPENGL | SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN);
    } else {
        m.window = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_UNDEFINED_DISPLAY(0),
                                    SDL_WINDOWPOS_UNDEFINED_DISPLAY(0), screen.width, screen.height,
                                    SDL_WINDOW_OPENGL | SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_HIDDEN);
    }
    if (!m.window) {
        std::fprintf(stderr, "Scribbix: cannot create the window (%s)\n", SDL_GetError());
        return false;
    }
    SDL_SysWMinfo wm;
    SDL_VERSION(&wm.version);
    if (SDL_GetWindowWMInfo(m.window, &wm) && wm.subsystem == SDL_SYSWM_X11)
        XSetIOErrorHandler(OnDisplayConnectionLost);
    SDL_SetWindowAlwaysOnTop(m.window, SDL_TRUE);
    SDL_ShowWindow(m.window);
    SDL_RaiseWindow(m.window);
    SDL_StartTextInput();
    int cw = 0, ch = 0;
    SDL_GetWindowSize(m.window, &cw, &ch);
    m.translator.SetClientSize(static_cast<uint32_t>(cw), static_cast<uint32_t>(ch));
    m.translator.Reset(static_cast<uint16_t>(SDL_GetModState()));
    m.invalid = true;
    return true;
}

bool SdlWindowSystem::CreateGlContext() {
    Impl& m = *impl_;
    if (m.gl) return true;
    if (!m.window) return false;
    // A second attempt lets the driver choose the profile.
    if (m.glAttempts++ > 0) SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, 0);
    SDL_GLContext gl = SDL_GL_CreateContext(m.window);
    if (!gl) return false;
    if (SDL_GL_MakeCurrent(m.window, gl) != 0 || !glGetString(GL_VERSION)) {
        SDL_GL_MakeCurrent(m.window, nullptr);
        SDL_GL_DeleteContext(gl);
        return false;
    }
    m.gl = gl;
    SDL_GL_SetSwapInterval(1);
    const shell::Screen& screen = shell::CurrentScreen();
    ApplyDesktopView(screen.width, screen.height);
    ApplyInitialGlState();
    return true;
}

void SdlWindowSystem::DestroyGlContext() {
    Impl& m = *impl_;
    if (!m.gl) return;
    if (SDL_GL_MakeCurrent(m.window, m.gl) == 0) glFinish();
    SDL_GL_MakeCurrent(m.window, nullptr);
    SDL_GL_DeleteContext(m.gl);
    m.gl = nullptr;
}

void SdlWindowSystem::DestroyWindow() {
    Impl& m = *impl_;
    if (!m.window) return;
    Cursors::Get().ReleaseSystemCursors();
    SDL_DestroyWindow(m.window);
    m.window = nullptr;
}

bool SdlWindowSystem::PeekMessage(uint32_t* stampMs) {
    Impl& m = *impl_;
    if (!m.videoReady) return false;
    if (SDL_PollEvent(&m.event)) {
        m.syntheticPaint = false;
        *stampMs = m.event.common.timestamp;
        return true;
    }
    if (m.invalid && m.Visible()) {
        m.invalid = false;
        m.syntheticPaint = true;
        *stampMs = SDL_GetTicks();
        return true;
    }
    return false;
}

void SdlWindowSystem::DispatchMessage(shell::Shell& shell) {
    Impl& m = *impl_;
    if (m.syntheticPaint) {
        m.syntheticPaint = false;
        shell.OnPaint();
        return;
    }
    const SDL_Event& e = m.event;
    if (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
        m.translator.SetClientSize(static_cast<uint32_t>(e.window.data1),
                                   static_cast<uint32_t>(e.window.data2));
        m.invalid = true;
    }
    DispatchSink sink(shell, m.invalid);
    m.translator.Translate(e, MessageTime(), sink);
}

void SdlWindowSystem::WaitMessage() {
    Impl& m = *impl_;
    if (!m.videoReady) return;
    for (;;) {
        if (shell::StopRequestPending()) return;
        if (m.invalid && m.Visible()) return;
        if (SDL_WaitEventTimeout(nullptr, kWaitSliceMs)) return;
    }
}

bool SdlWindowSystem::WaitOnTimer(double seconds) {
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(seconds);
    ts.tv_nsec = static_cast<long>((seconds - static_cast<double>(ts.tv_sec)) * 1e9);
    // A signal ends the wait early; the loop then handles it.
    const int r = clock_nanosleep(CLOCK_MONOTONIC, 0, &ts, nullptr);
    return r == 0 || r == EINTR;
}

void SdlWindowSystem::ShowArrowCursor() {
    Cursors::Get().ShowArrow();
}

void SdlWindowSystem::ShowCurrentCursor() {
    Cursors::Get().ShowCurrent();
}

void SdlWindowSystem::SendToBackAndMinimise() {
    Minimise();
}

void SdlWindowSystem::BringToFrontAndRestore() {
    Restore();
}

void SdlWindowSystem::Invalidate() {
    impl_->invalid = true;
}

void SdlWindowSystem::ResetView() {
    Impl& m = *impl_;
    if (!m.gl || SDL_GL_GetCurrentContext() != m.gl) return;
    const shell::Screen& screen = shell::CurrentScreen();
    ApplyDesktopView(screen.width, screen.height);
}

bool SdlWindowSystem::GlContextLive() const {
    return impl_->gl != nullptr;
}

bool SdlWindowSystem::MakeGlCurrent() {
    Impl& m = *impl_;
    return m.gl && SDL_GL_MakeCurrent(m.window, m.gl) == 0;
}

void SdlWindowSystem::ReleaseGl() {
    Impl& m = *impl_;
    if (!m.gl) return;
    if (SDL_GL_GetCurrentContext() == m.gl) {
        glFlush();
        glFinish();
    }
    SDL_GL_MakeCurrent(m.window, nullptr);
}

void SdlWindowSystem::SwapBuffers() {
    Impl& m = *impl_;
    if (m.gl && SDL_GL_GetCurrentContext() == m.gl) SDL_GL_SwapWindow(m.window);
}

bool SdlWindowSystem::Minimised() const {
    return impl_->window && (SDL_GetWindowFlags(impl_->window) & SDL_WINDOW_MINIMIZED);
}

void SdlWindowSystem::Minimise() {
    Impl& m = *impl_;
    if (!m.window || m.inMinimise || Minimised()) return;
    m.inMinimise = true;
    SDL_MinimizeWindow(m.window);
    SDL_SetWindowAlwaysOnTop(m.window, SDL_FALSE); // no longer above other windows
    m.inMinimise = false;
}

void SdlWindowSystem::Restore() {
    Impl& m = *impl_;
    if (!m.window || m.inRestore) return;
    m.inRestore = true;
    SDL_SysWMinfo wm;
    SDL_VERSION(&wm.version);
    if (SDL_GetWindowWMInfo(m.window, &wm) && wm.subsystem == SDL_SYSWM_X11)
        XSetIOErrorHandler(OnDisplayConnectionLost);
    SDL_SetWindowAlwaysOnTop(m.window, SDL_TRUE);
    if (Minimised()) SDL_RestoreWindow(m.window);
    m.inRestore = false;
}

bool GlContextLive() {
    return g_current && g_current->GlContextLive();
}
bool MakeGlCurrent() {
    return g_current && g_current->MakeGlCurrent();
}
void ReleaseGl() {
    if (g_current) g_current->ReleaseGl();
}
void SwapBuffers() {
    if (g_current) g_current->SwapBuffers();
}
void MinimiseWindow() {
    if (g_current) g_current->Minimise();
}
void RestoreWindow() {
    if (g_current) g_current->Restore();
}

} // namespace vek::platform
