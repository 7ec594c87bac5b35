// The picture editor in a real program for the tests under an X server (640 × 480): the real shell,
// SDL window and GL context, input dispatcher and desktop, one window (the screen, or its middle)
// whose body is the editor's frame and whose pointer handler feeds a tool box.
//
//   editor_harness render CASE        shows a known picture and compares the framebuffer, sampled,
//                                     with the sRGB-encoded composite worked out here independently
//                                     (within one step a channel); CASE as in kCases
//   editor_harness drag S X0 Y0 X1 Y1 X2 Y2
//                                     a blank drawing S times the screen size, a black pen; once it
//                                     is on screen xdotool drags from (X0, Y0) over (X1, Y1) to
//                                     (X2, Y2); then the drawing and the last frame must both be
//                                     dark along both legs and paper 40 pixels to either side
// Exit 0 when everything matched. SX_EDITOR_SHOTS=<folder> in the environment keeps the last frame.
#include "editor/cTes_PicEditor.h"
#include "engine/picture/cTes_Layer_Selection.h"
#include "engine/picture/c_TesPic.h"
#include "engine/tools/cVek_ToolBox.h"
#include "platform/ImageCodec.h"
#include "platform/SdlWindowSystem.h"
#include "platform/Window.h"
#include "shell/Clock.h"
#include "shell/Shell.h"
#include "shell/ShellState.h"
#include "ui/cVek_Desktop.h"
#include "ui/cVek_Window.h"

#include <GL/gl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

extern char** environ;

