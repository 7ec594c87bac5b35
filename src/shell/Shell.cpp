// Start-up order, main loop, activation, close and shutdown of the shell.
//
// Sections: construction and slots; Run (start-up steps 1 to 6); the one-time initialisation;
// the main loop; activation, paint and close; shutdown.
#include "shell/Shell.h"

#include "shell/Clock.h"
#include "shell/FolderService.h"
#include "shell/Random.h"
#include "shell/ShellState.h"
#include "shell/SingleInstance.h"
#include "shell/StopSignals.h"

namespace vek::shell {
namespace {

Shell* g_current = nullptr;

// Idle pause: a frame ending sooner than this after the previous one is followed by a wait.
constexpr double kIdleThreshold = 0.005;
constexpr double kIdleWait = 0.05;
// Flood guard: during a stroke a frame is forced once this much message time and this many
// messages have passed.
constexpr double kFloodInterval = 0.1;
constexpr int kFloodCount = 5;
constexpr int kGlAttempts = 2;

void Call(SlotFunction f) {
    if (f) f();
}

} // namespace

Shell::Shell() {
    g_current = this;
}

Shell::~Shell() {
    if (g_current == this) g_current = nullptr;
}

Shell* Shell::Current() {
    return g_current;
}

void RequestQuit() {
    if (g_current) g_current->RequestQuit();
}

void MinimiseCommand() {
    if (g_current) g_current->MinimiseCommand();
}

bool IsActive() {
    return g_current && g_current->Flags().active;
}

void Shell::InstallGlResourceLoader(SlotFunction loader) {
    slots.glResourceLoader = loader;
    loaderPending_ = loader != nullptr;
    if (flags_.glContextLive) RunGlResourceLoader();
}

void Shell::RunGlResourceLoader() {
    if (!loaderPending_) return;
    loaderPending_ = false;
    Call(slots.glResourceLoader);
}

int Shell::Run(WindowSystem& windows, const std::string& title) {
    windows_ = &windows;

    // 1. Single instance: a second copy ends at once, successfully.
    SingleInstance instance;
    if (instance.Acquire(SingleInstance::NameForTitle(title)) == SingleInstance::kAlreadyRunning) return 0;
    InstallStopSignalHandlers();

    // 2. Random generator from the program's time value.
    RandomSeed(ProgramTimeValue());

    // 3. Input state.
    windows.ClearInputState();

    // 4. Window. Showing it activates it, before the one-time initialisation runs; the first
    // paint completes that activation.
    int w = 0, h = 0, depth = 0;
    if (!windows.ReadDisplayMode(&w, &h, &depth)) return 1;
    CurrentScreen() = Screen{w, h, depth};
    if (!windows.CreateWindow(title)) return 1;
    OnActivate(true);
    InitialiseOnce();

    // 5. and 6.
    MainLoop();
    Shutdown();
    return 0;
}

void Shell::InitialiseOnce() {
    startFolder_ = FolderService::Get().StartFolder();
    Call(services.startSoundMixer);
    for (int attempt = 0; attempt < kGlAttempts && !flags_.glContextLive; ++attempt)
        flags_.glContextLive = windows_->CreateGlContext();
    if (flags_.glContextLive) {
        viewWidth_ = CurrentScreen().width;
        viewHeight_ = CurrentScreen().height;
    }
    Call(services.buildGlyphGrid);
    Call(slots.setup);
    flags_.initialised = true;
}

void Shell::MainLoop() {
    WindowSystem& ws = *windows_;
    MessageClock& messageClock = GlobalMessageClock();
    FloodGuard& flood = Flood();
    double lastFrameEnd = ClockSeconds();
    for (;;) {
        uint32_t stamp = 0;
        while (ws.PeekMessage(&stamp)) {
            const double t = messageClock.Advance(stamp);
            ws.DispatchMessage(*this);
            if (!flags_.active || !flood.strokeFrameForcing) continue;
            // A stroke is being drawn: after 5 messages and 0.1 s of message time since the last
            // forced frame, leave the queue and run a frame with messages still waiting.
            if (flood.deadline == 0.0) {
                flood.deadline = t + kFloodInterval;
                flood.countdown = kFloodCount;
            }
            if (flood.deadline > t || flood.countdown > 0) {
                --flood.countdown;
                continue;
            }
            flood.countdown = kFloodCount;
            flood.deadline = t + kFloodInterval;
            break;
        }

        if (TakeStopRequest()) OnCloseRequest();

        if (!flags_.active) {
            // No frames while inactive; a pending quit must not block here.
            if (!flags_.quitRequested) ws.WaitMessage();
        } else {
            ++framesRun_;
            Call(slots.frame);
            const double now = ClockSeconds();
            if (now - lastFrameEnd < kIdleThreshold && !ws.WaitOnTimer(kIdleWait)) {
                while (ClockSeconds() - now < kIdleWait && !StopRequestPending()) {
                }
            }
            lastFrameEnd = now;
        }

        if (flags_.quitRequested) break;
    }
}

void Shell::OnActivate(bool gained) {
    if (!gained) {
        Deactivate();
        return;
    }
    windows_->ShowCurrentCursor();
    flags_.active = true;
    flags_.activationPending = true;
    windows_->BringToFrontAndRestore();
}

void Shell::Deactivate() {
    windows_->ShowArrowCursor();
    ++RedrawCounter();
    flags_.active = false;
    flags_.activationPending = false;
    if (flags_.glSideActive) {
        // The handler saves the current picture and gives up the GL context.
        if (slots.activation) slots.activation(0);
        Call(services.stopAllSounds);
        flags_.glSideActive = false;
    }
    windows_->SendToBackAndMinimise();
}

void Shell::MinimiseCommand() {
    if (!windows_) return;
    if (flags_.glSideActive) {
        if (slots.activation) slots.activation(0);
        flags_.glSideActive = false;
    }
    windows_->SendToBackAndMinimise();
    // The return completes in a paint, as every activation does. A window system that does not
    // minimise (no window manager) paints the window that stayed on screen, which brings the GL
    // side back instead of leaving a screen that never draws again; a real minimise is followed
    // by the usual deactivation.
    flags_.activationPending = true;
    windows_->Invalidate();
}

void Shell::OnPaint() {
    windows_->ShowCurrentCursor();
    int w = 0, h = 0, depth = 0;
    Screen& screen = CurrentScreen();
    if (windows_->ReadDisplayMode(&w, &h, &depth)) {
        if (w != screen.width || h != screen.height) {
            // The display mode changed (while minimised): only record it; a later paint with an
            // unchanged size completes the activation, so ask for one.
            screen = Screen{w, h, depth};
            windows_->Invalidate();
            return;
        }
        screen.depth = depth;
    }
    if (flags_.activationPending) {
        ++RedrawCounter();
        flags_.activationPending = false;
        if (!flags_.glSideActive) {
            if (slots.activation) slots.activation(1);
            flags_.glSideActive = true;
        }
    }
    // After a display mode change the view follows on the first paint that has the GL side.
    if (flags_.glContextLive && flags_.glSideActive &&
        (viewWidth_ != screen.width || viewHeight_ != screen.height)) {
        windows_->ResetView();
        viewWidth_ = screen.width;
        viewHeight_ = screen.height;
    }
}

void Shell::OnCloseRequest() {
    windows_->ShowArrowCursor();
    if (slots.closeRequest)
        slots.closeRequest();
    else
        RequestQuit();
}

void Shell::OnDisplayLost() {
    if (displayLost_) return;
    displayLost_ = true;
    Call(slots.displayLost);
}

void Shell::Shutdown() {
    if (!flags_.initialised || flags_.shutDown) return;
    flags_.shutDown = true;
    Call(slots.shutdown);
    // The context goes before the window it was made on.
    if (flags_.glContextLive) windows_->DestroyGlContext();
    flags_.glContextLive = false;
    windows_->DestroyWindow();
    Call(services.stopSoundMixer);
}

} // namespace vek::shell
