// The desktop run headless on a 1600 x 1000 screen (aspect 1.6): immediate-button behaviour,
// pointer routing and capture, window dragging and title clicks, keeping on screen, the command
// slot and shortcuts, closing, idle skipping, panel rows, menu windows and the pointer history.
// Without fonts every glyph advances 0.5, so text widths follow from glyph counts by hand.
#include "shell/ShellState.h"
#include "ui/MenuWindow.h"
#include "ui/cVek_Desktop.h"
#include "ui/cVek_InterfaceGadget.h"
#include "ui/cVek_SimpleButton_2d.h"
#include "ui/cVek_Window_Dialog.h"
#include "ui/cVek_Window_Lite.h"
#include "ui/cVek_Window_Panel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using vek::ui::Rect;

int g_closeHandler = 0;
int g_quits = 0;

class DesktopTest : public ::testing::Test {
  protected:
    void SetUp() override {
        vek::shell::CurrentScreen() = vek::shell::Screen{1600, 1000, 24};
        g_closeHandler = 0;
        g_quits = 0;
        cVek_Desktop::Settings s;
        s.idleSkipping = false;
        s.closeHandler = [] { ++g_closeHandler; };
        s.quitRequest = [] { ++g_quits; };
        desktop = std::make_unique<cVek_Desktop>(s);
        desktop->SetHeadless(true);
        desktop->Look()->animations = false;
        desktop->Look()->sounds = false;
    }

    // A pointer event at a point in desktop units.
    void Pointer(uint8_t type, float x, float y, uint8_t button = 1, uint16_t held = 0) {
        vek::PointerEvent e;
        e.x = uint32_t(std::floor((x + 0.8f) * 1000.0f));
        e.y = uint32_t(std::floor((0.5f - y) * 1000.0f));
        e.type = type;
        e.button = type == vek::kPointerPress || type == vek::kPointerRelease ? button : 0;
        e.modifiers = held;
        desktop->OnPointer(e);
    }
    void Frames(int n, double dt = 0.02) {
        for (int i = 0; i < n; ++i)
            desktop->Frame(dt);
    }
    void Click(float x, float y) {
        Pointer(vek::kPointerPress, x, y, 1, vek::kModLeft);
        Frames(1);
        Pointer(vek::kPointerRelease, x, y, 1, 0);
        Frames(1);
    }

    std::unique_ptr<cVek_Desktop> desktop;
};

// ---- immediate buttons

struct ButtonScene {
    cVek_SimpleButton_2d button;
    int clicks = 0;
    std::vector<cVek_Desktop::ItemState> states; // of the raw behaviour item
    bool rawItem = false;
};

void ButtonBody(cVek_Window& w, void* user) {
    auto* s = static_cast<ButtonScene*>(user);
    s->button.SetSize(0.1f, 0.05f);
    s->button.Do(
        w, 0.0f, 0.0f, "OK", "help", 7, [](cVek_Window*, int, void* arg) { ++*static_cast<int*>(arg); },
        &s->clicks);
    if (s->rawItem) s->states.push_back(w.Desktop()->Behaviour(w, Rect{0.3f, -0.05f, 0.4f, 0.05f}, 9, true));
}

cVek_Window* AddRoot(cVek_Desktop& d, ButtonScene& scene) {
    auto root = std::make_unique<cVek_Window>();
    root->SetPlacement(0.0f, 0.0f, 1.6f, 1.0f);
    root->SetBody(ButtonBody, &scene);
    return d.AddWindow(std::move(root));
}

TEST_F(DesktopTest, ButtonClicksOnlyWhenPressAndReleaseAreOverIt) {
    ButtonScene scene;
    AddRoot(*desktop, scene);
    Frames(1);
    Click(0.01f, 0.01f);
    EXPECT_EQ(scene.clicks, 1);
    // Released elsewhere: cancelled.
    Pointer(vek::kPointerPress, 0.0f, 0.0f, 1, vek::kModLeft);
    Frames(1);
    Pointer(vek::kPointerMove, 0.3f, 0.3f, 0, vek::kModLeft);
    Pointer(vek::kPointerRelease, 0.3f, 0.3f, 1, 0);
    Frames(1);
    EXPECT_EQ(scene.clicks, 1);
    // Pressed elsewhere, released over it: not a click.
    Pointer(vek::kPointerPress, 0.3f, 0.3f, 1, vek::kModLeft);
    Frames(1);
    Pointer(vek::kPointerRelease, 0.0f, 0.0f, 1, 0);
    Frames(1);
    EXPECT_EQ(scene.clicks, 1);
    // Press and release between two frames still make one click, one transition per frame.
    Pointer(vek::kPointerPress, 0.0f, 0.0f, 1, vek::kModLeft);
    Pointer(vek::kPointerRelease, 0.0f, 0.0f, 1, 0);
    Frames(1);
    EXPECT_EQ(scene.clicks, 1);
    Frames(1);
    EXPECT_EQ(scene.clicks, 2);
    EXPECT_EQ(cVek_SimpleButton::LastClick().id, 7);
}

