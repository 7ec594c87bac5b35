// A list of named shades of one hue: the short selection ending in "More ... hues here.", or the
// hue's full list. Choosing a shade sets the tool box's paint colour (linear light).
#pragma once

#include "ui/MenuList.h"

namespace scribbix {

class NamedColorMenu : public vek::ui::MenuList {
  public:
    // hue 1..11; `full` lists every shade of the hue.
    NamedColorMenu(int hue, bool full);
    int HueIndex() const { return hue_; }

    // Sub-menu builders (the choice's value is the hue).
    static void OpenShort(const vek::ui::MenuChoice& choice);
    static void OpenFull(const vek::ui::MenuChoice& choice);
    // Sets the paint colour to the named colour with index `choice.value`.
    static void Choose(const vek::ui::MenuChoice& choice);

  private:
    int hue_;
};

} // namespace scribbix
