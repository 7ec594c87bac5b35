// The colours panel.
#include "app/ToolColorsPanel.h"

#include "app/ColorsMenu.h"
#include "app/StudioContext.h"
#include "app/StudioPanelState.h"
#include "editor/cTes_PicEditor.h"
#include "engine/tools/cVek_ToolBox.h"
#include "resources/ProgramState.h"
#include "shell/ShellState.h"
#include "ui/GlDraw.h"
#include "ui/UiRect.h"
#include "ui/cVek_Desktop.h"
#include "ui/cVek_SimpleButton.h"
#include "ui/cVek_Window_Panel.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace scribbix {

uint32_t ToolColorsPanel::DisplayColour(const float rgb[3]) {
    if (const cTes_PicEditor* e = Context().editor) return e->ColourToDisplay(rgb);
    // Without an editor: the sRGB curve directly.
    uint32_t out = 0;
    for (int i = 0; i < 3; ++i) {
        const float v = std::clamp(rgb[i], 0.0f, 1.0f);
        const double s = v <= 0.0031308 ? 12.92 * v : 1.055 * std::pow(double(v), 1.0 / 2.4) - 0.055;
        out = (out << 8) | uint32_t(std::clamp(s * 255.0 + 0.5, 0.0, 255.0));
    }
    return out;
}

ToolColorsPanel::ToolColorsPanel(cVek_Window_Panel& window, const cVek_SimpleButton& buttonTemplate)
    : StudioPanel(window, buttonTemplate) {
    ProgramState& state = StudioState();
    cVek_ToolBox* tb = Context().toolBox;
    if (!PaletteSet(state))
        LoadDefaultPalette(state, tb);
    else if (tb)
        tb->SetColour(cVek_ToolBox::kPaint, PaletteColour(state, state.selectedColour), 1);
}

vek::ui::Rect ToolColorsPanel::SwatchRect(const cVek_Window_Panel& w, int k) {
    const vek::ui::Rect a = w.PanelArea();
    const float gap = w.RowGap() * 0.4f;
    const float cw = (a.Width() - 2.0f * gap) / 3.0f;
    const float rh = (a.Height() - 7.0f * gap) / 8.0f;
    const int row = k / 3, col = k % 3;
    const float x0 = a.x0 + float(col) * (cw + gap), y1 = a.y1 - float(row) * (rh + gap);
    return vek::ui::Rect{x0, y1 - rh, x0 + cw, y1};
}

void ToolColorsPanel::Frame(cVek_Window_Panel& w) {
    ProgramState& state = StudioState();
    cVek_ToolBox* tb = Context().toolBox;
    // 1. A palette never set gets the defaults.
    if (!PaletteSet(state)) LoadDefaultPalette(state, tb);
    // 3. (first half) The selected swatch follows the paint colour.
    const int selected = std::clamp(state.selectedColour, 0, ProgramState::kUsedColours - 1);
    if (tb) SetPaletteColour(state, selected, tb->Colour(cVek_ToolBox::kPaint, 1));

    cVek_SimpleButton& b = *button_;
    int clicked = -1;
    uint8_t clickButton = 0;
    for (int k = 0; k < ProgramState::kUsedColours; ++k) {
        const uint32_t rgb = DisplayColour(PaletteColour(state, k));
        b.SetFaceColours(rgb, vek::ui::MixColour(rgb, 0xFFFFFF, 0.25f),
                         vek::ui::MixColour(rgb, 0x000000, 0.25f));
        const vek::ui::Rect r = SwatchRect(w, k);
        b.SetSize(r.Width(), r.Height());
        const char* help = k == selected
                               ? "Change/redefine\rthis color."
                               : "Select this color.\r\rPress a second time\rto change/redefine it.";
        if (b.Do(w, r.CentreX(), r.CentreY(), "", help, kFirstId + k)) {
            clicked = k;
            clickButton = cVek_SimpleButton::LastClick().button;
        }
    }
    // The selected swatch keeps its whole face (it is small) and is ringed from outside, over its
    // neighbours' edges: white against the swatch, dark against the panel.
    if (vek::ui::gl::Enabled()) {
        const vek::ui::Rect r = SwatchRect(w, selected);
        const float px = float(vek::shell::PixelSize());
        const float radius = std::min(r.Width(), r.Height()) * 0.22f;
        vek::ui::gl::FrameRoundRect(r.Shrunk(-2.4f * px), radius + 2.4f * px, 1.4f * px, 0x101010, w.Fade());
        vek::ui::gl::FrameRoundRect(r.Shrunk(-1.1f * px), radius + 1.1f * px, 1.1f * px, 0xFFFFFF, w.Fade());
    }
    if (clicked < 0) return;
    // 4.
    if (clicked == selected) {
        if (cVek_Desktop* d = w.Desktop())
            ColorsMenu::OpenShadowed(d, std::make_unique<ColorsMenu>(), d->Mouse().X(), d->Mouse().Y());
        return;
    }
    if (tb) tb->SetColour(cVek_ToolBox::kPaint, PaletteColour(state, clicked), clickButton == 2 ? 2 : 1);
    if (clickButton != 2) state.selectedColour = clicked;
}

} // namespace scribbix
