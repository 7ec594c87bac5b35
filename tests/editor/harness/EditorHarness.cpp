// A small program around the picture editor for the tests under a real X server: the real shell,
// SDL window and GL context, input dispatcher and desktop, with one window covering the screen
// (or its middle) whose body is the editor's frame and whose pointer handler feeds a tool box.
//
//   editor_harness render CASE OUT.png   shows a known picture (CASE: one, reduced, magnified,
//                                        repeat, window, selection, exact, stretch), reads the
//                                        framebuffer back, compares it
//                                        with the sRGB-encoded composite worked out here
//                                        independently (within one step a channel), writes it
//                                        as a PNG; exit 0 when everything matched
//   editor_harness drag OUT.png READY [S] a blank drawing S times the screen size (default 1, shown
//                                        reduced by S) with a black pen; touches
//                                        READY once it is on screen; on close writes the drawing
//                                        (composite over paper) to OUT.png and the last frame to
//                                        OUT.png with "-screen.png" in place of ".png"
//   editor_harness check IN.png X0 Y0 X1 Y1
//                                        exit 0 when the segment is painted dark in IN.png and the
//                                        pixels 40 away from it on both sides are still paper
#include "editor/cTes_PicEditor.h"
#include "engine/picture/cTes_Layer_Selection.h"
#include "engine/picture/c_TesLayer_Gfx.h"
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

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

enum class Mode { kRender, kDrag };

struct Harness {
    Mode mode = Mode::kRender;
    std::string renderCase, out, ready;
    std::unique_ptr<cVek_Desktop> desktop;
    std::unique_ptr<cTes_PicEditor> editor;
    std::unique_ptr<cVek_ToolBox> toolBox;
    std::unique_ptr<c_TesPic> pic;
    cVek_Window* window = nullptr;
    vek::FrameTimer timer;
    int framesDrawn = 0;
    bool closed = false;
    int exitCode = 1;
    std::vector<uint8_t> lastFrame; // RGB, top row first
    int frameW = 0, frameH = 0;
    int dragScale = 1;
};

Harness g;

// ---- the known picture and what the screen must show

constexpr int kBlock = 8;

// Linear colour and alpha of the 8 × 8 block that holds picture pixel (x, y).
void BlockColour(int x, int y, double rgba[4]) {
    const int bx = x / kBlock, by = y / kBlock;
    rgba[0] = ((bx * 37 + by * 5) % 64) / 63.0;
    rgba[1] = ((by * 53 + bx * 3) % 64) / 63.0;
    rgba[2] = (((bx + by) * 11) % 64) / 63.0;
    rgba[3] = (bx + 2 * by) % 7 == 0 ? 0.5 : 1.0; // some blocks half transparent over white paper
}

int Srgb8(double v) {
    v = v < 0 ? 0 : v > 1 ? 1 : v;
    const double e = v <= 0.0031308 ? 12.92 * v : 1.055 * std::pow(v, 1.0 / 2.4) - 0.055;
    return static_cast<int>(std::floor(e * 255.0 + 0.5));
}

// The selection of the "selection" case: columns 200..439 of rows 120..359. Its outline covers the
// pixels on both sides of each edge.
constexpr int kSelX0 = 200, kSelX1 = 440, kSelY0 = 120, kSelY1 = 360;

enum Expect { kBlack, kPicture, kUnchecked };

