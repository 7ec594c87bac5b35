// SDL events to pointer and key records and window notifications.
#include "platform/EventTranslator.h"

#include "shell/MacRoman.h"

#include <cmath>
#include <string>

namespace vek::platform {
namespace {

uint32_t Coord(int v) { return v < 0 ? 0u : static_cast<uint32_t>(v); }

// The character a key gives by itself: the control characters of Enter, Backspace, Escape and
// Tab, the numeric pad's characters, and with Ctrl or left Alt held the key's own character.
uint8_t KeyDownCharacter(SDL_Keycode key, uint16_t mods, bool* fromPad) {
    *fromPad = false;
    switch (key) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return 13;
    case SDLK_BACKSPACE: return 8;
    case SDLK_ESCAPE: return 27;
    case SDLK_TAB: return 9;
    default: break;
    }
    char pad = 0;
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9) pad = (mods & KMOD_NUM) ? char('1' + (key - SDLK_KP_1)) : 0;
    else if (key == SDLK_KP_0) pad = (mods & KMOD_NUM) ? '0' : 0;
    else if (key == SDLK_KP_PERIOD) pad = (mods & KMOD_NUM) ? '.' : 0;
    else if (key == SDLK_KP_PLUS) pad = '+';
    else if (key == SDLK_KP_MINUS) pad = '-';
    else if (key == SDLK_KP_MULTIPLY) pad = '*';
    else if (key == SDLK_KP_DIVIDE) pad = '/';
    if (pad) {
        *fromPad = true;
        return static_cast<uint8_t>(pad);
    }
    if ((mods & (KMOD_CTRL | KMOD_LALT)) && key >= 32 && key <= 126) {
        char c = static_cast<char>(key);
        const bool upper = ((mods & KMOD_SHIFT) != 0) != ((mods & KMOD_CAPS) != 0);
        if (upper && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        return static_cast<uint8_t>(c);
    }
    return 0;
}

} // namespace

void EventTranslator::SetClientSize(uint32_t width, uint32_t height) {
    width_ = width;
    height_ = height;
}

void EventTranslator::Reset(uint16_t sdlModifiers) {
    buttons_ = 0;
    sdlMods_ = sdlModifiers;
    swallowText_ = 0;
}

uint16_t EventTranslator::KeyCode(SDL_Keycode key, uint16_t mods) {
    if (key >= SDLK_F1 && key <= SDLK_F12) return static_cast<uint16_t>(kKeyF1 + (key - SDLK_F1));
    if (key >= SDLK_F13 && key <= SDLK_F24) return static_cast<uint16_t>(kKeyF1 + 12 + (key - SDLK_F13));
    const bool numLock = (mods & KMOD_NUM) != 0;
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9) {
        if (numLock) return static_cast<uint16_t>(kKeyPad0 + 1 + (key - SDLK_KP_1));
        // Without Num Lock the pad is a second set of navigation keys; 5 is none.
        static const uint16_t nav[9] = {kKeyEnd, kKeyDown, kKeyPageDown, kKeyLeft, 0,
                                        kKeyRight, kKeyHome, kKeyUp, kKeyPageUp};
        return nav[key - SDLK_KP_1];
    }
    switch (key) {
    case SDLK_ESCAPE: return kKeyEscape;
    case SDLK_UP: return kKeyUp;
    case SDLK_DOWN: return kKeyDown;
    case SDLK_LEFT: return kKeyLeft;
    case SDLK_RIGHT: return kKeyRight;
    case SDLK_PAGEUP: return kKeyPageUp;
    case SDLK_PAGEDOWN: return kKeyPageDown;
    case SDLK_HOME: return kKeyHome;
    case SDLK_END: return kKeyEnd;
    case SDLK_INSERT: return kKeyInsert;
    case SDLK_DELETE: return kKeyDelete;
    case SDLK_BACKSPACE: return kKeyBackspace;
    case SDLK_RETURN:
    case SDLK_RETURN2:
    case SDLK_KP_ENTER: return kKeyEnter;
    case SDLK_KP_0: return numLock ? kKeyPad0 : kKeyInsert;
    case SDLK_KP_PERIOD:
    case SDLK_KP_DECIMAL: return numLock ? kKeyPadDecimal : kKeyDelete;
    case SDLK_KP_PLUS: return kKeyPadPlus;
    case SDLK_KP_MINUS: return kKeyPadMinus;
    case SDLK_KP_MULTIPLY: return kKeyPadMultiply;
    case SDLK_KP_DIVIDE: return kKeyPadDivide;
    case SDLK_KP_COMMA:
    case SDLK_SEPARATOR: return kKeyPadSeparator;
    case SDLK_PAUSE: return kKeyPause;
    default: return 0;
    }
}

int32_t EventTranslator::WheelValue(int32_t delta) { return -(delta / 30); }

uint8_t EventTranslator::ButtonNumber(uint8_t sdlButton) {
    switch (sdlButton) {
    case SDL_BUTTON_LEFT: return 1;
    case SDL_BUTTON_RIGHT: return 2;
    case SDL_BUTTON_MIDDLE: return 3;
    case SDL_BUTTON_X1: return 4;
    case SDL_BUTTON_X2: return 5;
    default: return 0;
    }
}

uint16_t EventTranslator::ButtonBits(uint32_t mask) {
    uint16_t bits = 0;
    if (mask & SDL_BUTTON_LMASK) bits |= kModLeft;
    if (mask & SDL_BUTTON_RMASK) bits |= kModRight;
    if (mask & SDL_BUTTON_MMASK) bits |= kModMiddle;
    if (mask & SDL_BUTTON_X1MASK) bits |= kModExtra1;
    if (mask & SDL_BUTTON_X2MASK) bits |= kModExtra2;
    return bits;
}

