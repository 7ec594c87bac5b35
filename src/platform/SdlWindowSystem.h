// The window system on SDL2: one full-screen window at the desktop resolution (the environment
// variable SCRIBBIX_SCREEN=WxH forces a size, for tests), a GL 1.x compatibility context with
// double buffering, 24 colour bits and 16 depth bits, and the message pump that feeds the shell,
// the input dispatcher and the key handler.
//
// Paint follows the window system's own rule: a window that was exposed, shown, restored or
// activated is "invalid", and a paint message is produced once the queue is empty.
#pragma once

#include "shell/WindowSystem.h"

#include <memory>

namespace vek::platform {

class SdlWindowSystem : public shell::WindowSystem {
public:
    SdlWindowSystem();
    ~SdlWindowSystem() override;
    SdlWindowSystem(const SdlWindowSystem&) = delete;
    SdlWindowSystem& operator=(const SdlWindowSystem&) = delete;

    // The one that exists (the process has one window).
    static SdlWindowSystem* Current();

    void ClearInputState() override;
    bool CreateWindow(const std::string& title) override;
    bool CreateGlContext() override;
    void DestroyGlContext() override;
    void DestroyWindow() override;
    bool ReadDisplayMode(int* width, int* height, int* depth) override;
    bool PeekMessage(uint32_t* stampMs) override;
    void DispatchMessage(shell::Shell& shell) override;
    void WaitMessage() override;
    bool WaitOnTimer(double seconds) override;
    void ShowArrowCursor() override;
    void ShowCurrentCursor() override;
    void SendToBackAndMinimise() override;
    void BringToFrontAndRestore() override;
    void Invalidate() override;
    void ResetView() override;

    // Services for the program.
    bool GlContextLive() const;
    bool MakeGlCurrent();
    // glFlush, glFinish, then no context is current on this thread.
    void ReleaseGl();
    void SwapBuffers();
    void Minimise();
    void Restore();
    bool Minimised() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace vek::platform
