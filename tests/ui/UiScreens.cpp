// The interface drawn for real: an SDL window with a GL context (under Xvfb in the test run), the
// font sheets from Data, a panel strip, a message window, a menu with a sub-menu marker, a dialog
// marker and check boxes, and popup help. Frames are read back and checked for what must be on
// screen: text inside the windows, the markers and ticks, the popup box with its text.
// The frames are written as PNG files into $SX_UI_SCREENS (default: the working folder).
#include "platform/ImageCodec.h"
#include "platform/SdlWindowSystem.h"
#include "platform/Window.h"
#include "resources/ResourceTextures.h"
#include "shell/ShellState.h"
#include "ui/MenuWindow.h"
#include "ui/cVek_Desktop.h"
#include "ui/cVek_Font.h"
#include "ui/cVek_InterfaceGadget.h"
#include "ui/cVek_SimpleButton_2d.h"
#include "ui/cVek_SimpleButton_3d.h"
#include "ui/cVek_TextDisplay_Cyber.h"
#include "ui/cVek_TextDisplay_SpriteQuad.h"
#include "ui/cVek_Window_Info.h"
#include "ui/cVek_Window_Lite.h"
#include "ui/cVek_Window_Panel.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

namespace {

constexpr int kW = 1280, kH = 800;

struct Scene {
    std::unique_ptr<vek::platform::SdlWindowSystem> windows;
    cVek_Font text, icons;
    std::unique_ptr<cVek_Desktop> desktop;
    vek::Image8 frame; // the last captured frame, top row first
    bool capture = false;
    bool ready = false;
    int32_t flag32 = 1;
    uint8_t flag8 = 0;
    cVek_SimpleButton_2d button;
    cVek_SimpleButton_3d button3d;
    std::unique_ptr<cVek_TextDisplay> iconCaption;
};
Scene* g_scene = nullptr;

std::string OutFolder() {
    const char* v = std::getenv("SX_UI_SCREENS");
    return v && *v ? v : ".";
}

void CaptureAndSwap() {
    Scene& s = *g_scene;
    if (s.capture && s.frame.Create(kW, kH, 3)) {
        vek::Image8 raw;
        raw.Create(kW, kH, 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, kW, kH, GL_RGB, GL_UNSIGNED_BYTE, raw.Pixels());
        for (int y = 0; y < kH; ++y)
            std::copy(raw.Row(kH - 1 - y), raw.Row(kH - 1 - y) + kW * 3, s.frame.Row(y));
        s.capture = false;
    }
    vek::platform::SwapBuffers();
}

void RootBody(cVek_Window&, void*) {
    glClearColor(0.36f, 0.40f, 0.46f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // The picture: a white sheet in the middle.
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glColor3f(0.97f, 0.97f, 0.95f);
    glRectf(-0.45f, -0.42f, 0.62f, 0.42f);
    glPopAttrib();
}

// ---- the panel strip, as the program lays it out

void OptionsPanel(cVek_Window_Panel& w, void*) {
    w.BeginRows(1);
    w.PlaceButton(g_scene->button, 0, 1);
    g_scene->button.Do(w, "\xA4\xA4HMOptions\xA4\xA4h ->", "Misc. options\rand information.", 1);
}

void WipPanel(cVek_Window_Panel& w, void*) {
    static const char* kCaptions[] = {"Work In Progress ->", "Export", "Clear", "Exit"};
    w.BeginRows(4);
    for (int i = 0; i < 4; ++i) {
        w.PlaceButton(g_scene->button, 0, 1);
        g_scene->button.Do(w, kCaptions[i], "Quit this app.", 10 + i);
        w.NextRow();
    }
}

void ToolsPanel(cVek_Window_Panel& w, void*) {
    static const char* kCaptions[] = {"A", "C", "B", "D", "E", "F", "I", "G", "H"};
    static const char* kHelp[] = {"Ordinary Pen", "Soft Pen",    "Eraser", "Dark 3D Pen", "Medium 3D Pen",
                                  "Light 3D Pen", "Glitter Pen", "Smudge", "Drag"};
    cVek_SimpleButton_2d& b = g_scene->button;
    b.SetCaptionDisplay(g_scene->iconCaption.get());
    b.SetCaptionColour(0xFFFFFF);
    b.SetCaptionSize(0.95f);
    w.BeginRows(3);
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            w.PlaceButton(b, c, 3);
            b.NextSelected(r * 3 + c == 3);
            b.Do(w, kCaptions[r * 3 + c], kHelp[r * 3 + c], 20 + r * 3 + c);
        }
        w.NextRow();
    }
    b.SetCaptionDisplay(nullptr);
    b.SetCaptionColour(0xFFFFFFFFu);
    b.SetCaptionSize(0.7f);
}

