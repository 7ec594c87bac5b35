// What the shell needs from the window system: one full-screen window with a GL context, a
// message queue with 32-bit millisecond time stamps, a blocking wait, a timer, and a few window
// services. platform/ implements it with SDL2; tests implement it with a scripted fake, so the
// main loop runs headless and never sleeps for real.
#pragma once

#include <cstdint>
#include <string>

namespace vek::shell {

class Shell;

class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    // Start-up: forget any key and button state.
    virtual void ClearInputState() = 0;
    // Creates the full-screen window at the display size, makes it topmost and shows it.
    virtual bool CreateWindow(const std::string& title) = 0;
    // One attempt at the GL context with its pixel format, desktop view and GL state; a failed
    // attempt leaves nothing behind.
    virtual bool CreateGlContext() = 0;
    virtual void DestroyGlContext() = 0;
    virtual void DestroyWindow() = 0;
    // The current display mode. False when it cannot be read.
    virtual bool ReadDisplayMode(int* width, int* height, int* depth) = 0;

    // Removes the next queued message and reports its time stamp; false when the queue is empty.
    virtual bool PeekMessage(uint32_t* stampMs) = 0;
    // Handles the message PeekMessage removed last: input goes to the input dispatcher,
    // activation, paint and close go to the shell's notifications.
    virtual void DispatchMessage(Shell& shell) = 0;
    // Blocks until a message is queued or a stop signal arrived.
    virtual void WaitMessage() = 0;
    // Sleeps for `seconds`; false when no timer is available (the caller then spins on the clock).
    virtual bool WaitOnTimer(double seconds) = 0;

    virtual void ShowArrowCursor() = 0;
    virtual void ShowCurrentCursor() = 0;
    // Bottom of the z-order and minimised (deactivation).
    virtual void SendToBackAndMinimise() = 0;
    // Topmost and, when minimised, restored (activation).
    virtual void BringToFrontAndRestore() = 0;
    // Asks for a paint message once the queue is empty.
    virtual void Invalidate() = 0;
    // Sets the desktop view again for the stored screen size (after a display mode change).
    virtual void ResetView() = 0;
};

} // namespace vek::shell