// The screen pixel's picture pixel for the render case, by hand from the case's geometry on a
// 640 × 480 screen; black where the screen shows no picture.
Expect ExpectedSource(const std::string& c, int x, int y, int& px, int& py) {
    if (c == "selection") { // as "one"; the animated outline sits on the selection's edges
        px = x, py = y;
        const bool side =
            (x == kSelX0 - 1 || x == kSelX0 || x == kSelX1 - 1 || x == kSelX1) && y >= kSelY0 && y < kSelY1;
        const bool topOrBottom =
            (y == kSelY0 - 1 || y == kSelY0 || y == kSelY1 - 1 || y == kSelY1) && x >= kSelX0 && x < kSelX1;
        return side || topOrBottom ? kUnchecked : kPicture;
    }
    if (c == "one") { // 640 × 480 at 1:1
        px = x, py = y;
        return kPicture;
    }
    if (c == "reduced") { // 1280 × 960: 1280·88/100 = 1126 > 640, R = 1125/640 + 1 = 2
        px = 2 * x, py = 2 * y;
        return kPicture;
    }
    if (c == "magnified") { // 160 × 120: M = 640/160 = 4
        px = x / 4, py = y / 4;
        return kPicture;
    }
    if (c == "repeat") { // 200 × 150 at 1:1, centred at (220, 165), repeated both ways
        px = ((x - 220) % 200 + 200) % 200;
        py = ((y - 165) % 150 + 150) % 150;
        return kPicture;
    }
    if (c == "exact") { // 1000 × 750 without integer fit: 640 × 480, texel u averages 1000/640 columns
        // The footprint of the screen pixel; checked only where it stays inside one block.
        const int x0 = x * 1000 / 640, x1 = std::max((x + 1) * 1000 / 640, x0 + 1) - 1;
        const int y0 = y * 750 / 480, y1 = std::max((y + 1) * 750 / 480, y0 + 1) - 1;
        px = x0, py = y0;
        return x0 / kBlock == x1 / kBlock && y0 / kBlock == y1 / kBlock ? kPicture : kUnchecked;
    }
    if (c == "stretch") { // 200 × 150 without integer fit: stretched 3.2 times to 640 × 480
        // Nearest texel at the pixel centre; pixels whose centre is near a texel edge are skipped.
        const double fx = (x + 0.5) / 3.2, fy = (y + 0.5) / 3.2;
        px = static_cast<int>(fx), py = static_cast<int>(fy);
        const bool nearEdge = fx - px < 0.02 || fx - px > 0.98 || fy - py < 0.02 || fy - py > 0.98;
        return nearEdge ? kUnchecked : kPicture;
    }
    if (c == "window") { // 640 × 480 laid out against the screen, clipped to 160..479 × 120..359
        if (x < 160 || x >= 480 || y < 120 || y >= 360) return kBlack;
        px = x, py = y;
        return kPicture;
    }
    return kBlack;
}

bool MakeRenderPicture(const std::string& c) {
    int w = 640, h = 480;
    if (c == "reduced")
        w = 1280, h = 960;
    else if (c == "magnified")
        w = 160, h = 120;
    else if (c == "repeat" || c == "stretch")
        w = 200, h = 150;
    else if (c == "exact")
        w = 1000, h = 750;
    else if (c != "one" && c != "window" && c != "selection")
        return false;
    g.pic = std::make_unique<c_TesPic>(w, h);
    c_TesLayer_Gfx* ink = g.pic->AddColourLayer();
    if (!ink) return false;
    float* p = ink->Pixels();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x, p += 4) {
            double v[4];
            BlockColour(x, y, v);
            for (int i = 0; i < 4; ++i)
                p[i] = static_cast<float>(v[i]);
        }
    if (c == "selection") {
        cTes_Layer_Selection* sel = g.pic->GetSelection();
        if (!sel) return false;
        sel->Clear();
        for (int y = kSelY0; y < kSelY1; ++y)
            for (int x = kSelX0; x < kSelX1; ++x)
                sel->Pixels()[y * w + x] = 0.0f;
    }
    if (c == "selection") {
        cTes_Layer_Selection* sel = g.pic->GetSelection();
        if (!sel) return false;
        sel->Clear();
        for (int y = kSelY0; y < kSelY1; ++y)
            for (int x = kSelX0; x < kSelX1; ++x)
                sel->Pixels()[y * w + x] = 0.0f;
    }
    g.pic->viewMode = c == "repeat" ? 0 : 3;
    g.pic->repeatX = g.pic->repeatY = c == "repeat" ? 1 : 0;
    return true;
}

// Compares the frame with the expectation at every 7th pixel both ways.
int CheckFrame(const std::vector<uint8_t>& rgb, int w, int h) {
    if (w != 640 || h != 480) {
        std::fprintf(stderr, "screen is %dx%d, the cases expect 640x480\n", w, h);
        return 1;
    }
    int bad = 0, checked = 0;
    for (int y = 3; y < h; y += 7)
        for (int x = 2; x < w; x += 7) {
            int want[3] = {0, 0, 0}, px = 0, py = 0;
            const Expect e = ExpectedSource(g.renderCase, x, y, px, py);
            if (e == kUnchecked) continue;
            if (e == kPicture) {
                double v[4];
                BlockColour(px, py, v);
                for (int c = 0; c < 3; ++c)
                    want[c] = Srgb8(v[c] * v[3] + (1.0 - v[3])); // over white
            }
            const uint8_t* got = &rgb[(static_cast<size_t>(y) * w + x) * 3];
            ++checked;
            for (int c = 0; c < 3; ++c)
                if (std::abs(int(got[c]) - want[c]) > 1) {
                    if (bad < 10)
                        std::fprintf(stderr, "(%d, %d) channel %d: got %d, want %d\n", x, y, c, got[c],
                                     want[c]);
                    ++bad;
                    break;
                }
        }
    if (g.renderCase == "selection") {
        // Along one row across the selection, the outline columns show the overlay's grey (the
        // picture is not grey there) and their neighbours show the picture.
        const int y = 200;
        for (int x0 : {kSelX0 - 3, kSelX1 - 3})
            for (int x = x0; x < x0 + 6; ++x) {
                int px, py;
                const bool outline = ExpectedSource(g.renderCase, x, y, px, py) == kUnchecked;
                double v[4];
                BlockColour(px, py, v);
                int want[3];
                for (int c = 0; c < 3; ++c)
                    want[c] = Srgb8(v[c] * v[3] + (1.0 - v[3]));
                const uint8_t* got = &rgb[(static_cast<size_t>(y) * w + x) * 3];
                const bool grey = got[0] == got[1] && got[1] == got[2];
                bool picture = true;
                for (int c = 0; c < 3; ++c)
                    picture = picture && std::abs(int(got[c]) - want[c]) <= 1;
                ++checked;
                if (outline ? !grey || picture : !picture) {
                    std::fprintf(stderr, "(%d, %d): got %d %d %d, outline %d\n", x, y, got[0], got[1], got[2],
                                 outline);
                    ++bad;
                }
            }
    }
    std::printf("%s: %d of %d sampled pixels off by more than one step\n", g.renderCase.c_str(), bad,
                checked);
    return bad == 0 && checked > 0 ? 0 : 1;
}

