// The cursor table: slot 0 is the system arrow; named slots registered by the program stay empty
// (no cursor images are shipped), and asking for an empty slot shows the arrow. The table starts
// with 21 slots; registering beyond its end grows it to that slot plus 10.
// Visibility is absolute (shown or hidden), not a counter.
#pragma once

#include <string>
#include <vector>

namespace vek::platform {

class Cursors {
public:
    static Cursors& Get();

    // Records `name` for `slot`; false for a negative slot.
    bool Register(int slot, const std::string& name);
    size_t SlotCount() const { return slots_.size(); }
    const std::string& NameOf(int slot) const;
    // The slot actually shown for a request: the slot itself when it holds a cursor, else 0.
    int Resolve(int slot) const;

    // Makes `slot` the current cursor and shows it.
    void Select(int slot);
    int Current() const { return current_; }
    void ShowCurrent();
    void ShowArrow();
    void SetVisible(bool visible);

    // Drops the system cursors (before the window system shuts down).
    void ReleaseSystemCursors();

private:
    Cursors();
    void Show(int slot);

    struct Slot {
        std::string name;
        void* cursor = nullptr; // SDL_Cursor*, only the arrow is ever loaded
    };
    std::vector<Slot> slots_;
    int current_ = 0;
};

} // namespace vek::platform
