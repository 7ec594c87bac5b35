// The input dispatcher: six entries, one per pointer event type 1 to 6, each a handler and a mode
// byte, plus the key handler. The desktop installs its handlers; the platform layer feeds it the
// records it builds from window-system events. No SDL here, so the UI can include it.
//
// Dispatch rules (mode 0 = off):
//   press (1)            called when the mode is 1, 2 or 3
//   release (2)          always called (a handler must see the end of what it saw start)
//   move (3)             with any button held (modifiers >= 8) it becomes a drag (4) and takes the
//                        drag entry; then called when the mode is 1, 2 or 3
//   4, 5, 6 as they come called when the mode is not 0
//   0 and 7 and above    dropped
#pragma once

#include "platform/InputEvents.h"

#include <cstdint>

namespace vek {

using PointerHandler = void (*)(const PointerEvent& event);
using KeyHandler = void (*)(const KeyEvent& event);

class InputDispatcher {
public:
    static constexpr int kEntries = 6;

    // The process-wide dispatcher that the window system feeds.
    static InputDispatcher& Get();

    // Installs the handler and mode for event type 1 to 6; other types are ignored.
    void Install(uint8_t type, PointerHandler handler, uint8_t mode);
    void SetMode(uint8_t type, uint8_t mode);
    uint8_t Mode(uint8_t type) const;
    void SetKeyHandler(KeyHandler handler) { keyHandler_ = handler; }
    // Empties every entry and the key handler.
    void Clear();

    // Applies the rules above (the event's type may become 4); true when a handler was called.
    bool Dispatch(const PointerEvent& event) const;
    // True when a key handler was called.
    bool DispatchKey(const KeyEvent& event) const;

private:
    struct Entry {
        PointerHandler handler = nullptr;
        uint8_t mode = 0;
    };
    Entry entries_[kEntries];
    KeyHandler keyHandler_ = nullptr;
};

} // namespace vek
