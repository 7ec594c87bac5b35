// The desktop's frame, input routing, immediate-item behaviour, command slot and closing.
//
// Sections: creation; windows; frame; input; items; command slot; closing; owned objects.
#include "ui/cVek_Desktop.h"

#include "platform/DesktopView.h"
#include "platform/InputDispatcher.h"
#include "platform/Window.h"
#include "shell/Shell.h"
#include "shell/ShellState.h"
#include "ui/GlDraw.h"
#include "ui/MenuWindow.h"
#include "ui/cVek_InterfaceGadget.h"
#include "ui/cVek_InterfaceShape.h"
#include "ui/cVek_SimpleButton_2d.h"
#include "ui/cVek_TextDisplay_SpriteQuad.h"
#include "ui/cVek_Window.h"
#include "ui/cVek_Window_Info.h"

#include <GL/gl.h>

#include <algorithm>
#include <cfenv>

namespace {

cVek_Desktop* g_current = nullptr;
// Windows are hit-tested shrunk by this much, so touching edges never both claim a point.
constexpr float kHitShrink = 0.0001f;
constexpr size_t kMaxAnimations = 4096;

} // namespace

// ---- creation

cVek_Desktop::cVek_Desktop(const Settings& settings) : settings_(settings) {
    fallbackLook_ = std::make_unique<cVek_InterfaceGadget>(settings.textFont, settings.iconFont);
    fallbackShape_ = std::make_unique<cVek_InterfaceShape>();
    controlButton_ = std::make_unique<cVek_SimpleButton_2d>();
    soundBank_ = std::make_unique<cVek_SoundBank>();
    text_ = std::make_unique<cVek_TextDisplay_SpriteQuad>(settings.textFont, 0.016f, 0x000000);
    seenRedraw_ = vek::shell::RedrawCounter();
    g_current = this;
}

cVek_Desktop::~cVek_Desktop() {
    if (g_current == this) g_current = nullptr;
    // Windows go first: their destructors may still look at the desktop.
    while (!windows_.empty())
        windows_.pop_back();
}

cVek_Desktop* cVek_Desktop::Current() {
    return g_current;
}

// ---- windows

cVek_Window* cVek_Desktop::AddWindow(std::unique_ptr<cVek_Window> window) {
    if (!window) return nullptr;
    cVek_Window* raw = window.get();
    raw->desktop_ = this;
    if (!raw->scaleExplicit_) raw->ApplyDefaultScale();
    // Top of its layer: after every window of the same or a lower layer.
    auto at = std::find_if(windows_.begin(), windows_.end(),
                           [&](const std::unique_ptr<cVek_Window>& w) { return w->layer_ > raw->layer_; });
    windows_.insert(at, std::move(window));
    KeepOnScreen(*raw);
    if (raw->layer_ == cVek_Window::kLayerFloating) selected_ = raw;
    vek::shell::RedrawCounter()++;
    return raw;
}

int cVek_Desktop::IndexOf(const cVek_Window* window) const {
    for (size_t i = 0; i < windows_.size(); ++i)
        if (windows_[i].get() == window) return int(i);
    return -1;
}

cVek_Window* cVek_Desktop::WindowUnder(float x, float y) const {
    for (size_t i = windows_.size(); i-- > 0;) {
        cVek_Window* w = windows_[i].get();
        if (!w->Visible() || !w->IsOpen()) continue;
        if (w->Bounds().Shrunk(kHitShrink).Contains(x, y)) return w;
    }
    return nullptr;
}

void cVek_Desktop::Select(cVek_Window* window) {
    selected_ = window;
}

void cVek_Desktop::BringToFront(cVek_Window* window) {
    const int i = IndexOf(window);
    if (i < 0) return;
    std::unique_ptr<cVek_Window> held = std::move(windows_[size_t(i)]);
    windows_.erase(windows_.begin() + i);
    auto at = std::find_if(windows_.begin(), windows_.end(),
                           [&](const std::unique_ptr<cVek_Window>& w) { return w->layer_ > held->layer_; });
    windows_.insert(at, std::move(held));
    vek::shell::RedrawCounter()++;
}