void SizesPanel(cVek_Window_Panel& w, void*) {
    static const char* kCaptions[] = {".",    "\xA4\xA4HL.\xA4\xA4h",    "\xA4\xA4Hm\xA5\xA4\xA4h",
                                      "\xA5", "\xA4\xA4HM\xA5\xA4\xA4h", "\xA4\xA4HL\xA5\xA4\xA4h"};
    cVek_SimpleButton_2d& b = g_scene->button;
    b.SetCaptionDisplay(g_scene->iconCaption.get());
    b.SetCaptionColour(0xFFFFFF);
    b.SetCaptionSize(0.9f);
    w.BeginRows(2);
    for (int r = 0; r < 2; ++r) {
        for (int c = 0; c < 3; ++c) {
            w.PlaceButton(b, c, 3);
            b.NextSelected(r * 3 + c == 3);
            b.Do(w, kCaptions[r * 3 + c], "Choose this pen size.", 40 + r * 3 + c);
        }
        w.NextRow();
    }
    b.SetCaptionDisplay(nullptr);
    b.SetCaptionColour(0xFFFFFFFFu);
    b.SetCaptionSize(0.7f);
}

void UndoPanel(cVek_Window_Panel& w, void*) {
    cVek_SimpleButton_3d& b = g_scene->button3d;
    w.BeginRows(3);
    w.PlaceButton(b, 0, 2, 3);
    b.Do(w, "Undo\r(0)", "There's nothing to undo.", 317);
    w.PlaceButton(b, 1, 2, 3);
    b.Do(w, "Redo\r(0)", "There's nothing to redo.", 318);
}

void ColoursPanel(cVek_Window_Panel& w, void*) {
    static const uint32_t kColours[] = {0x000000, 0x808080, 0xFFFFFF, 0x800000, 0xFF0000, 0xFF8080,
                                        0x808000, 0xFFFF00, 0xFFFF80, 0x008000, 0x00FF00, 0x80FF80};
    cVek_SimpleButton_2d& b = g_scene->button;
    w.BeginRows(4);
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 3; ++c) {
            const uint32_t rgb = kColours[r * 3 + c];
            b.SetFaceColours(rgb, vek::ui::MixColour(rgb, 0xFFFFFF, 0.25f),
                             vek::ui::MixColour(rgb, 0x000000, 0.25f));
            w.PlaceButton(b, c, 3);
            b.NextSelected(r * 3 + c == 4);
            b.Do(w, "", "Select this color.\r\rPress a second time\rto change/redefine it.", 60 + r * 3 + c);
        }
        w.NextRow();
    }
    b.UseLookColours();
}

void AddPanel(cVek_Desktop& d, vek::ui::PanelFunction fn, float cy, float h) {
    auto w = std::make_unique<cVek_Window_Panel>();
    w->AddPanel(std::make_unique<vek::ui::FunctionPanel>(fn, nullptr));
    cVek_Window_Panel* raw = d.Add(std::move(w));
    raw->SetPlacement(-0.5f * float(kW) / kH, cy, 0.18f, h);
}

