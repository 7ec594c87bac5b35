// The desktop view and the GL state every context starts with. The visible plane z = 0 spans
// x from -aspect/2 to +aspect/2 and y from -0.5 to +0.5 (desktop units), seen from (0, 0, 2)
// through a frustum with near 0.0625 and far 10. The screen orientation record selects quarter
// turns of the whole view (1, the start value, means none).
#pragma once

#include <cstdint>

namespace vek::platform {

struct ScreenOrientation {
    uint8_t orientation = 1;
};
// The process's record.
ScreenOrientation& Orientation();

struct Frustum {
    double halfWidth = 0;  // at the near plane
    double halfHeight = 0;
    double nearZ = 0;
    double farZ = 0;
    double aspect = 0;    // of the desktop units (width / height after any odd quarter turn)
    int quarterTurns = 0; // each a rotation by -90 degrees about z
};
// The frustum for a screen of `width` x `height` pixels and an orientation record value.
Frustum DesktopFrustum(int width, int height, uint8_t orientation);

// Needs a current GL context. Sets viewport, projection and the look-at view; counts as a
// projection reset (the redraw counter goes up).
void ApplyDesktopView(int width, int height);
// The GL state of a new context, in order; the two lights keep the parameters used here.
void ApplyInitialGlState();
// Restores both lights from the stored parameters (light 0 ambient 0.2, light 1 ambient 0),
// placed in the view's eye space. Called by the frame function each frame.
void ResetLights();

} // namespace vek::platform