void cVek_Desktop::KeepOnScreen(cVek_Window& w) const {
    const float half = float(vek::shell::ScreenAspect()) * 0.5f;
    const float hw = w.w_ * 0.5f, hh = w.h_ * 0.5f;
    // A window larger than the screen keeps its left and top edges on screen.
    float cx = std::max(w.cx_, -half + hw);
    cx = std::min(cx, half - hw);
    if (hw * 2.0f > half * 2.0f) cx = -half + hw;
    float cy = std::min(w.cy_, 0.5f - hh);
    cy = std::max(cy, -0.5f + hh);
    if (hh * 2.0f > 1.0f) cy = 0.5f - hh;
    w.cx_ = cx;
    w.cy_ = cy;
}

void cVek_Desktop::DestroyClosedWindows() {
    for (size_t i = 0; i < windows_.size();) {
        if (windows_[i]->GetState() == cVek_Window::State::kClosed) {
            ForgetWindow(windows_[i].get());
            windows_.erase(windows_.begin() + long(i));
            vek::shell::RedrawCounter()++;
        } else {
            ++i;
        }
    }
}

void cVek_Desktop::ForgetWindow(const cVek_Window* window) {
    if (selected_ == window) {
        selected_ = nullptr;
        // The next floating window from the top becomes the selected one.
        for (size_t i = windows_.size(); i-- > 0;) {
            cVek_Window* w = windows_[i].get();
            if (w != window && w->layer_ == cVek_Window::kLayerFloating && w->IsOpen()) {
                selected_ = w;
                break;
            }
        }
    }
    if (hoverWindow_ == window) hoverWindow_ = nullptr;
    if (pointerCapture_ == window) pointerCapture_ = nullptr;
    if (slot_.window == window) slot_.window = nullptr;
}

// ---- frame