// A lite window with the solid three-dimensional glyphs.
void CyberBody(cVek_Window& w, void*) {
    static cVek_TextDisplay_Cyber cyber(0.042f, 0xFFD040);
    cyber.SetDefaultColour(0x805010, 1);
    cyber.SetDefaultColour(0x201008, 2);
    cyber.SetFade(w.Fade());
    cyber.DrawBlock("Scribbix 1.0\r\xA4\xA4P\x04"
                    "Cyber \xA4\xA4pglyphs!",
                    w.Inner().CentreX(), w.Inner().CentreY());
}

// Every glyph of both fonts: bytes 32..255 of the text font in rows of 16, then the icon font.
void GlyphChartBody(cVek_Window& w, void*) {
    const vek::ui::Rect in = w.Inner();
    cVek_TextDisplay_SpriteQuad text(&g_scene->text, 0.034f, 0x000000, cVek_TextDisplay::kLeft);
    text.SetFade(w.Fade());
    for (int row = 0; row < 14; ++row) {
        std::string line;
        for (int c = 32 + row * 16; c < 48 + row * 16; ++c) {
            // The escape byte is doubled back to one character by following it with a space.
            line += char(c);
            line += ' ';
        }
        text.DrawLine(line, in.x0 + 0.02f, in.y1 - 0.035f - row * 0.05f);
    }
    cVek_TextDisplay_SpriteQuad icons(&g_scene->icons, 0.07f, 0xFFFFFF, cVek_TextDisplay::kLeft);
    icons.SetFade(w.Fade());
    icons.DrawLine("A B C D E F G H I . \xA5", in.x0 + 0.02f, in.y0 + 0.05f);
}

void NoOp(const vek::ui::MenuChoice&) {}

std::unique_ptr<vek::ui::MenuList> DemoMenu() {
    auto m = std::make_unique<vek::ui::MenuList>("Options");
    m->AddAction("About", "Copyright note\rand credits.", NoOp);
    m->AddSubMenu("Manual", "Help.", NoOp);
    m->AddSeparator();
    m->AddSubMenu(
        "Work In Progress",
        "Contains 10 slots for your\runfinished drawings,\rthat are automatically\rsaved between sessions.",
        NoOp);
    m->AddAction("Export Drawing", "The work in progress\ris automatically saved.", NoOp);
    m->AddDialog("Settings", "Opens a dialog.", nullptr);
    m->AddSeparator();
    m->AddCheckBox("Sounds", "Switch the interface sounds on or off.", nullptr, &g_scene->flag32, -1);
    m->AddCheckBox("\xA4\xA4P\x07Popup help\xA4\xA4p always on", "Show help at once.", nullptr,
                   &g_scene->flag8, 1);
    m->AddAction("Minimize", "Hide/minimize this app\rwhile you temporarily\rdo other tasks.", NoOp);
    m->SetEnabled(false);
    return m;
}

// ---- frame analysis

struct Px {
    int x, y;
};
Px ToPixel(float x, float y) {
    double px = 0, py = 0;
    vek::shell::DesktopToPixel(x, y, &px, &py);
    return Px{int(px), int(py)};
}

// Pixels inside the rectangle whose colour is at least `minDiff` (sum of channel differences)
// away from `bg`.
int CountDiffering(const vek::Image8& img, const vek::ui::Rect& r, uint32_t bg, int minDiff) {
    const Px a = ToPixel(r.x0, r.y1), b = ToPixel(r.x1, r.y0);
    int n = 0;
    for (int y = std::max(0, a.y); y < std::min(kH, b.y); ++y)
        for (int x = std::max(0, a.x); x < std::min(kW, b.x); ++x) {
            const uint8_t* p = img.Row(y) + x * 3;
            const int d = std::abs(p[0] - int((bg >> 16) & 0xFF)) + std::abs(p[1] - int((bg >> 8) & 0xFF)) +
                          std::abs(p[2] - int(bg & 0xFF));
            if (d >= minDiff) ++n;
        }
    return n;
}

