// The desktop: owns the windows and their front-to-back order, the selected window, the idle time
// with idle frame skipping, the deferred command slot, the pointer and key routing, the popup help
// and the closing sequence. One desktop per program; its frame runs once per frame.
//
// Sections: settings and creation; windows; frame; input; interaction state of the immediate
// buttons; deferred command slot; closing; look and owned objects.
//
// Pointer routing: an event over a window with a pointer handler (the picture window) goes to that
// handler at once, and its press captures the pointer until every button is up; any other event
// becomes mouse-surface state that the immediate buttons read on the next frames. While something
// is active (a held button, a dragged window, a captured stroke) nothing else becomes hovered.
#pragma once

#include "platform/InputEvents.h"
#include "resources/cVek_SoundBank.h"
#include "ui/PopupHelp.h"
#include "ui/UiRect.h"
#include "ui/cVek_Keyboard.h"
#include "ui/cVek_MouseSurface.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

class cVek_Font;
class cVek_InterfaceGadget;
class cVek_InterfaceShape;
class cVek_SimpleButton;
class cVek_TextDisplay;
class cVek_Window;
class cVek_Window_Info;

namespace vek::ui {
class MenuList;
class MenuWindow;
} // namespace vek::ui

// A deferred command: called once to store itself (through cVek_Desktop::Defer) and again, from
// the desktop's frame, to do its work.
using CommandAction = void (*)(cVek_Window* window, intptr_t arg);

class cVek_Desktop {
  public:
    // ---- settings and creation
    struct Settings {
        // Runs once when the desktop closes, before its windows close.
        void (*closeHandler)() = nullptr;
        // Sees every key first; true consumes it. Unset: the built-in shortcut handler.
        bool (*keyHandler)(cVek_Desktop& desktop, const vek::KeyEvent& e) = nullptr;
        // The GL state of context creation is applied again at the start of each drawn frame
        // (floating-point exceptions masked first).
        bool reapplyGlState = true;
        bool clearDepth = true;
        // The lights of the shaded buttons are reset each drawn frame (the program's frame
        // function does it itself, so it is off by default).
        bool setLights = false;
        bool idleSkipping = true;
        double idleThreshold = 0.6; // seconds without change after which frames are not drawn
        // Replacements for the platform's calls (tests, tools); unset: the platform's own.
        void (*glSetup)() = nullptr;
        void (*lights)() = nullptr;
        void (*swapBuffers)() = nullptr;
        void (*quitRequest)() = nullptr;
        // The font of the desktop's own text display and of the fallback look (borrowed).
        const cVek_Font* textFont = nullptr;
        const cVek_Font* iconFont = nullptr;
    };

    explicit cVek_Desktop(const Settings& settings);
    ~cVek_Desktop();
    cVek_Desktop(const cVek_Desktop&) = delete;
    cVek_Desktop& operator=(const cVek_Desktop&) = delete;

    // The desktop constructed last and not yet destroyed (the program's one).
    static cVek_Desktop* Current();

    // ---- windows
    // Takes ownership; the window joins the top of its layer, gets the default scale of its kind
    // and is kept on screen. Returns the window.
    cVek_Window* AddWindow(std::unique_ptr<cVek_Window> window);
    template <class W> W* Add(std::unique_ptr<W> window) {
        W* raw = window.get();
        AddWindow(std::unique_ptr<cVek_Window>(window.release()));
        return raw;
    }
    int WindowCount() const { return int(windows_.size()); }
    // Bottom (0) to top.
    cVek_Window* WindowAt(int index) const { return windows_[size_t(index)].get(); }
    int IndexOf(const cVek_Window* window) const;
    // Topmost visible, open window whose rectangle shrunk by 0.0001 holds the point.
    cVek_Window* WindowUnder(float x, float y) const;
    cVek_Window* SelectedWindow() const { return selected_; }
    void Select(cVek_Window* window);
    // Moves the window to the top of its layer.
    void BringToFront(cVek_Window* window);
    // Moves the window so that it lies inside the screen.
    void KeepOnScreen(cVek_Window& window) const;
    // The first window, the root window covering the screen (made by set-up).
    cVek_Window* Root() const { return windows_.empty() ? nullptr : windows_.front().get(); }