TEST_F(DesktopTest, HeldItemKeepsThePointerFromOtherItems) {
    ButtonScene scene;
    scene.rawItem = true;
    AddRoot(*desktop, scene);
    Pointer(vek::kPointerPress, 0.0f, 0.0f, 1, vek::kModLeft);
    Frames(1);
    // Dragged over the other item while the button is held: the other item stays cold.
    Pointer(vek::kPointerDrag, 0.35f, 0.0f, 0, vek::kModLeft);
    Frames(1);
    EXPECT_FALSE(scene.states.back().hovered);
    Pointer(vek::kPointerRelease, 0.35f, 0.0f, 1, 0);
    Frames(1);
    EXPECT_FALSE(scene.states.back().pressed);
    Frames(1);
    EXPECT_TRUE(scene.states.back().hovered); // free again after the release
    EXPECT_EQ(scene.clicks, 0);
}

// ---- pointer routing

struct Recorder {
    std::vector<uint8_t> types;
};

TEST_F(DesktopTest, PictureWindowGetsItsEventsAndKeepsThemUntilRelease) {
    ButtonScene scene;
    AddRoot(*desktop, scene);
    Recorder rec;
    auto pic = std::make_unique<cVek_Window_Panel>();
    pic->SetPlacement(0.5f, 0.0f, 0.4f, 0.4f);
    pic->SetPointerHandler([](cVek_Window&, const vek::PointerEvent& e, float, float,
                              void* user) { static_cast<Recorder*>(user)->types.push_back(e.type); },
                           &rec);
    desktop->AddWindow(std::move(pic));
    Pointer(vek::kPointerPress, 0.5f, 0.0f, 1, vek::kModLeft);
    // A stroke leaves the window over the button and ends there.
    Pointer(vek::kPointerDrag, 0.0f, 0.0f, 0, vek::kModLeft);
    Pointer(vek::kPointerRelease, 0.0f, 0.0f, 1, 0);
    Frames(3);
    EXPECT_EQ(rec.types, (std::vector<uint8_t>{vek::kPointerPress, vek::kPointerDrag, vek::kPointerRelease}));
    EXPECT_EQ(scene.clicks, 0);
    // After the release the pointer is free: a click on the button is the button's.
    Click(0.0f, 0.0f);
    EXPECT_EQ(scene.clicks, 1);
    EXPECT_EQ(rec.types.size(), 3u);
    // A quick click on the button, then a press on the picture before any frame ran: the button's
    // press and release wait for their frames, the picture's press is the picture's at once.
    Pointer(vek::kPointerPress, 0.0f, 0.0f, 1, vek::kModLeft);
    Pointer(vek::kPointerMove, 0.5f, 0.0f, 0, vek::kModLeft); // still held: the interface's
    Pointer(vek::kPointerRelease, 0.0f, 0.0f, 1, 0);
    Pointer(vek::kPointerPress, 0.5f, 0.0f, 1, vek::kModLeft);
    EXPECT_EQ(rec.types.size(), 4u);
    EXPECT_EQ(rec.types.back(), vek::kPointerPress);
    Frames(2);
    EXPECT_EQ(scene.clicks, 2);
}

// ---- windows

TEST_F(DesktopTest, ScaleAtOrBelowZeroIsTheFloorAndDefaultScalesComeFromTheLook) {
    cVek_Window w;
    for (float bad : {0.0f, -2.0f}) {
        w.SetScale(bad);
        EXPECT_FLOAT_EQ(w.Scale(), cVek_Window::kMinScale) << bad;
    }
    cVek_Window_Lite alone;
    alone.ApplyDefaultScale();
    EXPECT_FLOAT_EQ(alone.Scale(), 0.25f);
    desktop->Look()->dialogScale = 0.8f;
    desktop->Look()->windowScale = 1.2f;
    cVek_Window* lite = desktop->AddWindow(std::make_unique<cVek_Window_Lite>());
    cVek_Window* dialog = desktop->AddWindow(std::make_unique<cVek_Window_Dialog>("D", 0.1f, 0.1f));
    cVek_Window* panel = desktop->AddWindow(std::make_unique<cVek_Window_Panel>());
    EXPECT_FLOAT_EQ(lite->Scale(), 0.2f);
    EXPECT_FLOAT_EQ(dialog->Scale(), 0.8f);
    EXPECT_FLOAT_EQ(panel->Scale(), 1.2f);
}

