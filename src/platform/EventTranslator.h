// Turns SDL events into the program's pointer and key records and the shell's window
// notifications. Pure apart from its own small state (held buttons, modifier keys), so it is
// tested without a window. Platform-internal: only this layer sees SDL types.
//
// Keys: the key code comes from the key-code table; characters come from text input (UTF-8,
// converted to the font encoding). With Ctrl or the left Alt held the character is taken from the
// key itself, so Ctrl never produces a control character and shortcuts see plain letters; text
// input is then ignored to avoid a second event. Enter, Backspace, Escape and Tab give their
// control characters with the key code, and numeric-pad keys give their character in the same
// event (the text input that follows is swallowed).
#pragma once

#include "platform/InputEvents.h"

#include <SDL.h>

#include <cstdint>

namespace vek::platform {

class EventTranslator {
public:
    struct Sink {
        virtual ~Sink() = default;
        virtual void Pointer(const PointerEvent& event) = 0;
        virtual void Key(const KeyEvent& event) = 0;
        virtual void Activate(bool gained) = 0;
        virtual void Paint() = 0;
        virtual void Close() = 0;
    };

    // Wheel events outside the client area are dropped.
    void SetClientSize(uint32_t width, uint32_t height);
    // Forgets held buttons and takes the modifier keys' state (SDL_Keymod bits).
    void Reset(uint16_t sdlModifiers);

    // Translates one event stamped with the message time `time`.
    void Translate(const SDL_Event& event, double time, Sink& sink);

    // The key-code table (numeric-pad keys depend on Num Lock); 0 for keys outside it.
    static uint16_t KeyCode(SDL_Keycode key, uint16_t sdlModifiers);
    // -(delta / 30) truncated toward 0; delta is in 1/120 notches, positive away from the user.
    static int32_t WheelValue(int32_t delta);
    // SDL button (1 left, 2 middle, 3 right, 4 and 5 extra) to ours (1 left, 2 right, 3 middle,
    // 4 and 5 extra); 0 for any other.
    static uint8_t ButtonNumber(uint8_t sdlButton);
    // The held-button bits of the modifiers word for an SDL button mask.
    static uint16_t ButtonBits(uint32_t sdlButtonMask);
    // Alt, Ctrl and Shift bits for SDL_Keymod bits.
    static uint8_t KeyModifiers(uint16_t sdlModifiers);

private:
    void Button(const SDL_MouseButtonEvent& b, bool down, double time, Sink& sink);
    void KeyDown(const SDL_KeyboardEvent& k, double time, Sink& sink);
    void Text(const char* utf8, double time, Sink& sink);

    uint32_t width_ = 0;
    uint32_t height_ = 0;
    uint16_t buttons_ = 0;   // held-button bits, kModLeft..kModExtra2
    uint16_t sdlMods_ = 0;   // SDL_Keymod as of the latest key event
    uint8_t swallowText_ = 0; // character already sent with a numeric-pad key
};

} // namespace vek::platform