    // ---- frame
    void Frame(double dt);
    void SetGlReady(bool on) { glReady_ = on; }
    bool GlReady() const { return glReady_; }
    // Runs frames without a GL context and without drawing (tests, tools).
    void SetHeadless(bool on) { headless_ = on; }
    double IdleTime() const { return idleTime_; }
    // Anything that changes what is on screen without the redraw counter restarts the idle time.
    void ResetIdle() { idleTime_ = 0.0; }
    // True when the last frame ran its windows (it was not skipped as idle).
    bool RanLastFrame() const { return ranLastFrame_; }
    // Asks for another frame soon (animations, timers).
    void KeepAnimating() { animating_ = true; }
    double FrameTime() const { return frameDt_; }

    // ---- input
    // Installs OnPointer and OnKey into the platform's input dispatcher.
    void InstallInputHandlers();
    void OnPointer(const vek::PointerEvent& e);
    void OnKey(const vek::KeyEvent& e);
    // Pointer in desktop units from a client pixel position.
    static void ToDesktop(uint32_t px, uint32_t py, float* x, float* y);

    // ---- interaction state of the immediate buttons
    struct ItemState {
        bool hovered = false;
        bool held = false;    // active and under the pointer
        bool pressed = false; // clicked: released over the item that took the press
        uint8_t button = 0;   // pointer button of the click
        uint16_t modifiers = 0;
        uint64_t key = 0;
        int ordinal = 0; // of the identifier within its window this frame
    };
    // Shared press / hold / release behaviour of an item in `window`. Truth table:
    //   nothing active, pointer over, press       -> item becomes active (held)
    //   active, release over the item             -> pressed (clicked), nothing active
    //   active, release elsewhere                 -> cancelled, nothing active
    //   active, pointer leaves / comes back       -> held off / on, stays active
    //   another item active                       -> not hovered
    // A disabled item takes the press (nothing behind it reacts) but never becomes active.
    ItemState Behaviour(cVek_Window& window, const vek::ui::Rect& r, int id, bool enabled);
    static uint64_t ItemKey(const cVek_Window* window, int id, int ordinal);
    // Claims the press of this frame for a custom item (window title, menu row); false when it is
    // gone or there is none.
    bool ClaimPress();
    bool PressClaimed() const { return pressClaimed_; }
    uint64_t ActiveItem() const { return activeKey_; }
    void SetActiveItem(uint64_t key) {
        activeKey_ = key;
        activeTouched_ = true;
    }
    void TouchActive() { activeTouched_ = true; }
    cVek_Window* HoverWindow() const { return hoverWindow_; }
    // Whether the window under this frame's press was already the selected one before the press.
    bool SelectedAtPress() const { return selectedAtPress_; }
    // Per-item animation value 0..1, kept between frames.
    float& Animation(uint64_t key);

    // ---- deferred command slot
    // Called at the top of an action: true = stored (return now), false = the desktop is running
    // exactly this stored command (do the work).
    bool Defer(CommandAction action, cVek_Window* window, intptr_t arg);
    bool CommandPending() const { return slot_.state == kSlotPending; }
    bool CommandRunning() const { return slot_.state == kSlotRunning; }
    // The action that receives shortcut commands (317 undo, 318 redo, 319-322 clipboard).
    void SetShortcutAction(CommandAction action) { shortcutAction_ = action; }
    // The built-in shortcut handler: Ctrl (without Alt) with 'C'..'z'. True when consumed.
    bool HandleShortcut(const vek::KeyEvent& e);
    // Command number of a shortcut key, 0 for none.
    static int ShortcutCommand(const vek::KeyEvent& e);

