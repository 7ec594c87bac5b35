// Interface drawing primitives. Rounded outlines are traced with 8 segments per corner; every
// shape is drawn as triangles with per-vertex colour so gradients cost nothing extra.
#include "ui/GlDraw.h"

#include <GL/gl.h>

#include <cmath>

namespace vek::ui::gl {
namespace {

bool g_enabled = false;
constexpr int kCornerSegments = 8;
constexpr float kHalfPi = 1.57079632679f;

void Colour(uint32_t rgb, float alpha) {
    const float a = alpha < 0.0f ? 0.0f : (alpha > 1.0f ? 1.0f : alpha);
    glColor4f(ColourR(rgb), ColourG(rgb), ColourB(rgb), a);
}

// Points of a rounded rectangle's outline, counter-clockwise from the bottom right corner.
int RoundOutline(const Rect& r, float radius, float* xs, float* ys) {
    const float rad = std::max(0.0f, std::min(radius, std::min(r.Width(), r.Height()) * 0.5f));
    const float cx[4] = {r.x1 - rad, r.x1 - rad, r.x0 + rad, r.x0 + rad};
    const float cy[4] = {r.y0 + rad, r.y1 - rad, r.y1 - rad, r.y0 + rad};
    int n = 0;
    for (int c = 0; c < 4; ++c) {
        const float start = -kHalfPi + c * kHalfPi;
        for (int s = 0; s <= kCornerSegments; ++s) {
            const float a = start + kHalfPi * float(s) / kCornerSegments;
            xs[n] = cx[c] + rad * std::cos(a);
            ys[n] = cy[c] + rad * std::sin(a);
            ++n;
        }
    }
    return n;
}
constexpr int kOutlineMax = 4 * (kCornerSegments + 1);

} // namespace

bool Enabled() {
    return g_enabled;
}
void SetEnabled(bool on) {
    g_enabled = on;
}

void PushFlat2dState() {
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT | GL_POLYGON_BIT | GL_LIGHTING_BIT |
                 GL_TEXTURE_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void PopState() {
    glPopAttrib();
}

Flat2dScope::Flat2dScope() : active_(g_enabled) {
    if (active_) PushFlat2dState();
}

Flat2dScope::~Flat2dScope() {
    if (active_) PopState();
}

void FillRect(const Rect& r, uint32_t rgb, float alpha, float z) {
    FillRectGradient(r, rgb, rgb, alpha, z);
}

void FillRectGradient(const Rect& r, uint32_t top, uint32_t bottom, float alpha, float z) {
    if (!g_enabled || r.Empty()) return;
    Flat2dScope scope;
    glBegin(GL_QUADS);
    Colour(bottom, alpha);
    glVertex3f(r.x0, r.y0, z);
    glVertex3f(r.x1, r.y0, z);
    Colour(top, alpha);
    glVertex3f(r.x1, r.y1, z);
    glVertex3f(r.x0, r.y1, z);
    glEnd();
}

void Triangle(float x0, float y0, float x1, float y1, float x2, float y2, uint32_t rgb, float alpha,
              float z) {
    if (!g_enabled) return;
    Flat2dScope scope;
    Colour(rgb, alpha);
    glBegin(GL_TRIANGLES);
    glVertex3f(x0, y0, z);
    glVertex3f(x1, y1, z);
    glVertex3f(x2, y2, z);
    glEnd();
}

void Line(float x0, float y0, float x1, float y1, float width, uint32_t rgb, float alpha, float z) {
    if (!g_enabled) return;
    const float dx = x1 - x0, dy = y1 - y0;
    const float len = std::sqrt(dx * dx + dy * dy);
    if (len <= 0.0f) return;
    const float nx = -dy / len * width * 0.5f, ny = dx / len * width * 0.5f;
    Flat2dScope scope;
    Colour(rgb, alpha);
    glBegin(GL_QUADS);
    glVertex3f(x0 + nx, y0 + ny, z);
    glVertex3f(x0 - nx, y0 - ny, z);
    glVertex3f(x1 - nx, y1 - ny, z);
    glVertex3f(x1 + nx, y1 + ny, z);
    glEnd();
}

void FillRoundRect(const Rect& r, float radius, uint32_t top, uint32_t bottom, float alpha, float z) {
    if (!g_enabled || r.Empty()) return;
    float xs[kOutlineMax], ys[kOutlineMax];
    const int n = RoundOutline(r, radius, xs, ys);
    Flat2dScope scope;
    const float h = r.Height();
    auto vertex = [&](float x, float y) {
        Colour(MixColour(bottom, top, (y - r.y0) / h), alpha);
        glVertex3f(x, y, z);
    };
    glBegin(GL_TRIANGLE_FAN);
    vertex(r.CentreX(), r.CentreY());
    for (int i = 0; i < n; ++i)
        vertex(xs[i], ys[i]);
    vertex(xs[0], ys[0]);
    glEnd();
}

void FrameRoundRect(const Rect& r, float radius, float width, uint32_t rgb, float alpha, float z) {
    if (!g_enabled || r.Empty() || width <= 0.0f) return;
    float ox[kOutlineMax], oy[kOutlineMax], ix[kOutlineMax], iy[kOutlineMax];
    const int n = RoundOutline(r, radius, ox, oy);
    RoundOutline(r.Shrunk(width), std::max(0.0f, radius - width), ix, iy);
    Flat2dScope scope;
    Colour(rgb, alpha);
    glBegin(GL_TRIANGLE_STRIP);
    for (int i = 0; i <= n; ++i) {
        glVertex3f(ox[i % n], oy[i % n], z);
        glVertex3f(ix[i % n], iy[i % n], z);
    }
    glEnd();
}

void SoftShadow(const Rect& r, float radius, float spread, float alpha, float z) {
    if (!g_enabled || r.Empty()) return;
    float ix[kOutlineMax], iy[kOutlineMax], ox[kOutlineMax], oy[kOutlineMax];
    const int n = RoundOutline(r, radius, ix, iy);
    RoundOutline(r.Shrunk(-spread), radius + spread, ox, oy);
    Flat2dScope scope;
    glBegin(GL_TRIANGLE_FAN);
    Colour(0x000000, alpha);
    glVertex3f(r.CentreX(), r.CentreY(), z);
    for (int i = 0; i <= n; ++i)
        glVertex3f(ix[i % n], iy[i % n], z);
    glEnd();
    glBegin(GL_TRIANGLE_STRIP);
    for (int i = 0; i <= n; ++i) {
        Colour(0x000000, alpha);
        glVertex3f(ix[i % n], iy[i % n], z);
        Colour(0x000000, 0.0f);
        glVertex3f(ox[i % n], oy[i % n], z);
    }
    glEnd();
}

void CheckMark(const Rect& box, uint32_t rgb, float alpha, float z) {
    if (!g_enabled || box.Empty()) return;
    const float w = box.Width(), h = box.Height();
    const float t = std::min(w, h) * 0.16f;
    const float ax = box.x0 + w * 0.18f, ay = box.y0 + h * 0.52f;
    const float bx = box.x0 + w * 0.42f, by = box.y0 + h * 0.22f;
    const float cx = box.x0 + w * 0.84f, cy = box.y0 + h * 0.84f;
    Line(ax, ay, bx, by, t, rgb, alpha, z);
    Line(bx - t * 0.3f, by - t * 0.2f, cx, cy, t, rgb, alpha, z);
}

void Box3d(const Rect& r, float depth, float bevel, uint32_t rgb, float alpha) {
    if (!g_enabled || r.Empty()) return;
    PushFlat2dState();
    glEnable(GL_LIGHTING);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_NORMALIZE);
    Colour(rgb, alpha);
    const float b = std::max(0.0f, std::min(bevel, std::min(r.Width(), r.Height()) * 0.45f));
    const Rect top = r.Shrunk(b);
    const float zt = depth, zs = depth - b * 0.6f; // top face and the bevel's foot on the sides
    // Sides (plane to the bevel's foot), then the four bevels, then the face: back to front, so no
    // depth test is needed for this convex shape. Each edge: its two corners in drawing order on
    // the outline and on the face, and its outward direction.
    struct Edge {
        float ax, ay, bx, by, fax, fay, fbx, fby, nx, ny;
    };
    const Edge edges[4] = {
        {r.x0, r.y0, r.x1, r.y0, top.x0, top.y0, top.x1, top.y0, 0, -1},
        {r.x1, r.y1, r.x0, r.y1, top.x1, top.y1, top.x0, top.y1, 0, 1},
        {r.x0, r.y1, r.x0, r.y0, top.x0, top.y1, top.x0, top.y0, -1, 0},
        {r.x1, r.y0, r.x1, r.y1, top.x1, top.y0, top.x1, top.y1, 1, 0},
    };
    glBegin(GL_QUADS);
    for (const Edge& e : edges) {
        glNormal3f(e.nx, e.ny, 0);
        glVertex3f(e.ax, e.ay, 0);
        glVertex3f(e.bx, e.by, 0);
        glVertex3f(e.bx, e.by, zs);
        glVertex3f(e.ax, e.ay, zs);
    }
    for (const Edge& e : edges) { // bevels lean halfway between the side and the face
        glNormal3f(e.nx, e.ny, 1);
        glVertex3f(e.ax, e.ay, zs);
        glVertex3f(e.bx, e.by, zs);
        glVertex3f(e.fbx, e.fby, zt);
        glVertex3f(e.fax, e.fay, zt);
    }
    glEnd();
    // The face is left unlit: the scene's lights reach a face turned to the viewer only at a flat
    // angle, which would dull it; a soft gradient keeps it bright and readable.
    glDisable(GL_LIGHTING);
    glBegin(GL_QUADS);
    Colour(MixColour(rgb, 0x000000, 0.06f), alpha);
    glVertex3f(top.x0, top.y0, zt);
    glVertex3f(top.x1, top.y0, zt);
    Colour(MixColour(rgb, 0xFFFFFF, 0.25f), alpha);
    glVertex3f(top.x1, top.y1, zt);
    glVertex3f(top.x0, top.y1, zt);
    glEnd();
    PopState();
}

} // namespace vek::ui::gl