void cVek_Desktop::Frame(double dt) {
    frameDt_ = dt;
    const bool canDraw = glReady_ && !headless_;
    if (closing_) {
        idleTime_ = 0.0;
        // Without frames that draw, fading cannot finish: closing windows close at once.
        if (!canDraw && !headless_)
            for (auto& w : windows_)
                if (w->IsClosing()) w->state_ = cVek_Window::State::kClosed;
        DestroyClosedWindows();
        const bool stillClosing =
            std::any_of(windows_.begin(), windows_.end(),
                        [](const std::unique_ptr<cVek_Window>& w) { return w->IsClosing(); });
        if (windows_.empty() || !stillClosing) {
            if (!quitRequested_) {
                quitRequested_ = true;
                if (settings_.quitRequest)
                    settings_.quitRequest();
                else
                    vek::shell::RequestQuit();
            }
            ranLastFrame_ = false;
            return;
        }
    }
    if (!glReady_ && !headless_) {
        ranLastFrame_ = false;
        return;
    }

    // Idle skipping: nothing changed for a while, so the last frame is still on screen.
    idleTime_ += dt;
    const uint32_t redraw = vek::shell::RedrawCounter();
    if (redraw != seenRedraw_) {
        seenRedraw_ = redraw;
        idleTime_ = 0.0;
    }
    if (animating_ || mouse_.Pending() > 0 || slot_.state == kSlotPending) idleTime_ = 0.0;
    animating_ = false;
    if (settings_.idleSkipping && idleTime_ > settings_.idleThreshold) {
        ranLastFrame_ = false;
        return;
    }
    ranLastFrame_ = true;

    vek::ui::gl::SetEnabled(canDraw);
    if (canDraw) {
        fedisableexcept(FE_ALL_EXCEPT);
        if (settings_.reapplyGlState) {
            if (settings_.glSetup)
                settings_.glSetup();
            else
                vek::platform::ApplyInitialGlState();
        }
        if (settings_.setLights) {
            if (settings_.lights)
                settings_.lights();
            else
                vek::platform::ResetLights();
        }
        if (settings_.clearDepth) glClear(GL_DEPTH_BUFFER_BIT);
    }

    // A new screen shape: every window is moved back inside the screen.
    const double aspect = vek::shell::ScreenAspect();
    if (aspect != seenAspect_) {
        seenAspect_ = aspect;
        for (auto& w : windows_)
            KeepOnScreen(*w);
    }

    RunCommandSlot();

    mouse_.BeginFrame(dt);
    pressClaimed_ = false;
    activeTouched_ = false;
    DestroyClosedWindows();
    // A captured stroke keeps the interface cold, except for transitions queued before it began.
    const bool transition = mouse_.Pressed() || mouse_.Released();
    hoverWindow_ = pointerCapture_ && !transition ? nullptr : WindowUnder(mouse_.X(), mouse_.Y());
    if (hoverWindow_ == pointerCapture_) hoverWindow_ = nullptr;
    mouse_.hoverTarget = hoverWindow_;
    // A press on a floating window brings it to the front and selects it; the press still
    // reaches its buttons.
    if (mouse_.Pressed()) selectedAtPress_ = hoverWindow_ && selected_ == hoverWindow_;
    if (mouse_.Pressed() && hoverWindow_ && activeKey_ == 0 &&
        hoverWindow_->layer_ == cVek_Window::kLayerFloating) {
        BringToFront(hoverWindow_);
        selected_ = hoverWindow_;
    }

    frameOrder_.clear();
    for (auto& w : windows_)
        frameOrder_.push_back(w.get());
    for (cVek_Window* w : frameOrder_)
        if (w->GetState() != cVek_Window::State::kClosed) w->RunFrame(dt);

    popup_.Frame(dt);
    if (popup_.Waiting()) animating_ = true;
    if (canDraw) {
        cVek_InterfaceGadget* look = Look();
        popup_.Draw(look->HelpText(), look->colours, look->helpTextSize, float(vek::shell::ScreenAspect()));
    }

    // An active item that was not run this frame (its window closed, its panel changed) lets go.
    if (activeKey_ != 0 && !activeTouched_) activeKey_ = 0;
    mouse_.EndFrame();

    if (animations_.size() > kMaxAnimations) animations_.clear();
    if (canDraw) {
        vek::ui::gl::SetEnabled(false);
        if (settings_.swapBuffers)
            settings_.swapBuffers();
        else
            vek::platform::SwapBuffers();
    }
}

// ---- input

void cVek_Desktop::ToDesktop(uint32_t px, uint32_t py, float* x, float* y) {
    double ux = 0.0, uy = 0.0;
    // The pixel's centre.
    vek::shell::PixelToDesktop(double(px) + 0.5, double(py) + 0.5, &ux, &uy);
    *x = float(ux);
    *y = float(uy);
}

void cVek_Desktop::PointerTrampoline(const vek::PointerEvent& e) {
    if (g_current) g_current->OnPointer(e);
}

void cVek_Desktop::KeyTrampoline(const vek::KeyEvent& e) {
    if (g_current) g_current->OnKey(e);
}

void cVek_Desktop::InstallInputHandlers() {
    vek::InputDispatcher& d = vek::InputDispatcher::Get();
    for (uint8_t type :
         {vek::kPointerPress, vek::kPointerRelease, vek::kPointerMove, vek::kPointerDrag, vek::kPointerWheel})
        d.Install(type, PointerTrampoline, 1);
    d.SetKeyHandler(KeyTrampoline);
}