// Placed beyond the edges, moved past them, or left outside by a narrower screen.
TEST_F(DesktopTest, WindowsAreKeptOnScreen) {
    cVek_Window* w = desktop->AddWindow(std::make_unique<cVek_Window_Panel>());
    w->SetPlacement(5.0f, -5.0f, 0.2f, 0.1f);
    EXPECT_NEAR(w->CentreX(), 0.7f, 1e-6);
    EXPECT_NEAR(w->CentreY(), -0.45f, 1e-6);
    w->Place(-3.0f, 0.49f);
    EXPECT_NEAR(w->Bounds().x0, -0.8f, 1e-6);
    EXPECT_NEAR(w->Bounds().y1, 0.5f, 1e-6);
    w->SetPlacement(0.7f, 0.0f, 0.2f, 0.1f);
    Frames(1);
    vek::shell::CurrentScreen() = vek::shell::Screen{1000, 1000, 24}; // aspect 1
    Frames(1);
    EXPECT_NEAR(w->Bounds().x1, 0.5f, 1e-6);
}

TEST_F(DesktopTest, DraggingByTheTitleMovesAndPinsTheWindow) {
    cVek_Window* w = desktop->AddWindow(std::make_unique<cVek_Window_Dialog>("D", 0.2f, 0.1f));
    Frames(1);
    const Rect t = w->TitleRect();
    const float x0 = w->CentreX(), y0 = w->CentreY();
    EXPECT_FALSE(w->Pinned());
    Pointer(vek::kPointerPress, t.CentreX(), t.CentreY(), 1, vek::kModLeft);
    Frames(1);
    Pointer(vek::kPointerDrag, t.CentreX() + 0.1f, t.CentreY() - 0.05f, 0, vek::kModLeft);
    Frames(1);
    Pointer(vek::kPointerRelease, t.CentreX() + 0.1f, t.CentreY() - 0.05f, 1, 0);
    Frames(1);
    EXPECT_TRUE(w->Pinned());
    EXPECT_TRUE(w->IsOpen());
    EXPECT_NEAR(w->CentreX() - x0, 0.1f, 0.002f);
    EXPECT_NEAR(w->CentreY() - y0, -0.05f, 0.002f);
}

TEST_F(DesktopTest, ClickOnTheSelectedTitleClosesOrTogglesWhenPinned) {
    cVek_Window* a = desktop->AddWindow(std::make_unique<cVek_Window_Dialog>("A", 0.2f, 0.1f));
    a->Place(-0.4f, 0.0f);
    cVek_Window* b = desktop->AddWindow(std::make_unique<cVek_Window_Dialog>("B", 0.2f, 0.1f));
    b->Place(0.4f, 0.0f);
    Frames(1);
    ASSERT_EQ(desktop->SelectedWindow(), b);
    // A is not selected: the click selects it and nothing else.
    Click(a->TitleRect().CentreX(), a->TitleRect().CentreY());
    EXPECT_EQ(desktop->SelectedWindow(), a);
    EXPECT_TRUE(a->IsOpen());
    // Now it is: a pinned window changes size, an unpinned one closes.
    a->SetPinned(true);
    Click(a->TitleRect().CentreX(), a->TitleRect().CentreY());
    EXPECT_TRUE(a->Minimised());
    EXPECT_TRUE(a->IsOpen());
    Click(b->TitleRect().CentreX(), b->TitleRect().CentreY());
    Click(b->TitleRect().CentreX(), b->TitleRect().CentreY());
    EXPECT_TRUE(b->IsClosing() || b->GetState() == cVek_Window::State::kClosed);
}

// ---- panel rows

