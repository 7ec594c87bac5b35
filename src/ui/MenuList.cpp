// Menu entries: builders, group scanning, check boxes and choosing.
#include "ui/MenuList.h"

#include "ui/cVek_Desktop.h"
#include "ui/cVek_Window_Dialog.h"

#include <cstring>

namespace vek::ui {

bool ReadFlag(const void* data, int dataSize) {
    if (!data) return false;
    if (dataSize == 1) return *static_cast<const uint8_t*>(data) != 0;
    if (dataSize == -1) {
        int32_t v;
        std::memcpy(&v, data, sizeof v);
        return v != 0;
    }
    return false;
}

void FlipFlag(void* data, int dataSize) {
    if (!data) return;
    if (dataSize == 1) {
        *static_cast<uint8_t*>(data) ^= 1;
    } else if (dataSize == -1) {
        int32_t v;
        std::memcpy(&v, data, sizeof v);
        v ^= 1;
        std::memcpy(data, &v, sizeof v);
    }
}

MenuList::MenuList(std::string_view title, int capacity)
    : title_(title.data(), title.size()), capacity_(capacity < 1 ? 1 : capacity) {}

MenuList::~MenuList() = default;

const std::string& MenuList::Title() const {
    return title_;
}
void MenuList::SetTitle(std::string_view title) {
    title_.assign(title.data(), title.size());
}
void MenuList::Refresh() {}

MenuList::Entry& MenuList::Append(Kind kind, std::string_view label, std::string_view help, int group) {
    if (int(entries_.size()) < capacity_) {
        entries_.emplace_back();
    } else {
        entries_.back() = Entry{};
    }
    cursor_ = int(entries_.size()) - 1;
    Entry& e = entries_.back();
    e.kind = kind;
    e.label.assign(label.data(), label.size());
    e.help.assign(help.data(), help.size());
    e.group = group;
    return e;
}

int MenuList::AddAction(std::string_view label, std::string_view help, MenuCallback callback, void* data,
                        int extra, int group, int value) {
    Entry& e = Append(kAction, label, help, group);
    e.callback = callback;
    e.data = data;
    e.extra = extra;
    e.value = value;
    return cursor_;
}

int MenuList::AddSeparator() {
    Append(kSeparator);
    return cursor_;
}

int MenuList::AddSpacer() {
    Append(kSpacer);
    return cursor_;
}

int MenuList::AddDialog(std::string_view label, std::string_view help, const DialogDescription* dialog,
                        int group) {
    Append(kDialog, label, help, group).dialog = dialog;
    return cursor_;
}

int MenuList::AddSubMenu(std::string_view label, std::string_view help, MenuCallback builder, int value,
                         int group) {
    Entry& e = Append(kSubMenu, label, help, group);
    e.callback = builder;
    e.value = value;
    return cursor_;
}

int MenuList::AddCheckBox(std::string_view label, std::string_view help, MenuCallback callback, void* data,
                          int dataSize, int group) {
    Entry& e = Append(kCheckBox, label, help, group);
    e.callback = callback;
    e.data = data;
    e.dataSize = dataSize;
    e.checked = ReadFlag(data, dataSize);
    return cursor_;
}

void MenuList::Clear() {
    entries_.clear();
    cursor_ = -1;
}

int MenuList::FindGroup(int group) {
    for (int i = 0; i < Count(); ++i)
        if (entries_[size_t(i)].group == group) return cursor_ = i;
    return -1;
}

int MenuList::NextInGroup() {
    if (cursor_ < 0 || cursor_ >= Count()) return -1;
    const int group = entries_[size_t(cursor_)].group;
    for (int i = cursor_ + 1; i < Count(); ++i)
        if (entries_[size_t(i)].group == group) return cursor_ = i;
    return -1;
}

void MenuList::SetChecked(bool on) {
    if (cursor_ >= 0 && cursor_ < Count()) entries_[size_t(cursor_)].checked = on;
}
void MenuList::SetEnabled(bool on) {
    if (cursor_ >= 0 && cursor_ < Count()) entries_[size_t(cursor_)].enabled = on;
}
void MenuList::SetHidden(bool on) {
    if (cursor_ >= 0 && cursor_ < Count()) entries_[size_t(cursor_)].hidden = on;
}

void MenuList::RefreshCheckBoxes() {
    for (Entry& e : entries_)
        if (e.kind == kCheckBox && e.data) e.checked = ReadFlag(e.data, e.dataSize);
}

void MenuList::Choose(int index, MenuChoice choice) {
    if (index < 0 || index >= Count()) return;
    // Copies: the callback may rebuild this list.
    const Entry e = entries_[size_t(index)];
    if (!e.enabled || e.hidden || e.kind == kSeparator || e.kind == kSpacer) return;
    choice.list = this;
    choice.entry = index;
    choice.data = e.data;
    choice.value = e.value;
    choice.extra = e.extra;
    if (e.kind == kCheckBox && !e.callback) {
        if (e.data) {
            FlipFlag(e.data, e.dataSize);
            entries_[size_t(index)].checked = ReadFlag(e.data, e.dataSize);
        }
        return;
    }
    if (e.kind == kDialog && e.dialog && choice.desktop) {
        cVek_Window_Dialog* d = OpenDialog(*choice.desktop, *e.dialog, choice.x, choice.y);
        if (d) d->SetOneShot(true);
    }
    if (e.callback) e.callback(choice);
}

} // namespace vek::ui
