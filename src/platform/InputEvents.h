// The program's own input records, built by the platform layer from window-system events and
// handed to the input dispatcher. Nothing here depends on SDL, so the UI and the editor can use it.
#pragma once

#include <cstdint>

namespace vek {

// Pointer event types.
enum : uint8_t {
    kPointerPress = 1,
    kPointerRelease = 2,
    kPointerMove = 3,
    kPointerDrag = 4, // a move with any button held
    kPointerWheel = 6,
};

// Modifier bits of pointer events (key events use only the first three).
enum : uint16_t {
    kModAlt = 1 << 0,
    kModCtrl = 1 << 1,
    kModShift = 1 << 2,
    kModLeft = 1 << 3,
    kModRight = 1 << 4,
    kModMiddle = 1 << 5,
    kModExtra1 = 1 << 6,
    kModExtra2 = 1 << 7,
    kModButtons = 0xF8,
};

// The modifier bit of a button number (1 left, 2 right, 3 middle, 4 and 5 extra); 0 for others.
inline uint16_t ButtonBit(uint8_t button) {
    return button >= 1 && button <= 5 ? uint16_t(kModLeft << (button - 1)) : 0;
}

struct PointerEvent {
    double time = 0.0;   // message clock, seconds
    uint32_t x = 0;      // client pixels, origin top left
    uint32_t y = 0;
    int32_t wheel = 0;   // wheel events only: -(delta / 30), one notch of 120 away from the user = -4
    uint16_t modifiers = 0;
    uint8_t button = 0;  // 1 left, 2 right, 3 middle, 4 and 5 extra; 0 for moves and wheel
    uint8_t type = 0;
};

// Key codes of non-character keys.
enum : uint16_t {
    kKeyEscape = 1,
    kKeyF1 = 2, // F1..F24 = 2..25
    kKeyUp = 26,
    kKeyDown = 27,
    kKeyLeft = 28,
    kKeyRight = 29,
    kKeyPageUp = 30,
    kKeyPageDown = 31,
    kKeyHome = 32,
    kKeyEnd = 33,
    kKeyInsert = 34,
    kKeyDelete = 35,
    kKeyBackspace = 36,
    kKeyEnter = 37,
    kKeyPad0 = 38, // pad 0..9 = 38..47
    kKeyPadPlus = 54,
    kKeyPadMinus = 55,
    kKeyPadMultiply = 56,
    kKeyPadDivide = 57,
    kKeyPadDecimal = 59,
    kKeyPadSeparator = 60,
    kKeyPause = 61,
    kKeyPointerBase = 66, // a pointer press also sends key code 66 + button (67..71)
};

struct KeyEvent {
    double time = 0.0;
    uint8_t character = 0; // font encoding (Mac OS Roman, currency sign at 0xDB); 0 for none
    uint16_t keyCode = 0;
    uint8_t modifiers = 0; // kModAlt, kModCtrl, kModShift
};

} // namespace vek
