// Drawing primitives of the interface in desktop units on the plane z = 0 (or at a given z), with
// OpenGL 1.x immediate calls. Every function restores the GL state it changes (attribute stack)
// and does nothing while drawing is switched off, so the interface logic runs headless in tests and
// on frames that only handle input.
//
// Sections: switch and scope; flat shapes; rounded shapes and shadows; marks; lit 3D boxes.
#pragma once

#include "ui/UiRect.h"

#include <cstdint>

namespace vek::ui::gl {

// ---- switch and scope
bool Enabled();
void SetEnabled(bool on);

// Saves the enable, current, colour-buffer, polygon, lighting, texture and depth state and sets up
// flat 2D drawing: no lighting, texturing, depth test or culling; alpha blending on. PopState
// restores what the push saved (for drawing that spans calls, such as a text display's).
void PushFlat2dState();
void PopState();

// PushFlat2dState for one scope; restores on exit.
class Flat2dScope {
  public:
    Flat2dScope();
    ~Flat2dScope();
    Flat2dScope(const Flat2dScope&) = delete;
    Flat2dScope& operator=(const Flat2dScope&) = delete;

  private:
    bool active_;
};

// ---- flat shapes
void FillRect(const Rect& r, uint32_t rgb, float alpha, float z = 0.0f);
// Vertical gradient from `top` to `bottom`.
void FillRectGradient(const Rect& r, uint32_t top, uint32_t bottom, float alpha, float z = 0.0f);
void Triangle(float x0, float y0, float x1, float y1, float x2, float y2, uint32_t rgb, float alpha,
              float z = 0.0f);
// A straight line as a quad of `width` desktop units.
void Line(float x0, float y0, float x1, float y1, float width, uint32_t rgb, float alpha, float z = 0.0f);

// ---- rounded shapes and shadows
void FillRoundRect(const Rect& r, float radius, uint32_t top, uint32_t bottom, float alpha, float z = 0.0f);
// A border of `width` just inside the rectangle's outline.
void FrameRoundRect(const Rect& r, float radius, float width, uint32_t rgb, float alpha, float z = 0.0f);
// A soft shadow that fades out over `spread` around the rectangle.
void SoftShadow(const Rect& r, float radius, float spread, float alpha, float z = 0.0f);

// ---- marks
// A tick mark inside `box`.
void CheckMark(const Rect& box, uint32_t rgb, float alpha, float z = 0.0f);

// ---- lit 3D boxes
// A raised box with bevelled top edges standing `depth` in front of the plane: sides and bevels lit
// by the GL lights that the frame set up (colour material), the face unlit with a soft gradient.
void Box3d(const Rect& r, float depth, float bevel, uint32_t rgb, float alpha);

} // namespace vek::ui::gl
