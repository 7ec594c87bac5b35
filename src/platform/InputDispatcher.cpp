// Pointer and key event dispatch to the handlers the desktop installed.
#include "platform/InputDispatcher.h"

namespace vek {

InputDispatcher& InputDispatcher::Get() {
    static InputDispatcher d;
    return d;
}

void InputDispatcher::Install(uint8_t type, PointerHandler handler, uint8_t mode) {
    if (type < 1 || type > kEntries) return;
    entries_[type - 1] = Entry{handler, mode};
}

void InputDispatcher::SetMode(uint8_t type, uint8_t mode) {
    if (type >= 1 && type <= kEntries) entries_[type - 1].mode = mode;
}

uint8_t InputDispatcher::Mode(uint8_t type) const {
    return (type >= 1 && type <= kEntries) ? entries_[type - 1].mode : 0;
}

void InputDispatcher::Clear() {
    for (Entry& e : entries_) e = Entry{};
    keyHandler_ = nullptr;
}

bool InputDispatcher::Dispatch(const PointerEvent& event) const {
    if (event.type < 1 || event.type > kEntries) return false;
    PointerEvent ev = event;
    if (ev.type == kPointerMove && ev.modifiers >= 8) ev.type = kPointerDrag;
    const Entry& e = entries_[ev.type - 1];
    if (!e.handler) return false;
    bool call;
    switch (ev.type) {
    case kPointerPress:
    case kPointerMove:
    case kPointerDrag:
        // A move turned drag keeps the press rule; one that arrived as a drag takes the rule
        // of types 4 to 6 below, which differs only for modes above 3.
        call = event.type == kPointerDrag ? e.mode != 0 : (e.mode >= 1 && e.mode <= 3);
        break;
    case kPointerRelease:
        call = true;
        break;
    default: // 5 and 6
        call = e.mode != 0;
        break;
    }
    if (call) e.handler(ev);
    return call;
}

bool InputDispatcher::DispatchKey(const KeyEvent& event) const {
    if (!keyHandler_) return false;
    keyHandler_(event);
    return true;
}

} // namespace vek
