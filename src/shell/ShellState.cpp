// Storage of the process-wide shell state and the desktop-unit conversions.
#include "shell/ShellState.h"

namespace vek::shell {

FloodGuard& Flood() {
    static FloodGuard f;
    return f;
}

uint32_t& RedrawCounter() {
    static uint32_t n = 0;
    return n;
}

Screen& CurrentScreen() {
    static Screen s;
    return s;
}

double ScreenAspect() {
    const Screen& s = CurrentScreen();
    if (s.width <= 0 || s.height <= 0) return 1.0;
    return static_cast<double>(s.width) / static_cast<double>(s.height);
}

double PixelSize() {
    const int h = CurrentScreen().height;
    return h > 0 ? 1.0 / h : 1.0;
}

void PixelToDesktop(double px, double py, double* ux, double* uy) {
    const double unit = PixelSize();
    *ux = px * unit - ScreenAspect() / 2.0;
    *uy = 0.5 - py * unit;
}

void DesktopToPixel(double ux, double uy, double* px, double* py) {
    const double unit = PixelSize();
    *px = (ux + ScreenAspect() / 2.0) / unit;
    *py = (0.5 - uy) / unit;
}

} // namespace vek::shell