TEST_F(DesktopTest, PanelRowsShareTheHeightAndAMinimisedWindowHasOneRow) {
    cVek_Window_Panel* p = desktop->Add(std::make_unique<cVek_Window_Panel>());
    p->SetPlacement(0.0f, 0.0f, 0.18f, 0.2f);
    // Border 0.008 (the look's panel frame), gap 0.003: (0.2 - 0.016 - 3 x 0.003) / 4.
    p->BeginRows(4);
    EXPECT_NEAR(p->RowHeight(), 0.04375f, 1e-6);
    p->NextRow();
    const Rect cell = p->CellRect(2, 3);
    EXPECT_NEAR(cell.Width(), (0.164f - 0.006f) / 3.0f, 1e-6);
    EXPECT_NEAR(cell.y1, 0.1f - 0.008f - 0.04375f - 0.003f, 1e-6);
    EXPECT_NEAR(cell.x1, 0.09f - 0.008f, 1e-6);
    p->SetMinimised(true);
    p->BeginRows(4);
    EXPECT_EQ(p->Rows(), 1);
    EXPECT_NEAR(p->RowHeight(), 0.184f, 1e-6);
    for (int i = 0; i < 10; ++i)
        EXPECT_TRUE(p->AddPanel(std::make_unique<vek::ui::FunctionPanel>(nullptr, nullptr)));
    EXPECT_FALSE(p->AddPanel(std::make_unique<vek::ui::FunctionPanel>(nullptr, nullptr)));
    EXPECT_EQ(p->PanelCount(), 10);
}

// ---- command slot and shortcuts

cVek_Desktop* g_desktop = nullptr;
int g_runs = 0;
intptr_t g_lastArg = 0;
int g_shortcuts = 0;

void ShortcutAction(cVek_Window* w, intptr_t arg) {
    if (g_desktop->Defer(ShortcutAction, w, arg)) return;
    ++g_shortcuts;
    g_lastArg = arg;
}

void OtherAction(cVek_Window* w, intptr_t arg) {
    if (g_desktop->Defer(OtherAction, w, arg)) return;
    ++g_runs;
}

// While it runs it presses Ctrl+Z and starts another command.
void BusyAction(cVek_Window* w, intptr_t arg) {
    if (g_desktop->Defer(BusyAction, w, arg)) return;
    ++g_runs;
    g_lastArg = arg;
    vek::KeyEvent k;
    k.character = 'z';
    k.modifiers = vek::kModCtrl;
    g_desktop->OnKey(k);
    OtherAction(nullptr, 0);
}

TEST_F(DesktopTest, DeferredCommandRunsOnALaterFrameOnce) {
    g_desktop = desktop.get();
    g_runs = g_shortcuts = 0;
    desktop->SetShortcutAction(ShortcutAction);
    BusyAction(nullptr, 5);
    EXPECT_EQ(g_runs, 0);
    EXPECT_TRUE(desktop->CommandPending());
    Frames(1);
    EXPECT_EQ(g_runs, 1);
    EXPECT_EQ(g_lastArg, 5);
    // The shortcut pressed while the command ran was swallowed; the command it started waits.
    EXPECT_EQ(g_shortcuts, 0);
    EXPECT_TRUE(desktop->CommandPending());
    EXPECT_EQ(desktop->Keyboard().PopChar(), 0);
    Frames(1);
    EXPECT_EQ(g_runs, 2);
    EXPECT_FALSE(desktop->CommandPending());
    Frames(2);
    EXPECT_EQ(g_runs, 2);
}

TEST_F(DesktopTest, ShortcutKeysStoreTheirCommands) {
    g_desktop = desktop.get();
    g_shortcuts = 0;
    desktop->SetShortcutAction(ShortcutAction);
    vek::KeyEvent k;
    k.character = 'Z';
    k.modifiers = vek::kModCtrl | vek::kModShift;
    desktop->OnKey(k);
    Frames(1);
    EXPECT_EQ(g_shortcuts, 1);
    EXPECT_EQ(g_lastArg, 318);
    // Not shortcuts: they reach the keyboard.
    k.character = 'z';
    k.modifiers = vek::kModCtrl | vek::kModAlt;
    desktop->OnKey(k);
    k.modifiers = 0;
    desktop->OnKey(k);
    Frames(1);
    EXPECT_EQ(g_shortcuts, 1);
    EXPECT_EQ(desktop->Keyboard().PopChar(), 'z');
    EXPECT_EQ(desktop->Keyboard().PopChar(), 'z');
}

