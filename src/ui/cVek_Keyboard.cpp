// Typed characters and key codes, queued until a text field reads them.
#include "ui/cVek_Keyboard.h"

void cVek_Keyboard::OnKey(const vek::KeyEvent& e) {
    modifiers_ = e.modifiers;
    if (e.character != 0 && charCount_ < kQueue) {
        chars_[(charHead_ + charCount_) % kQueue] = e.character;
        ++charCount_;
    }
    // Pointer presses also arrive as key codes 67..71; they are not keys a text field wants.
    if (e.keyCode != 0 && e.keyCode <= vek::kKeyPointerBase && codeCount_ < kQueue) {
        codes_[(codeHead_ + codeCount_) % kQueue] = e.keyCode;
        ++codeCount_;
    }
}

uint8_t cVek_Keyboard::PopChar() {
    if (charCount_ == 0) return 0;
    const uint8_t c = chars_[charHead_];
    charHead_ = (charHead_ + 1) % kQueue;
    --charCount_;
    return c;
}

uint16_t cVek_Keyboard::PopKeyCode() {
    if (codeCount_ == 0) return 0;
    const uint16_t c = codes_[codeHead_];
    codeHead_ = (codeHead_ + 1) % kQueue;
    --codeCount_;
    return c;
}

void cVek_Keyboard::Clear() {
    charHead_ = charCount_ = codeHead_ = codeCount_ = 0;
}
