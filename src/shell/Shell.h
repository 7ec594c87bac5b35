// The shell: process start-up in a fixed order, the main loop with its message clock, flood guard
// and idle pause, activation and deactivation, the close request and shutdown. It reaches the
// window system only through WindowSystem and the program only through its function slots.
//
// States: created -> initialised (set-up done) -> running, alternating between active (frames
// run) and inactive (the loop blocks in WaitMessage, no GL context current) -> quitting -> shut
// down. An activation stays pending until the next paint that finds the display size unchanged.
#pragma once

#include "shell/WindowSystem.h"

#include <cstdint>
#include <string>

namespace vek::shell {

using SlotFunction = void (*)();
using ActivationFunction = void (*)(int gained);

// The program's function slots.
struct Slots {
    SlotFunction setup = nullptr;        // run once when the window exists
    SlotFunction frame = nullptr;        // run for every frame while active
    SlotFunction shutdown = nullptr;     // run first in shutdown
    SlotFunction closeRequest = nullptr; // asks the desktop to close; unset: quit at once
    ActivationFunction activation = nullptr;
    SlotFunction glResourceLoader = nullptr;
    // The display is gone (the X server ended): save what can be saved without it. No window
    // system, SDL video or GL call is allowed inside; the process ends right after.
    SlotFunction displayLost = nullptr;
};

// Other subsystems started and stopped by the shell; unset ones are skipped.
struct Services {
    SlotFunction startSoundMixer = nullptr;
    SlotFunction stopAllSounds = nullptr;
    SlotFunction stopSoundMixer = nullptr;
    SlotFunction buildGlyphGrid = nullptr; // the vector glyphs' point grid
};

struct ShellFlags {
    bool active = false;            // the application has the foreground
    bool activationPending = false; // set by activation, cleared by the paint that completes it
    bool initialised = false;
    bool shutDown = false;
    bool quitRequested = false;
    bool glContextLive = false;
    bool glSideActive = false;      // the activation handler last ran with 1
};

class Shell {
public:
    Shell();
    ~Shell();
    Shell(const Shell&) = delete;
    Shell& operator=(const Shell&) = delete;

    // The shell constructed last (the process's one).
    static Shell* Current();

    Slots slots;
    Services services;

    // Runs the whole life of the program: single instance, random seed, window, one-time
    // initialisation with the set-up function, the main loop, shutdown. Returns the exit code:
    // 0, also when another copy already runs; 1 when no window can be made.
    int Run(WindowSystem& windows, const std::string& title);

    // Installed by the set-up function.
    void InstallActivationHandler(ActivationFunction handler) { slots.activation = handler; }
    // Runs the loader at once when a GL context is live, else keeps it pending.
    void InstallGlResourceLoader(SlotFunction loader);
    bool GlResourceLoaderPending() const { return loaderPending_; }

    // Notifications from the window system.
    void OnActivate(bool gained);
    void OnPaint();
    void OnCloseRequest();
    // Runs the displayLost slot, once however often the window system reports the loss.
    void OnDisplayLost();

    // Ends the main loop after the current pass (the desktop calls it when its windows closed).
    void RequestQuit() { flags_.quitRequested = true; }
    // The user's "Minimize" command: the saving half of deactivation (the activation handler with
    // 0 when the GL side is active), then the window is minimised. Returning to the program is an
    // ordinary activation, completed by the next paint (also when the window was never minimised).
    void MinimiseCommand();

    const ShellFlags& Flags() const { return flags_; }
    WindowSystem* Windows() const { return windows_; }
    // The folder that holds the program and its "Data" folder, remembered at window creation.
    const std::string& StartFolder() const { return startFolder_; }
    uint64_t FramesRun() const { return framesRun_; }

private:
    void InitialiseOnce();
    void MainLoop();
    void Deactivate();
    void Shutdown();
    void RunGlResourceLoader();

    WindowSystem* windows_ = nullptr;
    ShellFlags flags_;
    std::string startFolder_;
    bool loaderPending_ = false;
    int viewWidth_ = 0; // screen size the desktop view was last set for
    int viewHeight_ = 0;
    uint64_t framesRun_ = 0;
    bool displayLost_ = false;
};

// Shortcuts to the current shell for other layers; harmless when none exists.
void RequestQuit();
void MinimiseCommand();
bool IsActive();

} // namespace vek::shell