// Clearly green pixels (the tick marks).
int CountGreen(const vek::Image8& img, const vek::ui::Rect& r) {
    const Px a = ToPixel(r.x0, r.y1), b = ToPixel(r.x1, r.y0);
    int n = 0;
    for (int y = std::max(0, a.y); y < std::min(kH, b.y); ++y)
        for (int x = std::max(0, a.x); x < std::min(kW, b.x); ++x) {
            const uint8_t* p = img.Row(y) + x * 3;
            if (p[1] > std::max(p[0], p[2]) + 40) ++n;
        }
    return n;
}

// Pixels close to a colour.
int CountNear(const vek::Image8& img, const vek::ui::Rect& r, uint32_t rgb, int maxDiff) {
    const Px a = ToPixel(r.x0, r.y1), b = ToPixel(r.x1, r.y0);
    int n = 0;
    for (int y = std::max(0, a.y); y < std::min(kH, b.y); ++y)
        for (int x = std::max(0, a.x); x < std::min(kW, b.x); ++x) {
            const uint8_t* p = img.Row(y) + x * 3;
            const int d = std::abs(p[0] - int((rgb >> 16) & 0xFF)) + std::abs(p[1] - int((rgb >> 8) & 0xFF)) +
                          std::abs(p[2] - int(rgb & 0xFF));
            if (d <= maxDiff) ++n;
        }
    return n;
}

class UiScreens : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        g_scene = new Scene;
        Scene& s = *g_scene;
        setenv("SCRIBBIX_SCREEN", "1280x800", 1);
        s.windows = std::make_unique<vek::platform::SdlWindowSystem>();
        int w = 0, h = 0, depth = 0;
        if (!s.windows->ReadDisplayMode(&w, &h, &depth)) return;
        vek::shell::CurrentScreen() = vek::shell::Screen{w, h, depth};
        if (!s.windows->CreateWindow("ui screens")) return;
        if (!s.windows->CreateGlContext() && !s.windows->CreateGlContext()) return;
        s.text.LoadMetrics(vek::ui::kTextFontSheet);
        s.icons.LoadMetrics(vek::ui::kIconFontSheet);
        const vek::res::FontTextures t = vek::res::LoadResourcesFrom(SX_DATA_DIR);
        s.text.SetTexture(t.text);
        s.icons.SetTexture(t.icons);
        s.iconCaption = std::make_unique<cVek_TextDisplay_SpriteQuad>(&s.icons, 0.03f, 0xFFFFFF);

        cVek_Desktop::Settings set;
        set.setLights = true;
        set.swapBuffers = CaptureAndSwap;
        set.idleSkipping = false;
        set.textFont = &s.text;
        set.iconFont = &s.icons;
        s.desktop = std::make_unique<cVek_Desktop>(set);
        s.desktop->SetGlReady(true);
        s.desktop->Look()->sounds = false;

        auto root = std::make_unique<cVek_Window>();
        root->SetPlacement(0.0f, 0.0f, float(w) / float(h), 1.0f);
        root->SetBody(RootBody, nullptr);
        s.desktop->AddWindow(std::move(root));
        AddPanel(*s.desktop, OptionsPanel, 0.465f, 0.07f);
        AddPanel(*s.desktop, WipPanel, 0.37f, 0.12f);
        AddPanel(*s.desktop, ToolsPanel, 0.2225f, 0.175f);
        AddPanel(*s.desktop, SizesPanel, 0.07875f, 0.1125f);
        AddPanel(*s.desktop, UndoPanel, -0.02125f, 0.0875f);
        AddPanel(*s.desktop, ColoursPanel, -0.115f, 0.1f);
        s.ready = true;
    }
    static void TearDownTestSuite() {
        if (g_scene) {
            g_scene->desktop.reset();
            if (g_scene->windows) {
                vek::res::ReleaseResources();
                g_scene->windows->DestroyGlContext();
                g_scene->windows->DestroyWindow();
            }
        }
        delete g_scene;
        g_scene = nullptr;
    }

    void Frames(int n, double dt = 0.05) {
        uint32_t stamp = 0;
        for (int i = 0; i < n; ++i) {
            while (g_scene->windows->PeekMessage(&stamp)) {
            }
            g_scene->capture = i == n - 1;
            g_scene->desktop->Frame(dt);
        }
    }
    void MoveTo(float x, float y) {
        const Px p = ToPixel(x, y);
        vek::PointerEvent e;
        e.type = vek::kPointerMove;
        e.x = uint32_t(p.x);
        e.y = uint32_t(p.y);
        g_scene->desktop->OnPointer(e);
    }
    void Save(const char* name) {
        ASSERT_TRUE(vek::SavePng(g_scene->frame.View(), OutFolder() + "/" + name)) << vek::ImageCodecError();
    }
};

