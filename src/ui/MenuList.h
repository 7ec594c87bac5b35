// A menu as data: a title and up to 2500 entries (a list built beyond its capacity overwrites its
// last entry), filled by builder operations and shown by a menu window. Entries carry a label
// (markup allowed), a popup help text, a kind and the kind's callback, data and numbers; a group
// number lets the owner enable, disable or hide related entries together.
//
// Check boxes show a 32-bit (data size -1) or 8-bit (data size 1) flag; without a callback,
// choosing one flips the flag in place. A check box without data keeps its stored state.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class cVek_Window;
class cVek_Desktop;

namespace vek::ui {

class MenuList;

// What a callback learns about the chosen entry. Sub-menu builders open their menu with
// desktop->OpenMenu at (x, y), the pointer position.
struct MenuChoice {
    MenuList* list = nullptr;
    int entry = -1;
    cVek_Window* window = nullptr;
    cVek_Desktop* desktop = nullptr;
    void* data = nullptr;
    int value = 0;
    int extra = 0;
    float x = 0, y = 0;
};
using MenuCallback = void (*)(const MenuChoice& choice);

// What a dialog-opener entry opens: a dialog window with this title, body and content size
// (desktop units at scale 1), with an "Apply" button when `apply` is set.
struct DialogDescription {
    const char* title = "";
    void (*body)(cVek_Window& window, void* user) = nullptr;
    void* user = nullptr;
    void (*apply)(cVek_Window& window, void* user) = nullptr;
    float width = 0.3f, height = 0.2f;
};

class MenuList {
  public:
    enum Kind : uint8_t {
        kAction = 1,
        kSeparator = 2,
        kSpacer = 3,
        kDialog = 4,
        kSubMenu = 5,
        kCheckBox = 6
    };
    static constexpr int kCapacity = 2500;

    struct Entry {
        Kind kind = kAction;
        std::string label;
        std::string help;
        int value = 0;
        MenuCallback callback = nullptr;
        void* data = nullptr;
        int dataSize = -1; // check boxes: -1 a 32-bit flag, 1 an 8-bit flag
        bool checked = false;
        int extra = 0;
        int group = 0;
        bool enabled = true;
        bool hidden = false;
        const DialogDescription* dialog = nullptr;
    };

    explicit MenuList(std::string_view title = {}, int capacity = kCapacity);

    // ---- virtual operations, in slot order
    virtual ~MenuList();
    virtual const std::string& Title() const;
    virtual void SetTitle(std::string_view title);
    // Called each time the menu is shown, to recompute checked, enabled and hidden states.
    virtual void Refresh();

    // ---- builders: each appends one entry and makes it the cursor entry; returns its index
    int AddAction(std::string_view label, std::string_view help, MenuCallback callback, void* data = nullptr,
                  int extra = 0, int group = 0, int value = 0);
    int AddSeparator();
    int AddSpacer();
    int AddDialog(std::string_view label, std::string_view help, const DialogDescription* dialog,
                  int group = 0);
    int AddSubMenu(std::string_view label, std::string_view help, MenuCallback builder, int value = 0,
                   int group = 0);
    int AddCheckBox(std::string_view label, std::string_view help, MenuCallback callback, void* data,
                    int dataSize, int group = 0);
    void Clear();

    // ---- scanning: the cursor moves over the entries of a group
    // First entry of `group` from the start; -1 (cursor unchanged) when there is none.
    int FindGroup(int group);
    // Next entry of the cursor entry's group after the cursor; -1 (cursor unchanged) at the end.
    int NextInGroup();
    void SetChecked(bool on);
    void SetEnabled(bool on);
    void SetHidden(bool on);
    int Cursor() const { return cursor_; }

    // checked = the flag of every check box that has data.
    void RefreshCheckBoxes();
    // Performs the entry: a check box without a callback flips its flag; a dialog opener opens
    // its dialog; then the callback (for a sub-menu its builder) runs with `choice`.
    void Choose(int index, MenuChoice choice);

    int Count() const { return int(entries_.size()); }
    int Capacity() const { return capacity_; }
    const Entry& At(int index) const { return entries_[size_t(index)]; }
    Entry& At(int index) { return entries_[size_t(index)]; }

  private:
    // The new last entry (or the last one reused when the list is full), made the cursor.
    Entry& Append(Kind kind, std::string_view label = {}, std::string_view help = {}, int group = 0);

    std::string title_;
    int capacity_;
    int cursor_ = -1;
    std::vector<Entry> entries_;
};

// Reads and flips a check box flag of the given data size (-1: 32-bit, 1: 8-bit).
bool ReadFlag(const void* data, int dataSize);
void FlipFlag(void* data, int dataSize);

} // namespace vek::ui