    // ---- closing
    // Runs the close handler once, asks every window to close; the quit request follows when no
    // window is still closing.
    void Close();
    bool Closing() const { return closing_; }
    bool QuitRequested() const { return quitRequested_; }

    // ---- look and owned objects
    void SetLook(cVek_InterfaceGadget* look) { look_ = look; }
    cVek_InterfaceGadget* Look() const;
    void SetFrameShape(cVek_InterfaceShape* shape) { shape_ = shape; }
    cVek_InterfaceShape* FrameShape() const;
    // The template of the framework's own window controls.
    cVek_SimpleButton& ControlButton() { return *controlButton_; }
    cVek_MouseSurface& Mouse() { return mouse_; }
    cVek_Keyboard& Keyboard() { return keyboard_; }
    cVek_SoundBank& SoundBank() { return *soundBank_; }
    vek::ui::PopupHelp& Popup() { return popup_; }
    cVek_TextDisplay& Text() { return *text_; }
    // Plays the click (sound 2) or the open tick (sound 1) when the look has sounds on.
    void PlayClick();
    void PlayOpen();

    // ---- convenience windows
    // A menu window for `list` with its top left corner at (x, y).
    vek::ui::MenuWindow* OpenMenu(std::unique_ptr<vek::ui::MenuList> list, float x, float y);
    // A message window with a title and a text block.
    cVek_Window_Info* ShowInfo(std::string_view title, std::string_view text);

  private:
    enum SlotState : uint8_t { kSlotEmpty, kSlotPending, kSlotRunning };
    struct CommandSlot {
        CommandAction action = nullptr;
        cVek_Window* window = nullptr;
        intptr_t arg = 0;
        SlotState state = kSlotEmpty;
    };

    void DestroyClosedWindows();
    void ForgetWindow(const cVek_Window* window);
    void RunCommandSlot();
    static void PointerTrampoline(const vek::PointerEvent& e);
    static void KeyTrampoline(const vek::KeyEvent& e);

    Settings settings_;
    std::vector<std::unique_ptr<cVek_Window>> windows_; // bottom to top
    std::vector<cVek_Window*> frameOrder_;              // snapshot the frame iterates
    cVek_Window* selected_ = nullptr;
    cVek_Window* hoverWindow_ = nullptr;
    cVek_Window* pointerCapture_ = nullptr;
    bool glReady_ = false;
    bool headless_ = false;
    double idleTime_ = 0.0;
    uint32_t seenRedraw_ = 0;
    double seenAspect_ = 0.0;
    bool ranLastFrame_ = false;
    bool animating_ = false;
    double frameDt_ = 0.0;

    uint64_t activeKey_ = 0;
    uint8_t activeButton_ = 0;
    uint16_t activeModifiers_ = 0;
    bool selectedAtPress_ = false;
    bool activeTouched_ = false;
    bool pressClaimed_ = false;
    std::unordered_map<uint64_t, float> animations_;

    CommandSlot slot_;
    bool slotConsumed_ = false; // the running command has been handed its go-ahead
    CommandAction shortcutAction_ = nullptr;

    bool closing_ = false;
    bool closeHandlerRan_ = false;
    bool quitRequested_ = false;

    cVek_InterfaceGadget* look_ = nullptr;
    cVek_InterfaceShape* shape_ = nullptr;
    std::unique_ptr<cVek_InterfaceGadget> fallbackLook_;
    std::unique_ptr<cVek_InterfaceShape> fallbackShape_;
    std::unique_ptr<cVek_SimpleButton> controlButton_;
    cVek_MouseSurface mouse_;
    cVek_Keyboard keyboard_;
    std::unique_ptr<cVek_SoundBank> soundBank_;
    vek::ui::PopupHelp popup_;
    std::unique_ptr<cVek_TextDisplay> text_;
};
