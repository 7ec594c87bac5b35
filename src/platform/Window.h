// Window and GL services for the program and the UI, without SDL types. They act on the process's
// window (SdlWindowSystem) and do nothing when there is none.
#pragma once

namespace vek::platform {

bool GlContextLive();
// Makes the window's GL context current on this thread; false without a live context.
bool MakeGlCurrent();
// glFlush, glFinish, and no GL context current on this thread.
void ReleaseGl();
void SwapBuffers();
// Minimise (and send to the bottom of the z-order) or restore (and make topmost); each does
// nothing when the window is already in that state.
void MinimiseWindow();
void RestoreWindow();

} // namespace vek::platform
