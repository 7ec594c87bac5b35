// Base of every window: placement and size in desktop units, size scale, title, fade, state, the
// body and pointer callbacks, and the standard chrome of floating windows (title bar that drags
// and clicks, pin box and size toggle in the lower left-hand corner, close button).
//
// Sizes of the chrome are desktop units at scale 1 and grow with the window's scale. A window
// belongs to one desktop, which owns it, keeps the front-to-back order and runs it every frame.
// States: open -> closing (fading out) -> closed (destroyed by the desktop at its next pass).
#pragma once

#include "platform/InputEvents.h"
#include "ui/UiRect.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class cVek_Desktop;
class cVek_InterfaceGadget;
class cVek_SimpleButton;
class cVek_Window;

// Draws and handles the window's content for this frame (the body area is cVek_Window::Inner()).
using WindowBody = void (*)(cVek_Window& window, void* user);
// Receives the pointer events over the window (x, y in desktop units) as they arrive, before any
// frame; a press captures every event until all buttons are released.
using WindowPointer = void (*)(cVek_Window& window, const vek::PointerEvent& event, float x, float y,
                               void* user);

class cVek_Window {
  public:
    enum class State : uint8_t { kOpen, kClosing, kClosed };
    // Windows are ordered within layers: the back (root, background), the panels (the picture
    // window and the panel strip) and the floating windows (dialogs, menus, messages).
    enum Layer : uint8_t { kLayerBack = 0, kLayerPanels = 1, kLayerFloating = 2 };

    static constexpr float kMinScale = 0.0000001f;
    // Framework button identifiers.
    static constexpr int kIdClose = 100000000;
    static constexpr int kIdSizeToggle = 100000001;
    static constexpr int kIdApply = 100000002;
    static constexpr int kIdPin = 100000003;

    // Chrome at scale 1.
    static constexpr float kTitleHeight = 0.026f;
    static constexpr float kFooterHeight = 0.028f;
    static constexpr float kPadding = 0.005f;

    explicit cVek_Window(std::string_view title = {});

    // ---- virtual operations, in slot order
    virtual ~cVek_Window();
    // A value at or below 0 is stored as kMinScale, so nothing divides by zero.
    virtual void SetScale(float scale);
    // Plain windows take the look's window scale (1.0 without a look).
    virtual void ApplyDefaultScale();

    // ---- placement (the desktop keeps the window inside the screen)
    void Place(float cx, float cy);
    void SetSize(float w, float h);
    void SetPlacement(float cx, float cy, float w, float h);
    // Places the window's top left corner at (x, y), e.g. a menu at the pointer.
    void PlaceTopLeft(float x, float y);
    vek::ui::Rect Bounds() const { return vek::ui::Rect::Centred(cx_, cy_, w_, h_); }
    vek::ui::Rect TitleRect() const;
    vek::ui::Rect FooterRect() const;
    // The body area: inside the padding, below the title and above the footer.
    virtual vek::ui::Rect Inner() const;
    float Scale() const { return scale_; }
    float CentreX() const { return cx_; }
    float CentreY() const { return cy_; }

    // ---- content
    void SetTitle(std::string_view title) { title_.assign(title.data(), title.size()); }
    const std::string& Title() const { return title_; }
    void SetBody(WindowBody body, void* user) {
        body_ = body;
        bodyUser_ = user;
    }
    void SetPointerHandler(WindowPointer handler, void* user) {
        pointer_ = handler;
        pointerUser_ = user;
    }
    bool HasPointerHandler() const { return pointer_ != nullptr; }
    void DeliverPointer(const vek::PointerEvent& e, float x, float y) {
        if (pointer_) pointer_(*this, e, x, y, pointerUser_);
    }

    // ---- state
    void Close();
    State GetState() const { return state_; }
    bool IsClosing() const { return state_ == State::kClosing; }
    bool IsOpen() const { return state_ == State::kOpen; }
    void BringToFront();
    void ToggleSize() { SetMinimised(!minimised_); }
    void SetMinimised(bool on);
    bool Minimised() const { return minimised_; }
    void SetPinned(bool on) { pinned_ = on; }
    bool Pinned() const { return pinned_; }
    // A window opened from a menu or a button closes after one use unless it is pinned.
    void SetOneShot(bool on) { oneShot_ = on; }
    bool OneShot() const { return oneShot_; }
    // Reports one use: closes a one-shot window that is not pinned.
    void Used();
    void Show(bool on) { visible_ = on; }
    bool Visible() const { return visible_; }
    Layer GetLayer() const { return layer_; }
    float Fade() const { return fade_; }

    // The look the window draws with: its own clone when it has one, else the desktop's.
    cVek_InterfaceGadget* Look() const;
    // Gives the window its own copy of the desktop's look (to recolour it alone).
    void OwnLook();
    cVek_Desktop* Desktop() const { return desktop_; }
    // The window below / above this one in the desktop's order (null at the ends).
    cVek_Window* Previous() const;
    cVek_Window* Next() const;

    // Chrome switches (a plain window has none of them).
    bool hasFrame = false;
    bool hasTitle = false;
    bool hasFooter = false;     // pin box, size toggle and close button
    bool canPin = true;         // footer shows the pin box
    bool canResize = true;      // footer shows the size toggle
    bool closeIsCancel = false; // the close button reads "Cancel"
    uint32_t frameColour = 0;   // panel windows: face colour (0 = the look's)

    // Per-frame button ordinals (buttons that share an identifier stay distinct).
    int NextOrdinal(int id);

    // Recomputes the size from the content (dialogs, menus, messages); nothing in the base.
    virtual void Layout();

  protected:
    friend class cVek_Desktop;

    // Called by the desktop once per frame.
    void RunFrame(double dt);
    virtual void DrawFrame();
    // The body callback; panel windows run their panels, menus their rows.
    virtual void RunBody();
    // Footer controls; the base draws pin box, size toggle and close button as switched on.
    virtual void RunFooter();
    // Help texts of the close button and the pin box.
    virtual std::string_view CloseHelp() const;
    virtual std::string_view PinHelp() const;
    // More footer buttons (a dialog's "Apply") in the room between the left controls and "Close".
    virtual void RunFooterExtras(const vek::ui::Rect& room);
    // A check box control with its help; true on the frame it was clicked.
    bool CheckBoxControl(int id, const vek::ui::Rect& box, bool checked, std::string_view help);
    void SetHeightKeepingTop(float h);
    // The scale floor without marking the scale as chosen by the owner.
    void StoreScale(float scale);

    float cx_ = 0, cy_ = 0, w_ = 0.3f, h_ = 0.2f;
    float scale_ = 1.0f;
    Layer layer_ = kLayerBack;

  private:
    void HandleTitle();

    struct Drag {
        float startX = 0, startY = 0;   // pointer at the press
        float windowX = 0, windowY = 0; // window centre at the press
        bool moved = false;
        bool wasSelected = false;
    };
    Drag drag_;
    bool scaleExplicit_ = false;

    std::string title_;
    WindowBody body_ = nullptr;
    void* bodyUser_ = nullptr;
    WindowPointer pointer_ = nullptr;
    void* pointerUser_ = nullptr;
    cVek_Desktop* desktop_ = nullptr;
    std::unique_ptr<cVek_InterfaceGadget> ownLook_;
    State state_ = State::kOpen;
    float fade_ = 0.0f;
    bool minimised_ = false;
    bool pinned_ = false;
    bool oneShot_ = false;
    bool visible_ = true;
    struct Ordinal {
        int id;
        int count;
    };
    std::vector<Ordinal> ordinals_; // cleared every frame, capacity kept
};
