// Named-colour lists.
#include "app/NamedColorMenu.h"

#include "app/ColorsMenu.h"
#include "app/NamedColors.h"
#include "app/StudioContext.h"
#include "engine/tools/cVek_ToolBox.h"
#include "ui/cVek_Desktop.h"

#include <memory>

namespace scribbix {

NamedColorMenu::NamedColorMenu(int hue, bool full)
    : vek::ui::MenuList(hue >= 1 && hue <= kHueCount ? std::string(kHues[hue - 1].word) + " Colors"
                                                     : "Colors"),
      hue_(hue) {
    for (int i = 0; i < kNamedColourCount; ++i) {
        const NamedColour& c = kNamedColours[i];
        if (c.hue != hue || !(full || c.shortList)) continue;
        AddAction(NamedColourCaption(c),
                  "Draw with this color.\r\rIt also replaces\rthe selected color\rof your palette.", Choose,
                  nullptr, 0, 0, i);
    }
    if (!full && hue >= 1 && hue <= kHueCount) {
        AddSeparator();
        AddSubMenu(MoreHuesCaption(hue), "All the named shades\rof this hue.", OpenFull, hue);
    }
}

void NamedColorMenu::OpenShort(const vek::ui::MenuChoice& c) {
    ColorsMenu::OpenShadowed(c.desktop, std::make_unique<NamedColorMenu>(c.value, false), c.x, c.y);
}

void NamedColorMenu::OpenFull(const vek::ui::MenuChoice& c) {
    ColorsMenu::OpenShadowed(c.desktop, std::make_unique<NamedColorMenu>(c.value, true), c.x, c.y);
}

void NamedColorMenu::Choose(const vek::ui::MenuChoice& c) {
    cVek_ToolBox* tb = Context().toolBox;
    if (!tb || c.value < 0 || c.value >= kNamedColourCount) return;
    float rgb[3];
    RgbToLinear(kNamedColours[c.value].rgb, rgb);
    tb->SetColour(cVek_ToolBox::kPaint, rgb, 1);
}

} // namespace scribbix
