// Immediate buttons. A panel calls a button operation once per frame per button; the call works
// out the button's identity (window, identifier, ordinal), places it (given centre or the
// template's position), bails out when it lies outside its window, runs the desktop's shared
// hover / hold / click behaviour, offers its help to the popup, draws, and returns true on the
// frame it was clicked (after calling the callback). Only drawing differs between the variants.
//
// The object is a template: size, caption size and colour, face colours and the caption display
// stay set until changed; Next* flags apply to the next call only.
#pragma once

#include "ui/UiRect.h"

#include <cstdint>
#include <memory>
#include <string_view>

class cVek_Window;
class cVek_TextDisplay;
class cVek_InterfaceGadget;

// Called when the button is clicked; the click's pointer button and modifiers are in
// cVek_SimpleButton::LastClick().
using ButtonCallback = void (*)(cVek_Window* window, int id, void* arg);

class cVek_SimpleButton {
  public:
    struct Click {
        uint8_t button = 0; // 1 left, 2 right, 3 middle
        uint16_t modifiers = 0;
        int id = 0;
    };
    // What a drawing variant gets.
    struct DrawState {
        vek::ui::Rect rect;
        std::string_view caption;
        float hover = 0; // animated 0..1
        float press = 0; // animated 0..1 (1 while held)
        bool held = false;
        bool selected = false;
        bool enabled = true;
        bool captionOnly = false; // a label in the button's place: no face
        float fade = 1;
        const cVek_InterfaceGadget* look = nullptr;
    };

    cVek_SimpleButton();

    // ---- virtual operations, in slot order
    virtual ~cVek_SimpleButton();
    virtual std::unique_ptr<cVek_SimpleButton> Clone() const;
    // Face, caption and state; the base draws the caption only.
    virtual void Draw(const DrawState& s);

    // ---- button operations
    bool Do(cVek_Window& window, float x, float y, std::string_view caption, std::string_view help, int id,
            ButtonCallback callback = nullptr, void* arg = nullptr);
    // At the template's position.
    bool Do(cVek_Window& window, std::string_view caption, std::string_view help, int id,
            ButtonCallback callback = nullptr, void* arg = nullptr);
    // A caption in the button's place, with help but no behaviour.
    void CaptionOnly(cVek_Window& window, std::string_view caption, std::string_view help = {});
    // Keeps the place empty (draws a faint empty face).
    void Placeholder(cVek_Window& window);
    // Pointer button and modifiers of the last click of any button.
    static const Click& LastClick();

    // ---- template setters
    void SetPosition(float x, float y) {
        x_ = x;
        y_ = y;
    }
    // depth < 0: derived from the height (a quarter of it), limited by the maximum depth.
    void SetSize(float w, float h, float depth = -1.0f);
    void SetMaxDepth(float d) { maxDepth_ = d; }
    void SetCaptionSize(float factorOfHeight) { captionFactor_ = factorOfHeight; }
    // Caption colour and fade; colour 0xFFFFFFFF (the default) takes the look's caption colour.
    void SetCaptionColour(uint32_t rgb, float fade = 1.0f) {
        captionColour_ = rgb;
        captionFade_ = fade;
    }
    // Face colours for the normal, hover and pressed states (e.g. a colour swatch).
    void SetFaceColours(uint32_t normal, uint32_t hover, uint32_t pressed);
    // Back to the look's face colours.
    void UseLookColours() { ownFace_ = false; }
    // The display the caption is drawn with (cloned); null = the look's caption display.
    void SetCaptionDisplay(const cVek_TextDisplay* display);
    // Extra help sizing: the popup text at 0.35 of the button's height.
    void SetRelativeHelp(bool on) { relativeHelp_ = on; }

    void NextSelected(bool on = true) { nextSelected_ = on; }
    void NextEnabled(bool on) { nextEnabled_ = on; }
    // The next button has behaviour and help but draws nothing (an invisible hit area).
    void NextInvisible() { nextInvisible_ = true; }

    float X() const { return x_; }
    float Y() const { return y_; }
    float Width() const { return w_; }
    float Height() const { return h_; }
    float Depth() const { return depth_; }

  protected:
    cVek_SimpleButton(const cVek_SimpleButton& other);
    cVek_SimpleButton& operator=(const cVek_SimpleButton&) = delete;

    // Shared caption drawing: the display at caption size, shrunk to fit inside `box`.
    void DrawCaption(const DrawState& s, const vek::ui::Rect& box, float z, bool disabled);
    // Face colour of a state, from the template or the look.
    uint32_t FaceColour(const DrawState& s) const;

    float x_ = 0, y_ = 0;
    float w_ = 0.05f, h_ = 0.025f, depth_ = 0.00625f, maxDepth_ = 0.012f;
    float captionFactor_ = 0.7f;
    uint32_t captionColour_ = 0xFFFFFFFFu;
    float captionFade_ = 1.0f;
    bool ownFace_ = false;
    uint32_t face_[3] = {0xFFFFFF, 0xA0FFFF, 0x7FB9C4};
    std::unique_ptr<cVek_TextDisplay> caption_;
    bool relativeHelp_ = false;

  private:
    void ResetNext();

    bool nextSelected_ = false;
    bool nextEnabled_ = true;
    bool nextInvisible_ = false;
};