uint8_t EventTranslator::KeyModifiers(uint16_t mods) {
    uint8_t m = 0;
    if (mods & KMOD_ALT) m |= kModAlt;
    if (mods & KMOD_CTRL) m |= kModCtrl;
    if (mods & KMOD_SHIFT) m |= kModShift;
    return m;
}

void EventTranslator::Translate(const SDL_Event& e, double time, Sink& sink) {
    switch (e.type) {
    case SDL_MOUSEMOTION: {
        buttons_ = ButtonBits(e.motion.state);
        PointerEvent p;
        p.time = time;
        p.x = Coord(e.motion.x);
        p.y = Coord(e.motion.y);
        p.modifiers = static_cast<uint16_t>(KeyModifiers(sdlMods_) | buttons_);
        p.type = kPointerMove;
        sink.Pointer(p);
        break;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: Button(e.button, e.type == SDL_MOUSEBUTTONDOWN, time, sink); break;
    case SDL_MOUSEWHEEL: {
        const SDL_MouseWheelEvent& w = e.wheel;
        if (w.y == 0 && w.preciseY == 0.0f) break; // sideways only: not this wheel
        int32_t delta = static_cast<int32_t>(std::lround(w.preciseY * 120.0f));
        if (w.direction == SDL_MOUSEWHEEL_FLIPPED) delta = -delta;
#if SDL_VERSION_ATLEAST(2, 26, 0)
        const int x = w.mouseX, y = w.mouseY;
#else
        int x = 0, y = 0;
        SDL_GetMouseState(&x, &y);
#endif
        if (width_ && height_ && (static_cast<uint32_t>(x) >= width_ || static_cast<uint32_t>(y) >= height_))
            break;
        PointerEvent p;
        p.time = time;
        p.x = static_cast<uint32_t>(x);
        p.y = static_cast<uint32_t>(y);
        p.wheel = WheelValue(delta);
        p.modifiers = static_cast<uint16_t>(KeyModifiers(sdlMods_) | buttons_);
        p.type = kPointerWheel;
        sink.Pointer(p);
        break;
    }
    case SDL_KEYDOWN: KeyDown(e.key, time, sink); break;
    case SDL_KEYUP: sdlMods_ = e.key.keysym.mod; break;
    case SDL_TEXTINPUT: Text(e.text.text, time, sink); break;
    case SDL_WINDOWEVENT:
        switch (e.window.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED: sink.Activate(true); break;
        case SDL_WINDOWEVENT_FOCUS_LOST: sink.Activate(false); break;
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_RESTORED: sink.Paint(); break;
        case SDL_WINDOWEVENT_CLOSE: sink.Close(); break;
        default: break;
        }
        break;
    case SDL_QUIT: sink.Close(); break;
    default: break;
    }
}

void EventTranslator::Button(const SDL_MouseButtonEvent& b, bool down, double time, Sink& sink) {
    const uint8_t n = ButtonNumber(b.button);
    if (!n) return;
    if (down)
        buttons_ |= ButtonBit(n);
    else
        buttons_ &= static_cast<uint16_t>(~ButtonBit(n));
    const uint8_t keyMods = KeyModifiers(sdlMods_);
    PointerEvent p;
    p.time = time;
    p.x = Coord(b.x);
    p.y = Coord(b.y);
    p.modifiers = static_cast<uint16_t>(keyMods | buttons_);
    p.button = n;
    p.type = down ? kPointerPress : kPointerRelease;
    sink.Pointer(p);
    if (down) {
        // A press is also a key: 67 to 71, so keyboard handlers can bind pointer buttons.
        KeyEvent k;
        k.time = time;
        k.keyCode = static_cast<uint16_t>(kKeyPointerBase + n);
        k.modifiers = keyMods;
        sink.Key(k);
    }
}

void EventTranslator::KeyDown(const SDL_KeyboardEvent& k, double time, Sink& sink) {
    sdlMods_ = k.keysym.mod;
    swallowText_ = 0;
    bool fromPad = false;
    KeyEvent ev;
    ev.time = time;
    ev.keyCode = KeyCode(k.keysym.sym, sdlMods_);
    ev.character = KeyDownCharacter(k.keysym.sym, sdlMods_, &fromPad);
    ev.modifiers = KeyModifiers(sdlMods_);
    if (fromPad) swallowText_ = ev.character;
    if (ev.character || ev.keyCode) sink.Key(ev);
}

void EventTranslator::Text(const char* utf8, double time, Sink& sink) {
    // With Ctrl or the left Alt held the key event already carried the character.
    if (sdlMods_ & (KMOD_CTRL | KMOD_LALT)) return;
    const std::string text(utf8);
    size_t pos = 0;
    bool first = true;
    while (pos < text.size()) {
        uint32_t cp = 0;
        if (!Utf8Next(text, pos, cp)) continue;
        const uint8_t c = KeyCharToMacRoman(cp);
        if (first && swallowText_ && c == swallowText_) {
            first = false;
            continue;
        }
        first = false;
        if (!c) continue;
        KeyEvent ev;
        ev.time = time;
        ev.character = c;
        ev.modifiers = KeyModifiers(sdlMods_);
        sink.Key(ev);
    }
    swallowText_ = 0;
}

} // namespace vek::platform