namespace {

// The known pictures: size, and how they are shown.
struct Case {
    const char* name;
    int width, height;
    bool repeat, integerFit, halfWindow, selection;
};
const Case kCases[] = {
    {"one", 640, 480, false, true, false, false},       {"reduced", 1280, 960, false, true, false, false},
    {"magnified", 160, 120, false, true, false, false}, {"repeat", 200, 150, true, true, false, false},
    {"window", 640, 480, false, true, true, false},     {"selection", 640, 480, false, true, false, true},
    {"exact", 1000, 750, false, false, false, false},   {"stretch", 200, 150, false, false, false, false},
};
// The selection of the "selection" case; its outline covers the pixels on both sides of each edge.
constexpr int kSelX0 = 200, kSelX1 = 440, kSelY0 = 120, kSelY1 = 360;

struct Harness {
    const Case* c = nullptr; // null: drag
    int scale = 1, path[6] = {};
    std::unique_ptr<cVek_Desktop> desktop;
    std::unique_ptr<cTes_PicEditor> editor;
    std::unique_ptr<cVek_ToolBox> toolBox;
    std::unique_ptr<c_TesPic> pic;
    vek::FrameTimer timer;
    int framesDrawn = 0, exitCode = 1;
    pid_t xdotool = 0;
    bool strokeDone = false;
    int framesAfterStroke = 0, framesWithoutStroke = 0;
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
    if (c == "selection") {
        const bool side =
            (x == kSelX0 - 1 || x == kSelX0 || x == kSelX1 - 1 || x == kSelX1) && y >= kSelY0 && y < kSelY1;
        const bool edge =
            (y == kSelY0 - 1 || y == kSelY0 || y == kSelY1 - 1 || y == kSelY1) && x >= kSelX0 && x < kSelX1;
        return side || edge ? kUnchecked : kPicture;
    }
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

// Every 7th pixel both ways against the expectation; in the selection case also one row across
// the outline, which must show the overlay's grey instead of the picture.
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
    for (int x = kSelX0 - 3; g.c->selection && x < kSelX1 + 3;
         x += x == kSelX0 + 2 ? kSelX1 - kSelX0 - 6 : 1) {
        int px, py, want[3];
        const bool outline = ExpectedSource(g.c->name, x, 200, px, py) == kUnchecked;
        Shown(px, py, want);
        const uint8_t* p = at(x, 200);
        const bool grey = p[0] == p[1] && p[1] == p[2];
        bool picture = true;
        for (int c = 0; c < 3; ++c)
            picture = picture && std::abs(p[c] - want[c]) <= 1;
        ++checked;
        if (outline ? !grey || picture : !picture)
            if (bad++ < 10)
                std::fprintf(stderr, "(%d, 200): outline %d, got %d %d %d\n", x, outline, p[0], p[1], p[2]);
    }
    std::printf("%s: %d of %d sampled pixels wrong\n", g.c->name, bad, checked);
    return bad == 0 && checked > 0 ? 0 : 1;
}

// Problems along a leg of the drag in an RGB image: points not painted dark (the ends, where the
// round caps and the other leg are, excluded), and paint 40 pixels to either side.
int StrokeProblems(const uint8_t* rgb, int w, int h, double x0, double y0, double x1, double y1) {
    const double len = std::hypot(x1 - x0, y1 - y0), nx = -(y1 - y0) / len, ny = (x1 - x0) / len;
    auto at = [&](double x, double y) -> const uint8_t* {
        const long ix = std::lround(x), iy = std::lround(y);
        return ix < 0 || iy < 0 || ix >= w || iy >= h ? nullptr : rgb + (iy * w + ix) * 3;
    };
    int bad = 0, n = 0;
    for (double t = 0.15; t <= 0.85; t += 4.0 / len, ++n) {
        const double x = x0 + (x1 - x0) * t, y = y0 + (y1 - y0) * t;
        const uint8_t* on = at(x, y);
        if (!on || on[0] > 80 || on[1] > 80 || on[2] > 80) ++bad;
        for (int side = -1; side <= 1; side += 2) {
            const uint8_t* off = at(x + side * 40 * nx, y + side * 40 * ny);
            if (off && (off[0] < 250 || off[1] < 250 || off[2] < 250)) ++bad;
        }
    }
    return n > 10 ? bad : 1;
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

// The drag, chained into one xdotool run in small steps as a hand would make it.
void StartDrag() {
    const int* p = g.path;
    std::vector<std::string> a = {"xdotool",   "mousemove", std::to_string(p[0]), std::to_string(p[1]),
                                  "mousedown", "1"};
    for (int leg = 0; leg < 2; ++leg, p += 2)
        for (int i = 1; i <= 20; ++i)
            a.insert(a.end(), {"mousemove", std::to_string(p[0] + (p[2] - p[0]) * i / 20),
                               std::to_string(p[1] + (p[3] - p[1]) * i / 20)});
    a.insert(a.end(), {"mouseup", "1"});
    std::vector<char*> argv;
    for (std::string& s : a)
        argv.push_back(&s[0]);
    argv.push_back(nullptr);
    if (posix_spawnp(&g.xdotool, "xdotool", nullptr, nullptr, argv.data(), environ) != 0) {
        std::fprintf(stderr, "cannot run xdotool\n");
        g.desktop->Close();
    }
}

void Swap() {
    ++g.framesDrawn;
    if (g.c ? g.framesDrawn == 3 : g.framesDrawn >= 3) ReadFrame();
    if (!g.c && g.framesDrawn == 3) StartDrag();
    if (g.c && g.framesDrawn == 3) {
        g.exitCode = CheckRender();
        g.desktop->Close();
    }
    if (g.strokeDone && ++g.framesAfterStroke == 3) g.desktop->Close();
    vek::platform::SwapBuffers();
}

// The drawing as it would be exported and the last frame, both along the two legs of the drag.
void CheckDrag() {
    const int w = g.pic->width, h = g.pic->height, s = g.scale;
    auto flat = g.pic->Composite(0, 0, w, h, false, 1);
    if (!flat) return;
    std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3);
    g.editor->encoder.RowToRgb(flat->Pixels(), rgb.data(), w * h);
    int layer = 0, screen = 0;
    for (const int* p = g.path; p < g.path + 4; p += 2) {
        layer += StrokeProblems(rgb.data(), w, h, p[0] * s, p[1] * s, p[2] * s, p[3] * s);
        screen += StrokeProblems(g.frame.data(), g.frameW, g.frameH, p[0], p[1], p[2], p[3]);
    }
    std::printf("drag: %d problems in the drawing, %d on screen\n", layer, screen);
    g.exitCode = layer == 0 && screen == 0 ? 0 : 1;
}

void OnClose() {
    if (!g.c && g.strokeDone) CheckDrag();
    if (const char* shots = std::getenv("SX_EDITOR_SHOTS"); shots && !g.frame.empty()) {
        const std::string name = g.c ? std::string("render-") + g.c->name : "drag-" + std::to_string(g.scale);
        vek::ImageView v;
        v.pixels = g.frame.data(), v.width = g.frameW, v.height = g.frameH, v.channels = 3, v.gamma = 2.2;
        vek::SavePng(v, std::string(shots) + "/editor-" + name + ".png");
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
    s.idleSkipping = !g.c; // as in the program; render frames must all draw
    g.desktop = std::make_unique<cVek_Desktop>(s);
    g.desktop->SetGlReady(vek::platform::GlContextLive() && vek::shell::IsActive());
    g.desktop->InstallInputHandlers();

    g.editor = std::make_unique<cTes_PicEditor>();
    g.editor->fullScreenLayout = 1;
    if (g.c) {
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
        if (g.c->selection) {
            cTes_Layer_Selection* sel = g.pic->GetSelection();
            sel->Clear();
            for (int y = kSelY0; y < kSelY1; ++y)
                std::fill_n(sel->Pixels() + y * g.c->width + kSelX0, kSelX1 - kSelX0, 0.0f);
        }
        g.pic->viewMode = g.c->repeat ? 0 : 3;
        g.pic->repeatX = g.pic->repeatY = g.c->repeat;
    } else {
        g.pic = std::make_unique<c_TesPic>(vek::shell::ScreenWidth() * g.scale,
                                           vek::shell::ScreenHeight() * g.scale);
        g.pic->AddColourLayer();
        g.pic->viewMode = 3;
        g.toolBox = std::make_unique<cVek_ToolBox>();
        if (!g.toolBox->Initialize()) vek::shell::RequestQuit();
        g.toolBox->SetPrimaryTool(1); // Pen
        g.toolBox->size[0] = 9;
        g.toolBox->softness[0] = 0;
        const float black[3] = {0, 0, 0};
        g.toolBox->SetColour(cVek_ToolBox::kPaint, black, 1);
        g.editor->SetToolBox(g.toolBox.get());
    }
    g.pic->display = g.editor.get();
    g.editor->SetPicture(g.pic.get());

    const float aspect = static_cast<float>(vek::shell::ScreenAspect());
    const float part = g.c && g.c->halfWindow ? 0.5f : 1.0f;
    auto w = std::make_unique<cVek_Window>();
    w->SetPlacement(0.0f, 0.0f, aspect * part, part);
    w->SetBody([](cVek_Window& window, void* e) { static_cast<cTes_PicEditor*>(e)->FrameDraw(window); },
               g.editor.get());
    g.editor->SetPictureWindow(g.desktop->AddWindow(std::move(w)));
}

void Frame() {
    const double dt = g.timer.Next();
    if (!g.desktop || !g.desktop->GlReady()) return;
    // The drag has ended once xdotool is done, paint has arrived and the editor let go of the
    // pointer (a whole drag may pass within one frame's messages); frames then keep coming (no
    // idling) until its last regions are on screen.
    int status = 0;
    if (g.xdotool > 0 && waitpid(g.xdotool, &status, WNOHANG) == g.xdotool) {
        g.xdotool = -1;
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) g.desktop->Close();
    }
    const bool painted = g.pic->currentLayer && !g.pic->currentLayer->empty;
    g.strokeDone = g.strokeDone || (g.xdotool < 0 && painted && !g.editor->DragCaptured());
    if (g.xdotool < 0 && !painted && ++g.framesWithoutStroke == 1000) g.desktop->Close(); // it never came
    if (g.strokeDone) g.desktop->ResetIdle();
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    g.desktop->Frame(dt);
}

void OnShutdown() {
    if (g.pic) g.pic->display = nullptr;
    g.pic.reset();
    g.editor.reset();
    g.toolBox.reset();
    g.desktop.reset();
}

} // namespace

int main(int argc, char** argv) {
    const std::string what = argc > 1 ? argv[1] : "";
    const bool drag = what == "drag" && argc == 9;
    if (what == "render" && argc == 3) {
        for (const Case& c : kCases)
            if (c.name == std::string(argv[2])) g.c = &c;
    } else if (drag) {
        g.scale = std::max(1, std::min(4, std::atoi(argv[2])));
        for (int i = 0; i < 6; ++i)
            g.path[i] = std::atoi(argv[3 + i]);
    }
    if (!g.c && !drag) {
        std::fprintf(stderr, "usage: editor_harness render CASE | drag S X0 Y0 X1 Y1 X2 Y2\n");
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