void cVek_Desktop::OnPointer(const vek::PointerEvent& e) {
    float x = 0.0f, y = 0.0f;
    ToDesktop(e.x, e.y, &x, &y);
    idleTime_ = 0.0;
    if (e.type != vek::kPointerWheel) mouse_.OnMove(x, y, e.modifiers);

    // A captured stroke keeps every event until all buttons are up.
    if (pointerCapture_) {
        cVek_Window* w = pointerCapture_;
        if (e.type == vek::kPointerRelease &&
            !(e.modifiers & uint16_t(vek::kModButtons & ~vek::ButtonBit(e.button))))
            pointerCapture_ = nullptr;
        w->DeliverPointer(e, x, y);
        return;
    }
    // While an interface item is active (a held button, a dragged window) or a press for the
    // interface still waits for its frame, the pointer is the interface's.
    cVek_Window* under = activeKey_ == 0 && !mouse_.PressPending() ? WindowUnder(x, y) : nullptr;
    if (under && under->HasPointerHandler()) {
        if (e.type == vek::kPointerPress) pointerCapture_ = under;
        under->DeliverPointer(e, x, y);
        return;
    }
    if (e.type == vek::kPointerPress || e.type == vek::kPointerRelease) {
        cVek_MouseSurface::Transition t;
        t.press = e.type == vek::kPointerPress;
        t.button = e.button;
        t.modifiers = e.modifiers;
        t.x = x;
        t.y = y;
        mouse_.QueueTransition(t);
    } else if (e.type == vek::kPointerWheel) {
        mouse_.OnWheel(e.wheel);
    }
}

void cVek_Desktop::OnKey(const vek::KeyEvent& e) {
    idleTime_ = 0.0;
    const bool consumed = settings_.keyHandler ? settings_.keyHandler(*this, e) : HandleShortcut(e);
    if (consumed) return;
    // Escape (key code 1; the platform sends its character 27 with it) closes the front floating
    // window.
    if (e.keyCode == vek::kKeyEscape) {
        for (size_t i = windows_.size(); i-- > 0;) {
            cVek_Window* w = windows_[i].get();
            if (w->layer_ == cVek_Window::kLayerFloating && w->IsOpen() && w->Visible()) {
                w->Close();
                return;
            }
        }
    }
    keyboard_.OnKey(e);
}

// ---- items

uint64_t cVek_Desktop::ItemKey(const cVek_Window* window, int id, int ordinal) {
    // FNV-1a over the three values; 0 is kept for "no item".
    uint64_t h = 1469598103934665603ull;
    auto mix = [&](uint64_t v) {
        for (int i = 0; i < 8; ++i) {
            h ^= (v >> (i * 8)) & 0xFF;
            h *= 1099511628211ull;
        }
    };
    mix(reinterpret_cast<uintptr_t>(window));
    mix(uint64_t(uint32_t(id)));
    mix(uint64_t(uint32_t(ordinal)));
    return h ? h : 1;
}

bool cVek_Desktop::ClaimPress() {
    if (!mouse_.Pressed() || pressClaimed_) return false;
    pressClaimed_ = true;
    return true;
}

cVek_Desktop::ItemState cVek_Desktop::Behaviour(cVek_Window& window, const vek::ui::Rect& r, int id,
                                                bool enabled) {
    ItemState s;
    s.ordinal = window.NextOrdinal(id);
    s.key = ItemKey(&window, id, s.ordinal);
    const bool inside = hoverWindow_ == &window && window.IsOpen() && r.Contains(mouse_.X(), mouse_.Y());
    if (activeKey_ == s.key) {
        activeTouched_ = true;
        s.hovered = inside;
        s.held = inside;
        if (mouse_.Released()) {
            if (inside && enabled) {
                s.pressed = true;
                s.button = activeButton_;
                s.modifiers = activeModifiers_;
            }
            activeKey_ = 0;
            s.held = false;
        }
    } else if (activeKey_ == 0 && inside) {
        s.hovered = true;
        if (mouse_.Pressed() && !pressClaimed_) {
            pressClaimed_ = true;
            if (enabled) {
                activeKey_ = s.key;
                activeTouched_ = true;
                activeButton_ = mouse_.Current().button;
                activeModifiers_ = mouse_.Current().modifiers;
                s.held = true;
            }
        }
    }
    return s;
}