TEST(Shortcuts, KeyTable) {
    const uint8_t ctrl = vek::kModCtrl, shift = vek::kModShift, alt = vek::kModAlt;
    const struct {
        uint8_t c, mods;
        int command;
    } keys[] = {{'z', ctrl, 317},     {'Z', ctrl | shift, 318}, {'x', ctrl, 319},
                {'c', ctrl, 320},     {'v', ctrl, 321},         {'C', ctrl | shift, 322},
                {'z', ctrl | alt, 0}, {'z', shift, 0},          {'A', ctrl, 0} /* below 'C' */,
                {'q', ctrl, 0}};
    for (const auto& k : keys) {
        vek::KeyEvent e;
        e.character = k.c;
        e.modifiers = k.mods;
        EXPECT_EQ(cVek_Desktop::ShortcutCommand(e), k.command) << k.c << " " << int(k.mods);
    }
}

// ---- closing and idle

TEST_F(DesktopTest, CloseRunsTheHandlerOnceAndQuitsWhenWindowsAreGoneAndForgotten) {
    desktop->Look()->animations = true;
    desktop->AddWindow(std::make_unique<cVek_Window_Dialog>("A", 0.2f, 0.1f));
    desktop->AddWindow(std::make_unique<cVek_Window_Dialog>("B", 0.2f, 0.1f));
    Frames(10);
    desktop->Close();
    desktop->Close();
    EXPECT_EQ(g_closeHandler, 1);
    Frames(2);
    EXPECT_EQ(g_quits, 0); // still fading out
    Frames(20);
    EXPECT_EQ(g_quits, 1);
    EXPECT_EQ(desktop->WindowCount(), 0);
    EXPECT_EQ(desktop->SelectedWindow(), nullptr); // destroyed windows are forgotten
}

TEST(DesktopClosing, WithoutGlTheQuitComesAtOnce) {
    g_quits = 0;
    cVek_Desktop::Settings s;
    s.quitRequest = [] { ++g_quits; };
    cVek_Desktop d(s);
    d.AddWindow(std::make_unique<cVek_Window_Dialog>("A", 0.2f, 0.1f));
    d.Close();
    EXPECT_EQ(g_quits, 1);
}

TEST(DesktopIdle, FramesStopWhenNothingChangesAndResumeOnChange) {
    vek::shell::CurrentScreen() = vek::shell::Screen{1600, 1000, 24};
    cVek_Desktop::Settings s;
    s.idleThreshold = 0.6;
    cVek_Desktop d(s);
    d.SetHeadless(true);
    for (int i = 0; i < 6; ++i) {
        d.Frame(0.1);
        EXPECT_TRUE(d.RanLastFrame()) << i;
    }
    d.Frame(0.1);
    EXPECT_FALSE(d.RanLastFrame());
    vek::shell::RedrawCounter()++;
    d.Frame(0.1);
    EXPECT_TRUE(d.RanLastFrame());
    for (int i = 0; i < 7; ++i)
        d.Frame(0.1);
    EXPECT_FALSE(d.RanLastFrame());
    vek::PointerEvent e;
    e.type = vek::kPointerMove;
    d.OnPointer(e);
    d.Frame(0.1);
    EXPECT_TRUE(d.RanLastFrame());
}

// ---- menu windows

int g_chosen = 0;