void ReadFrame() {
    GLint vp[4];
    glGetIntegerv(GL_VIEWPORT, vp);
    g.frameW = vp[2];
    g.frameH = vp[3];
    std::vector<uint8_t> flipped(static_cast<size_t>(g.frameW) * g.frameH * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, g.frameW, g.frameH, GL_RGB, GL_UNSIGNED_BYTE, flipped.data());
    g.lastFrame.resize(flipped.size());
    const size_t row = static_cast<size_t>(g.frameW) * 3;
    for (int y = 0; y < g.frameH; ++y)
        std::memcpy(&g.lastFrame[static_cast<size_t>(y) * row],
                    &flipped[static_cast<size_t>(g.frameH - 1 - y) * row], row);
}

bool SaveRgb(const std::vector<uint8_t>& rgb, int w, int h, const std::string& path) {
    vek::ImageView v;
    v.pixels = rgb.data();
    v.width = w;
    v.height = h;
    v.channels = 3;
    v.gamma = 2.2;
    return vek::SavePng(v, path);
}

// ---- shell and desktop slots

void Swap() {
    ++g.framesDrawn;
    if (g.mode == Mode::kDrag) {
        ReadFrame();
        if (g.framesDrawn == 3 && !g.ready.empty())
            if (FILE* f = std::fopen(g.ready.c_str(), "w")) std::fclose(f);
    } else if (g.framesDrawn == 3) {
        ReadFrame();
        g.exitCode = CheckFrame(g.lastFrame, g.frameW, g.frameH);
        if (!SaveRgb(g.lastFrame, g.frameW, g.frameH, g.out)) g.exitCode = 1;
        if (g.desktop) g.desktop->Close();
    }
    vek::platform::SwapBuffers();
}

void OnClose() {
    if (g.closed) return;
    g.closed = true;
    if (g.editor) g.editor->ReleaseDisplayResources();
    if (g.mode != Mode::kDrag || !g.pic) return;
    // The drawing as it would be exported: composite over paper, encoded for display.
    const int w = g.pic->width, h = g.pic->height;
    auto flat = g.pic->Composite(0, 0, w, h, false, 1);
    std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3);
    if (flat) g.editor->encoder.RowToRgb(flat->Pixels(), rgb.data(), w * h);
    const bool ok = flat && SaveRgb(rgb, w, h, g.out);
    std::string screen = g.out;
    const size_t dot = screen.rfind(".png");
    screen = (dot == std::string::npos ? screen : screen.substr(0, dot)) + "-screen.png";
    if (!g.lastFrame.empty()) SaveRgb(g.lastFrame, g.frameW, g.frameH, screen);
    g.exitCode = ok ? 0 : 1;
}

void CloseRequest() {
    if (g.desktop)
        g.desktop->Close();
    else
        vek::shell::RequestQuit();
}

void OnActivation(int gained) {
    if (gained) {
        const bool live = vek::platform::MakeGlCurrent();
        if (g.desktop) g.desktop->SetGlReady(live);
    } else {
        if (g.editor) g.editor->ReleaseDisplayResources();
        if (g.desktop) g.desktop->SetGlReady(false);
        vek::platform::ReleaseGl();
    }
}

void WindowBody(cVek_Window& window, void* user) {
    static_cast<cTes_PicEditor*>(user)->FrameDraw(window);
}

