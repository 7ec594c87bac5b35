// Process-wide shell state that other layers read or poke: the flood guard's stroke frame
// forcing flag (set by the tool box while a press is handled), the redraw counter, the screen
// (display mode size and depth) and the desktop units derived from it.
// Desktop units: the screen is 1 unit tall, x runs from -aspect/2 to +aspect/2 left to right and
// y from -0.5 at the bottom to +0.5 at the top; pixels count from the top left corner.
#pragma once

#include <cstdint>

namespace vek::shell {

struct FloodGuard {
    double deadline = 0.0; // message-clock seconds; 0 = unset
    int countdown = 0;
    uint8_t strokeFrameForcing = 0;
};

FloodGuard& Flood();

// Called by the tool box whenever it handles a press.
inline void SetStrokeFrameForcing(uint8_t on) {
    Flood().strokeFrameForcing = on;
    Flood().deadline = 0.0;
}

// Incremented by anything that changes what is on screen at the window level.
uint32_t& RedrawCounter();

// The current display mode as the shell last stored it (the window's client area has this size).
struct Screen {
    int width = 0;
    int height = 0;
    int depth = 0; // colour bits
};
Screen& CurrentScreen();
inline int ScreenWidth() { return CurrentScreen().width; }
inline int ScreenHeight() { return CurrentScreen().height; }
// Width / height; 1 while no screen is known.
double ScreenAspect();

// Client pixel (origin top left, y down) to desktop units and back.
void PixelToDesktop(double px, double py, double* ux, double* uy);
void DesktopToPixel(double ux, double uy, double* px, double* py);
// Size of one pixel in desktop units (1 / screen height).
double PixelSize();

} // namespace vek::shell