float& cVek_Desktop::Animation(uint64_t key) {
    return animations_[key];
}

// ---- command slot

bool cVek_Desktop::Defer(CommandAction action, cVek_Window* window, intptr_t arg) {
    if (slot_.state == kSlotRunning && slot_.action == action && slot_.window == window && slot_.arg == arg &&
        !slotConsumed_) {
        slotConsumed_ = true;
        return false;
    }
    slot_.action = action;
    slot_.window = window;
    slot_.arg = arg;
    slot_.state = kSlotPending;
    idleTime_ = 0.0;
    return true;
}

void cVek_Desktop::RunCommandSlot() {
    if (slot_.state != kSlotPending || !slot_.action) return;
    slot_.state = kSlotRunning;
    slotConsumed_ = false;
    const CommandAction action = slot_.action;
    action(slot_.window, slot_.arg);
    // A command stored while this one ran stays pending for the next frame.
    if (slot_.state == kSlotRunning) slot_ = CommandSlot{};
    vek::shell::RedrawCounter()++;
}

int cVek_Desktop::ShortcutCommand(const vek::KeyEvent& e) {
    if (!(e.modifiers & vek::kModCtrl) || (e.modifiers & vek::kModAlt)) return 0;
    const uint8_t c = e.character;
    if (c < 'C' || c > 'z') return 0;
    const bool shift = (e.modifiers & vek::kModShift) != 0;
    switch (c | 0x20) { // letters to lower case
    case 'z':
        return shift ? 318 : 317;
    case 'x':
        return 319;
    case 'c':
        return shift ? 322 : 320;
    case 'v':
        return 321;
    default:
        return 0;
    }
}

bool cVek_Desktop::HandleShortcut(const vek::KeyEvent& e) {
    const int command = ShortcutCommand(e);
    if (command == 0) return false;
    if (CommandRunning()) return true; // swallowed while a stored command runs
    if (shortcutAction_) Defer(shortcutAction_, nullptr, command);
    return true;
}

// ---- closing

void cVek_Desktop::Close() {
    if (!closeHandlerRan_) {
        closeHandlerRan_ = true;
        if (settings_.closeHandler) settings_.closeHandler();
    }
    closing_ = true;
    for (auto& w : windows_)
        w->Close();
    // Without frames (no GL, or the program inactive) the closing sequence finishes here.
    if (!glReady_ && !headless_) Frame(0.0);
}

// ---- owned objects

cVek_InterfaceGadget* cVek_Desktop::Look() const {
    return look_ ? look_ : fallbackLook_.get();
}
cVek_InterfaceShape* cVek_Desktop::FrameShape() const {
    return shape_ ? shape_ : fallbackShape_.get();
}

void cVek_Desktop::PlayClick() {
    if (Look()->sounds) soundBank_->Play(2);
}

void cVek_Desktop::PlayOpen() {
    if (Look()->sounds) soundBank_->Play(1);
}

vek::ui::MenuWindow* cVek_Desktop::OpenMenu(std::unique_ptr<vek::ui::MenuList> list, float x, float y) {
    if (!list) return nullptr;
    auto w = std::make_unique<vek::ui::MenuWindow>(std::move(list));
    vek::ui::MenuWindow* raw = Add(std::move(w));
    raw->PlaceTopLeft(x, y);
    PlayOpen();
    return raw;
}

cVek_Window_Info* cVek_Desktop::ShowInfo(std::string_view title, std::string_view text) {
    auto w = std::make_unique<cVek_Window_Info>(title, text);
    cVek_Window_Info* raw = Add(std::move(w));
    raw->Layout();
    raw->Place(0.0f, 0.0f);
    PlayOpen();
    return raw;
}
