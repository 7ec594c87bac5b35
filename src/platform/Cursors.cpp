// Cursor slots over SDL system cursors.
#include "platform/Cursors.h"

#include <SDL.h>

namespace vek::platform {
namespace {
constexpr size_t kInitialSlots = 21;
constexpr size_t kGrowBeyond = 10;
} // namespace

Cursors& Cursors::Get() {
    static Cursors c;
    return c;
}

Cursors::Cursors() : slots_(kInitialSlots) {}

bool Cursors::Register(int slot, const std::string& name) {
    if (slot < 0) return false;
    if (static_cast<size_t>(slot) >= slots_.size()) slots_.resize(static_cast<size_t>(slot) + kGrowBeyond);
    slots_[static_cast<size_t>(slot)].name = name;
    return true;
}

const std::string& Cursors::NameOf(int slot) const {
    static const std::string none;
    return (slot >= 0 && static_cast<size_t>(slot) < slots_.size()) ? slots_[static_cast<size_t>(slot)].name
                                                                    : none;
}

int Cursors::Resolve(int slot) const {
    if (slot <= 0 || static_cast<size_t>(slot) >= slots_.size()) return 0;
    return slots_[static_cast<size_t>(slot)].cursor ? slot : 0;
}

void Cursors::Select(int slot) {
    current_ = slot;
    ShowCurrent();
}

void Cursors::ShowCurrent() { Show(Resolve(current_)); }

void Cursors::ShowArrow() { Show(0); }

void Cursors::Show(int slot) {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
    Slot& s = slots_[static_cast<size_t>(slot)];
    if (slot == 0 && !s.cursor) s.cursor = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
    if (s.cursor) SDL_SetCursor(static_cast<SDL_Cursor*>(s.cursor));
}

void Cursors::SetVisible(bool visible) {
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

void Cursors::ReleaseSystemCursors() {
    for (Slot& s : slots_) {
        if (s.cursor && SDL_WasInit(SDL_INIT_VIDEO)) SDL_FreeCursor(static_cast<SDL_Cursor*>(s.cursor));
        s.cursor = nullptr;
    }
}

} // namespace vek::platform
