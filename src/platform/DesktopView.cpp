// Desktop view (frustum, look-at, orientation) and the initial GL state.
#include "platform/DesktopView.h"

#include "shell/ShellState.h"

#include <GL/gl.h>
#include <GL/glu.h>

namespace vek::platform {
namespace {

constexpr double kNear = 0.0625;
constexpr double kFar = 10.0;
constexpr double kEyeZ = 2.0;

// Light parameters kept from context creation for the per-frame reset.
const GLfloat kLight0Position[4] = {-0.5f, 1.0f, 0.3f, 0.0f};
const GLfloat kLight0Ambient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
const GLfloat kLight0Diffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f}; // GL's own default for light 0
const GLfloat kLight1Position[4] = {0.0f, -1.0f, 0.3f, 0.0f};
const GLfloat kLight1Ambient[4] = {0.1f, 0.0f, 0.0f, 1.0f};
const GLfloat kLight1Diffuse[4] = {0.4f, 0.2f, 0.0f, 1.0f};

void LoadLookAt() {
    glLoadIdentity();
    gluLookAt(0.0, 0.0, kEyeZ, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
}

} // namespace

ScreenOrientation& Orientation() {
    static ScreenOrientation o;
    return o;
}

Frustum DesktopFrustum(int width, int height, uint8_t orientation) {
    Frustum f;
    f.quarterTurns = (orientation + 3) % 4; // 1 -> 0 turns, 2 -> 1, 3 -> 2, 4 and 0 -> 3
    double w = width > 0 ? width : 1, h = height > 0 ? height : 1;
    if (f.quarterTurns & 1) {
        const double t = w;
        w = h;
        h = t;
    }
    f.aspect = w / h;
    f.nearZ = kNear;
    f.farZ = kFar;
    // The plane z = 0 lies kEyeZ away; at the near plane the half extents shrink by near / eye.
    f.halfWidth = kNear * f.aspect / 2.0 / 2.0;
    f.halfHeight = kNear * 1.0 / 2.0 / 2.0;
    return f;
}

void ApplyDesktopView(int width, int height) {
    const Frustum f = DesktopFrustum(width, height, Orientation().orientation);
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    if (f.quarterTurns) glRotatef(-90.0f * static_cast<float>(f.quarterTurns), 0.0f, 0.0f, 1.0f);
    glFrustum(-f.halfWidth, f.halfWidth, -f.halfHeight, f.halfHeight, f.nearZ, f.farZ);
    glMatrixMode(GL_MODELVIEW);
    LoadLookAt();
    ++shell::RedrawCounter();
}

void ApplyInitialGlState() {
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glEnable(GL_TEXTURE_2D);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(0.1f, 0.0f);
    glEnableClientState(GL_VERTEX_ARRAY);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    const GLfloat ambient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
    const GLfloat diffuse[4] = {0.8f, 0.8f, 0.8f, 1.0f};
    const GLfloat black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, ambient);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, black);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, black);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHT1);
    glLightfv(GL_LIGHT0, GL_POSITION, kLight0Position);
    glLightfv(GL_LIGHT0, GL_AMBIENT, kLight0Ambient);
    glLightfv(GL_LIGHT1, GL_POSITION, kLight1Position);
    glLightfv(GL_LIGHT1, GL_AMBIENT, kLight1Ambient);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, kLight1Diffuse);
    glFrontFace(GL_CW);
    glCullFace(GL_BACK);
    glEnable(GL_CULL_FACE);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
}

void ResetLights() {
    const GLfloat ambient0[4] = {0.2f, 0.2f, 0.2f, 1.0f};
    const GLfloat ambient1[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    GLint mode = GL_MODELVIEW;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    LoadLookAt(); // directional lights are fixed in the view's eye space
    glLightfv(GL_LIGHT0, GL_POSITION, kLight0Position);
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient0);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, kLight0Diffuse);
    glLightfv(GL_LIGHT1, GL_POSITION, kLight1Position);
    glLightfv(GL_LIGHT1, GL_AMBIENT, ambient1);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, kLight1Diffuse);
    glPopMatrix();
    glMatrixMode(static_cast<GLenum>(mode));
}

} // namespace vek::platform