TEST_F(UiScreens, MessageWindowMenuAndPopupAreDrawnWithReadableText) {
    ASSERT_TRUE(g_scene && g_scene->ready) << "no window or GL context";
    cVek_Desktop& d = *g_scene->desktop;
    const cVek_InterfaceGadget* look = d.Look();

    // A manual page heading: blue (its colour bytes hold zeros), wider and larger, then the body.
    const std::string page = std::string("\xA4\xA4"
                                         "C") +
                             std::string("\x00\x00\xFF", 3) +
                             "\xA4\xA4WS\xA4\xA4HSDrawing\xA4\xA4h\xA4\xA4w\xA4\xA4"
                             "c\r"
                             "Use your left mouse button to draw\ror to select tool, size and color.\r\r"
                             "Accents and signs: \x8E\x8F\x9A \xA9 \xD2quotes\xD3 \xC9 \xA5 \xA1";
    cVek_Window_Info* info = d.ShowInfo("About", page);
    info->Place(0.25f, 0.25f);
    vek::ui::MenuWindow* menu = d.OpenMenu(DemoMenu(), -0.35f, 0.30f);
    cVek_Window_Lite* lite = d.Add(std::make_unique<cVek_Window_Lite>());
    lite->SetPlacement(0.3f, -0.2f, 0.5f, 0.2f);
    lite->SetBody(CyberBody, nullptr);
    MoveTo(0.0f, -0.45f);
    Frames(8);
    Save("ui-menu-window.png");
    // Every drawing function left the GL state as it found it (no attribute stack errors).
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    {
        const vek::Image8& f = g_scene->frame;
        // The message window's body holds text: many pixels far from its face colour.
        EXPECT_GT(CountDiffering(f, info->Inner(), look->colours.windowFaceTop, 200), 400);
        // The title bar holds its white title.
        EXPECT_GT(CountNear(f, info->TitleRect(), 0xFFFFFF, 60), 40);
        // Sub-menu rows end in " ->": ink in the marker's place at the right of the row.
        const vek::ui::Rect row = menu->RowAt(1).rect; // "Manual"
        const float end = row.x0 + vek::ui::MenuWindow::kRowMargin + menu->RowWidth(1);
        const vek::ui::Rect marker{end - 0.028f, row.y0 + 0.004f, end, row.y1 - 0.004f};
        EXPECT_GT(CountDiffering(f, marker, look->colours.windowFaceTop, 250), 10);
        // The checked box shows its tick in the tick colour, the unchecked one none.
        const vek::ui::Rect checked = menu->RowAt(7).rect, unchecked = menu->RowAt(8).rect;
        EXPECT_GT(CountGreen(f, vek::ui::Rect{checked.x1 - 0.025f, checked.y0, checked.x1, checked.y1}), 8);
        EXPECT_EQ(
            CountGreen(f, vek::ui::Rect{unchecked.x1 - 0.025f, unchecked.y0, unchecked.x1, unchecked.y1}), 0);
        // The solid glyphs: gold faces inside the lite window.
        EXPECT_GT(CountNear(f, lite->Bounds(), 0xFFD040, 40), 500);
        // Nothing is cut off: every row's label ends inside the window.
        for (int i = 0; i < menu->RowCount(); ++i) {
            const vek::ui::MenuWindow::Row& r = menu->RowAt(i);
            EXPECT_LE(r.rect.x0 + menu->RowWidth(r.entry), menu->Bounds().x1) << i;
        }
    }

    // Hover the "Work In Progress" entry long enough for its popup.
    const vek::ui::MenuWindow::Row wipRow = menu->RowAt(3);
    MoveTo(wipRow.rect.x0 + 0.03f, wipRow.rect.CentreY());
    Frames(40);
    Save("ui-menu-popup.png");
    const vek::Image8& f = g_scene->frame;

    // The popup: a pale box below the entry with dark text inside it.
    ASSERT_TRUE(d.Popup().Showing());
    const vek::ui::Rect below{wipRow.rect.x0, wipRow.rect.y0 - 0.12f, wipRow.rect.x1, wipRow.rect.y0 - 0.01f};
    EXPECT_GT(CountNear(f, below, look->colours.helpFaceTop, 24), 2000);
    EXPECT_GT(CountDiffering(f, below, look->colours.helpFaceTop, 300), 150);
}

