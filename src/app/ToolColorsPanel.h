// The colours panel: the palette's 24 swatches in eight rows of three. The selected swatch follows
// the tool box's paint colour (so a colour chosen from the menus redefines it); pressing another
// swatch paints with its colour and selects it (a right-click only hands over the colour); pressing
// the selected swatch opens the "Colors" menu to redefine it.
#pragma once

#include "app/StudioPanel.h"
#include "ui/UiRect.h"

namespace scribbix {

class ToolColorsPanel : public StudioPanel {
  public:
    static constexpr int kFirstId = 41;
    // Gives the tool box the selected swatch's colour: the paint colour itself is not kept between
    // runs, and the selected swatch would otherwise take the tool box's default colour.
    ToolColorsPanel(cVek_Window_Panel& window, const cVek_SimpleButton& buttonTemplate);
    void Frame(cVek_Window_Panel& window) override;

    // Swatch k (0..23) inside the panel window: eight rows of three, with narrower gaps than
    // ordinary rows so the small swatches keep as much height as the panel allows.
    static vek::ui::Rect SwatchRect(const cVek_Window_Panel& window, int k);

    // Swatch colour for the screen: the editor's display conversion of the linear colour.
    static uint32_t DisplayColour(const float rgb[3]);
};

} // namespace scribbix
