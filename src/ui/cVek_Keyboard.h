// Key state for text input: the characters typed since they were last read (font encoding), the
// last key code and the modifiers. Shortcuts never reach it (the desktop's key handler takes them).
#pragma once

#include "platform/InputEvents.h"

#include <cstdint>

class cVek_Keyboard {
  public:
    static constexpr int kQueue = 64;

    // Records a key event: its character (when not 0) joins the queue; a full queue drops it.
    void OnKey(const vek::KeyEvent& e);
    // Next typed character, 0 when none.
    uint8_t PopChar();
    // Next key code (non-character keys such as Backspace, Enter, arrows), 0 when none.
    uint16_t PopKeyCode();
    void Clear();

    uint8_t Modifiers() const { return modifiers_; }

  private:
    uint8_t chars_[kQueue] = {};
    uint16_t codes_[kQueue] = {};
    int charHead_ = 0, charCount_ = 0;
    int codeHead_ = 0, codeCount_ = 0;
    uint8_t modifiers_ = 0;
};