TEST_F(UiScreens, PanelStripShowsIconsAndCaptionsWithAPopup) {
    ASSERT_TRUE(g_scene && g_scene->ready) << "no window or GL context";
    cVek_Desktop& d = *g_scene->desktop;
    // Close the floating windows of the previous test, then rest on the Dark 3D Pen button.
    for (int i = 0; i < d.WindowCount(); ++i)
        if (d.WindowAt(i)->GetLayer() == cVek_Window::kLayerFloating) d.WindowAt(i)->Close();
    const float left = -0.5f * float(kW) / kH;
    MoveTo(left + 0.03f, 0.2225f);
    Frames(45);
    Save("ui-panels.png");
    const vek::Image8& f = g_scene->frame;
    // The tool icons are colourful: the red 3D pens show saturated red.
    const vek::ui::Rect tools{left, 0.14f, left + 0.18f, 0.31f};
    EXPECT_GT(CountNear(f, tools, 0xDC294D, 120), 100);
    // The undo panel's 3D buttons carry their two-line captions.
    const vek::ui::Rect undo{left + 0.01f, -0.06f, left + 0.085f, 0.015f};
    EXPECT_GT(CountDiffering(f, undo, 0xFFFFFF, 450), 60);
    EXPECT_TRUE(d.Popup().Showing());
    EXPECT_EQ(d.Popup().Help(), "Dark 3D Pen");
}

TEST_F(UiScreens, GlyphChartShowsEveryGlyphOfBothFonts) {
    ASSERT_TRUE(g_scene && g_scene->ready) << "no window or GL context";
    cVek_Desktop& d = *g_scene->desktop;
    for (int i = 0; i < d.WindowCount(); ++i)
        if (d.WindowAt(i)->GetLayer() == cVek_Window::kLayerFloating) d.WindowAt(i)->Close();
    cVek_Window_Lite* chart = d.Add(std::make_unique<cVek_Window_Lite>());
    chart->SetPlacement(0.1f, 0.0f, 1.2f, 0.96f);
    chart->SetBody(GlyphChartBody, nullptr);
    MoveTo(0.75f, -0.48f);
    Frames(8);
    Save("ui-glyphs.png");
    const vek::Image8& f = g_scene->frame;
    const vek::ui::Rect in = chart->Inner();
    // Each of the 14 rows of the text font has ink.
    for (int row = 0; row < 14; ++row) {
        const float y = in.y1 - 0.035f - row * 0.05f;
        const vek::ui::Rect band{in.x0 + 0.02f, y - 0.02f, in.x1 - 0.02f, y + 0.02f};
        EXPECT_GT(CountDiffering(f, band, d.Look()->colours.windowFaceTop, 300), 150) << row;
    }
    // The icons keep their colours: the red of the 3D pens and the green of the drag icon.
    const vek::ui::Rect icons{in.x0, in.y0, in.x1, in.y0 + 0.1f};
    EXPECT_GT(CountNear(f, icons, 0xDC294D, 120), 200);
    EXPECT_GT(CountNear(f, icons, 0x1A9E61, 90), 100);
}

} // namespace