void SetUp() {
    vek::shell::Shell::Current()->InstallActivationHandler(OnActivation);
    cVek_Desktop::Settings s;
    s.closeHandler = OnClose;
    s.swapBuffers = Swap;
    s.quitRequest = vek::shell::RequestQuit;
    s.idleSkipping = g.mode == Mode::kDrag; // as in the program; render frames must all draw
    g.desktop = std::make_unique<cVek_Desktop>(s);
    g.desktop->SetGlReady(vek::platform::GlContextLive() && vek::shell::IsActive());
    g.desktop->InstallInputHandlers();

    g.editor = std::make_unique<cTes_PicEditor>();
    g.editor->fullScreenLayout = 1;
    g.editor->integerFit = g.renderCase == "exact" || g.renderCase == "stretch" ? 0 : 1;
    if (g.mode == Mode::kRender) {
        if (!MakeRenderPicture(g.renderCase)) {
            std::fprintf(stderr, "unknown case %s\n", g.renderCase.c_str());
            vek::shell::RequestQuit();
            return;
        }
    } else {
        g.pic = std::make_unique<c_TesPic>(vek::shell::ScreenWidth() * g.dragScale,
                                           vek::shell::ScreenHeight() * g.dragScale);
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
    auto w = std::make_unique<cVek_Window>();
    if (g.renderCase == "window")
        w->SetPlacement(0.0f, 0.0f, aspect * 0.5f, 0.5f);
    else
        w->SetPlacement(0.0f, 0.0f, aspect, 1.0f);
    w->SetBody(WindowBody, g.editor.get());
    g.window = g.desktop->AddWindow(std::move(w));
    g.editor->SetPictureWindow(g.window);
}

void Frame() {
    const double dt = g.timer.Next();
    if (!g.desktop || !g.desktop->GlReady()) return;
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

int Check(const char* path, int x0, int y0, int x1, int y1) {
    vek::Image8 img;
    if (!vek::LoadImageFile(path, img, 3)) {
        std::fprintf(stderr, "cannot read %s\n", path);
        return 1;
    }
    const double len = std::hypot(double(x1 - x0), double(y1 - y0));
    if (len < 1) return 1;
    const double nx = -(y1 - y0) / len, ny = (x1 - x0) / len;
    int bad = 0, n = 0;
    auto at = [&](double x, double y) -> const uint8_t* {
        const int ix = static_cast<int>(std::lround(x)), iy = static_cast<int>(std::lround(y));
        if (ix < 0 || iy < 0 || ix >= img.Width() || iy >= img.Height()) return nullptr;
        return img.Row(iy) + ix * 3;
    };
    // Ends excluded: the stroke starts and stops there with round caps.
    for (double t = 0.05; t <= 0.95; t += 4.0 / len, ++n) {
        const double x = x0 + (x1 - x0) * t, y = y0 + (y1 - y0) * t;
        const uint8_t* on = at(x, y);
        if (!on || on[0] > 80 || on[1] > 80 || on[2] > 80) {
            if (bad++ < 5) std::fprintf(stderr, "not painted at (%.0f, %.0f)\n", x, y);
        }
        for (int side = -1; side <= 1; side += 2) {
            const uint8_t* off = at(x + side * 40 * nx, y + side * 40 * ny);
            if (off && (off[0] < 250 || off[1] < 250 || off[2] < 250))
                if (bad++ < 5) std::fprintf(stderr, "paint away from the stroke near (%.0f, %.0f)\n", x, y);
        }
    }
    std::printf("%d points along the stroke, %d problems\n", n, bad);
    return bad == 0 && n > 10 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    const std::string what = argc > 1 ? argv[1] : "";
    if (what == "check" && argc == 7)
        return Check(argv[2], std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]), std::atoi(argv[6]));
    if (what == "render" && argc == 4) {
        g.mode = Mode::kRender;
        g.renderCase = argv[2];
        g.out = argv[3];
    } else if (what == "drag" && (argc == 4 || argc == 5)) {
        g.mode = Mode::kDrag;
        g.out = argv[2];
        g.ready = argv[3];
        g.dragScale = argc == 5 ? std::max(1, std::min(4, std::atoi(argv[4]))) : 1;
    } else {
        std::fprintf(stderr, "usage: editor_harness render CASE OUT.png | drag OUT.png READY [S] | check "
                             "IN.png X0 Y0 X1 Y1\n");
        return 2;
    }
    vek::shell::Shell shell;
    shell.slots.setup = SetUp;
    shell.slots.frame = Frame;
    shell.slots.shutdown = OnShutdown;
    shell.slots.closeRequest = CloseRequest;
    vek::platform::SdlWindowSystem windows;
    const int rc = shell.Run(windows, "Editor Harness");
    return rc != 0 ? rc : g.exitCode;
}
