// The picture editor in a real program under an X server (640 x 480): the real shell, SDL window,
// GL context and desktop, one window (the screen, or its middle) whose body is the editor's frame.
// `editor_harness render CASE` shows a known picture and compares the framebuffer, sampled, with
// the sRGB-encoded composite worked out here independently (within one step a channel). Exit 0
// when everything matched; SX_EDITOR_SHOTS=<folder> keeps the frame. Real drags are the e2e's.
#include "editor/cTes_PicEditor.h"
#include "engine/picture/c_TesPic.h"
#include "platform/ImageCodec.h"
#include "platform/SdlWindowSystem.h"
#include "platform/Window.h"
#include "shell/Shell.h"
#include "shell/ShellState.h"
#include "ui/cVek_Desktop.h"
#include "ui/cVek_Window.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// The known pictures: size, and how they are shown.
struct Case {
    const char* name;
    int width, height;
    bool repeat, integerFit, halfWindow;
};
const Case kCases[] = {
    {"one", 640, 480, false, true, false},       {"reduced", 1280, 960, false, true, false},
    {"magnified", 160, 120, false, true, false}, {"repeat", 200, 150, true, true, false},
    {"window", 640, 480, false, true, true},     {"exact", 1000, 750, false, false, false},
    {"stretch", 200, 150, false, false, false},
};

struct Harness {
    const Case* c = nullptr;
    std::unique_ptr<cVek_Desktop> desktop;
    std::unique_ptr<cTes_PicEditor> editor;
    std::unique_ptr<c_TesPic> pic;
    int framesDrawn = 0, exitCode = 1;
    std::vector<uint8_t> frame; // RGB, top row first
    int frameW = 0, frameH = 0;
};
Harness g;

// Linear colour and alpha of the 8 × 8 block that holds picture pixel (x, y).
void BlockColour(int x, int y, double rgba[4]) {
    const int bx = x / 8, by = y / 8;
    rgba[0] = ((bx * 37 + by * 5) % 64) / 63.0;
    rgba[1] = ((by * 53 + bx * 3) % 64) / 63.0;
    rgba[2] = (((bx + by) * 11) % 64) / 63.0;
    rgba[3] = (bx + 2 * by) % 7 == 0 ? 0.5 : 1.0; // some blocks half transparent over white paper
}

// The block's colour over white paper as the display shows it.
void Shown(int x, int y, int rgb[3]) {
    double v[4];
    BlockColour(x, y, v);
    for (int c = 0; c < 3; ++c) {
        const double l = std::min(1.0, std::max(0.0, v[c] * v[3] + (1.0 - v[3])));
        const double e = l <= 0.0031308 ? 12.92 * l : 1.055 * std::pow(l, 1.0 / 2.4) - 0.055;
        rgb[c] = static_cast<int>(std::floor(e * 255.0 + 0.5));
    }
}

enum Expect { kBlack, kPicture, kUnchecked };

// The picture pixel a screen pixel shows, worked out by hand from each case's geometry.
Expect ExpectedSource(const std::string& c, int x, int y, int& px, int& py) {
    px = x, py = y;
    if (c == "reduced") { // by width: 1280·88/100 = 1126 > 640, R = 1125/640 + 1 = 2
        px = 2 * x, py = 2 * y;
    } else if (c == "magnified") { // M = 640/160 = 4
        px = x / 4, py = y / 4;
    } else if (c == "repeat") { // 1:1 centred at (220, 165), repeated both ways
        px = ((x - 220) % 200 + 200) % 200;
        py = ((y - 165) % 150 + 150) % 150;
    } else if (c == "exact") { // 1000 × 750 scaled to 640 × 480: only footprints inside one block
        const int x0 = x * 1000 / 640, x1 = std::max((x + 1) * 1000 / 640, x0 + 1) - 1;
        const int y0 = y * 750 / 480, y1 = std::max((y + 1) * 750 / 480, y0 + 1) - 1;
        px = x0, py = y0;
        if (x0 / 8 != x1 / 8 || y0 / 8 != y1 / 8) return kUnchecked;
    } else if (c == "stretch") { // 3.2 times: the nearest texel, skipping centres near a texel edge
        const double fx = (x + 0.5) / 3.2, fy = (y + 0.5) / 3.2;
        px = static_cast<int>(fx), py = static_cast<int>(fy);
        if (fx - px < 0.02 || fx - px > 0.98 || fy - py < 0.02 || fy - py > 0.98) return kUnchecked;
    } else if (c == "window") { // laid out against the screen, clipped to 160..479 × 120..359
        if (x < 160 || x >= 480 || y < 120 || y >= 360) return kBlack;
    }
    return kPicture;
}