TEST_F(DesktopTest, MenuLayoutSkipsHiddenEntriesGivesSeparatorsAQuarterRowAndEmptyMenusNoRows) {
    auto list = std::make_unique<vek::ui::MenuList>("Menu");
    list->AddAction("ABCDEFGHIJKLMNOPQRST", "", nullptr);
    list->AddAction("hidden and much much longer than all the others", "", nullptr);
    list->SetHidden(true);
    list->AddSeparator();
    list->AddSubMenu("Abc", "", nullptr);
    list->AddDialog("Ab", "", nullptr);
    vek::ui::MenuWindow* m = desktop->OpenMenu(std::move(list), -0.5f, 0.4f);
    m->Layout();
    // Glyphs of 0.016 x 0.5 plus 0.0032 spacing: 20 glyphs 0.2208 + 0.55 x " ->" (0.0304).
    EXPECT_NEAR(m->RowWidth(0), 0.23752f, 1e-5);
    EXPECT_NEAR(m->RowWidth(3), 0.0304f + 1.1f * 0.0304f, 1e-5);
    EXPECT_NEAR(m->RowWidth(4), 0.0192f + 1.1f * 0.0304f, 1e-5);
    // Widest row, margins 2 x 0.006, padding 2 x 0.005.
    EXPECT_NEAR(m->Bounds().Width(), 0.25952f, 1e-5);
    ASSERT_EQ(m->RowCount(), 4);
    EXPECT_EQ(m->RowAt(1).entry, 2);
    EXPECT_NEAR(m->RowAt(1).rect.Height(), 0.005f, 1e-6);
    EXPECT_NEAR(m->RowAt(2).rect.Height(), 0.02f, 1e-6);
    // Title 0.026, footer 0.028, rows 0.065, padding 2 x 0.005.
    EXPECT_NEAR(m->Bounds().Height(), 0.129f, 1e-5);
    EXPECT_NEAR(m->Bounds().x0, -0.5f, 1e-5);
    EXPECT_NEAR(m->Bounds().y1, 0.4f, 1e-5);
    // The separator is never an entry under the pointer.
    EXPECT_EQ(m->EntryAt(m->RowAt(1).rect.CentreX(), m->RowAt(1).rect.CentreY()), -1);
    EXPECT_EQ(m->EntryAt(m->RowAt(2).rect.CentreX(), m->RowAt(2).rect.CentreY()), 3);
    // An empty menu shows only its title and footer, and can be neither pinned nor resized.
    m = desktop->OpenMenu(std::make_unique<vek::ui::MenuList>("Empty"), 0.0f, 0.0f);
    m->Layout();
    EXPECT_EQ(m->RowCount(), 0);
    EXPECT_FALSE(m->canPin);
    EXPECT_FALSE(m->canResize);
    EXPECT_NEAR(m->Bounds().Height(), 0.026f + 0.028f + 0.005f, 1e-5);
}

TEST_F(DesktopTest, ChoosingAnEntryClosesAnUnpinnedMenuOnly) {
    g_chosen = 0;
    auto makeList = [] {
        auto list = std::make_unique<vek::ui::MenuList>("M");
        list->AddAction("Go", "help", [](const vek::ui::MenuChoice&) { ++g_chosen; });
        return list;
    };
    vek::ui::MenuWindow* m = desktop->OpenMenu(makeList(), -0.5f, 0.4f);
    Frames(1);
    Click(m->RowAt(0).rect.CentreX(), m->RowAt(0).rect.CentreY());
    EXPECT_EQ(g_chosen, 1);
    EXPECT_FALSE(m->IsOpen());
    Frames(2);
    vek::ui::MenuWindow* p = desktop->OpenMenu(makeList(), -0.5f, 0.4f);
    p->SetPinned(true);
    Frames(1);
    Click(p->RowAt(0).rect.CentreX(), p->RowAt(0).rect.CentreY());
    Click(p->RowAt(0).rect.CentreX(), p->RowAt(0).rect.CentreY());
    EXPECT_EQ(g_chosen, 3);
    EXPECT_TRUE(p->IsOpen());
}

// The platform sends Escape with its key code and its control character 27.
TEST_F(DesktopTest, EscapeKeyClosesTheFrontFloatingWindowOnly) {
    auto list = [] { return std::make_unique<vek::ui::MenuList>("M"); };
    vek::ui::MenuWindow* back = desktop->OpenMenu(list(), -0.5f, 0.4f);
    vek::ui::MenuWindow* front = desktop->OpenMenu(list(), 0.0f, 0.4f);
    Frames(1);
    vek::KeyEvent k;
    k.keyCode = vek::kKeyEscape;
    k.character = 27;
    desktop->OnKey(k);
    EXPECT_FALSE(front->IsOpen());
    EXPECT_TRUE(back->IsOpen());
}

// ---- pointer history

TEST(MouseSurface, HistoryTakesOneSampleForEachHundredthOfASecondAndWraps) {
    cVek_MouseSurface m;
    m.OnMove(0.1f, 0.2f, 0);
    for (int i = 0; i < 2; ++i)
        m.BeginFrame(0.004);
    EXPECT_EQ(m.HistoryIndex(), 0);
    m.BeginFrame(0.004); // 0.012 s: the index moves and the time restarts
    EXPECT_EQ(m.HistoryIndex(), 1);
    m.BeginFrame(0.05); // a long frame still adds one sample
    EXPECT_EQ(m.HistoryIndex(), 2);
    m.OnMove(0.3f, 0.4f, 0);
    for (int i = 0; i < 98; ++i)
        m.BeginFrame(0.02);
    EXPECT_EQ(m.HistoryIndex(), 0);
    EXPECT_FLOAT_EQ(m.History(0).x, 0.3f);
    EXPECT_FLOAT_EQ(m.History(99).x, 0.1f); // the oldest sample, from before the move
}

} // namespace