// Every 7th pixel both ways against the expectation.
int CheckRender() {
    if (g.frameW != 640 || g.frameH != 480) return std::fprintf(stderr, "screen is not 640x480\n"), 1;
    int bad = 0, checked = 0;
    auto at = [](int x, int y) { return &g.frame[(static_cast<size_t>(y) * g.frameW + x) * 3]; };
    for (int y = 3; y < g.frameH; y += 7)
        for (int x = 2; x < g.frameW; x += 7) {
            int px, py, want[3] = {0, 0, 0};
            const Expect e = ExpectedSource(g.c->name, x, y, px, py);
            if (e == kUnchecked) continue;
            if (e == kPicture) Shown(px, py, want);
            ++checked;
            for (int c = 0; c < 3; ++c)
                if (std::abs(at(x, y)[c] - want[c]) > 1) {
                    if (bad++ < 10)
                        std::fprintf(stderr, "(%d, %d): got %d, want %d\n", x, y, at(x, y)[c], want[c]);
                    break;
                }
        }
    std::printf("%s: %d of %d sampled pixels wrong\n", g.c->name, bad, checked);
    return bad == 0 && checked > 0 ? 0 : 1;
}

void ReadFrame() {
    GLint vp[4];
    glGetIntegerv(GL_VIEWPORT, vp);
    g.frameW = vp[2], g.frameH = vp[3];
    const size_t row = static_cast<size_t>(g.frameW) * 3;
    std::vector<uint8_t> up(row * g.frameH);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, g.frameW, g.frameH, GL_RGB, GL_UNSIGNED_BYTE, up.data());
    g.frame.resize(up.size());
    for (int y = 0; y < g.frameH; ++y)
        std::memcpy(&g.frame[y * row], &up[(g.frameH - 1 - y) * row], row);
}

void Swap() {
    if (++g.framesDrawn == 3) {
        ReadFrame();
        g.exitCode = CheckRender();
        g.desktop->Close();
    }
    vek::platform::SwapBuffers();
}

void OnClose() {
    if (const char* shots = std::getenv("SX_EDITOR_SHOTS"); shots && !g.frame.empty()) {
        vek::ImageView v;
        v.pixels = g.frame.data(), v.width = g.frameW, v.height = g.frameH, v.channels = 3, v.gamma = 2.2;
        vek::SavePng(v, std::string(shots) + "/editor-render-" + g.c->name + ".png");
    }
    if (g.editor) g.editor->ReleaseDisplayResources();
}

void OnActivation(int gained) {
    if (gained) {
        if (g.desktop) g.desktop->SetGlReady(vek::platform::MakeGlCurrent());
        return;
    }
    if (g.editor) g.editor->ReleaseDisplayResources();
    if (g.desktop) g.desktop->SetGlReady(false);
    vek::platform::ReleaseGl();
}

void SetUp() {
    vek::shell::Shell::Current()->InstallActivationHandler(OnActivation);
    cVek_Desktop::Settings s;
    s.closeHandler = OnClose;
    s.swapBuffers = Swap;
    s.quitRequest = vek::shell::RequestQuit;
    s.idleSkipping = false; // every frame must draw
    g.desktop = std::make_unique<cVek_Desktop>(s);
    g.desktop->SetGlReady(vek::platform::GlContextLive() && vek::shell::IsActive());

    g.editor = std::make_unique<cTes_PicEditor>();
    g.editor->fullScreenLayout = 1;
    g.editor->integerFit = g.c->integerFit;
    g.pic = std::make_unique<c_TesPic>(g.c->width, g.c->height);
    float* p = g.pic->AddColourLayer()->Pixels();
    for (int y = 0; y < g.c->height; ++y)
        for (int x = 0; x < g.c->width; ++x, p += 4) {
            double v[4];
            BlockColour(x, y, v);
            for (int i = 0; i < 4; ++i)
                p[i] = static_cast<float>(v[i]);
        }
    g.pic->viewMode = g.c->repeat ? 0 : 3;
    g.pic->repeatX = g.pic->repeatY = g.c->repeat;
    g.pic->display = g.editor.get();
    g.editor->SetPicture(g.pic.get());

    const float aspect = static_cast<float>(vek::shell::ScreenAspect());
    const float part = g.c->halfWindow ? 0.5f : 1.0f;
    auto w = std::make_unique<cVek_Window>();
    w->SetPlacement(0.0f, 0.0f, aspect * part, part);
    w->SetBody([](cVek_Window& window, void* e) { static_cast<cTes_PicEditor*>(e)->FrameDraw(window); },
               g.editor.get());
    g.editor->SetPictureWindow(g.desktop->AddWindow(std::move(w)));
}

void Frame() {
    if (!g.desktop || !g.desktop->GlReady()) return;
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    g.desktop->Frame(0.02);
}

void OnShutdown() {
    if (g.pic) g.pic->display = nullptr;
    g.pic.reset();
    g.editor.reset();
    g.desktop.reset();
}

} // namespace

int main(int argc, char** argv) {
    for (const Case& c : kCases)
        if (argc == 3 && std::string(argv[1]) == "render" && c.name == std::string(argv[2])) g.c = &c;
    if (!g.c) {
        std::fprintf(stderr, "usage: editor_harness render CASE\n");
        return 2;
    }
    vek::shell::Shell shell;
    shell.slots.setup = SetUp;
    shell.slots.frame = Frame;
    shell.slots.shutdown = OnShutdown;
    shell.slots.closeRequest = [] { g.desktop ? g.desktop->Close() : vek::shell::RequestQuit(); };
    vek::platform::SdlWindowSystem windows;
    const int rc = shell.Run(windows, "Editor Harness");
    return rc != 0 ? rc : g.exitCode;
}
