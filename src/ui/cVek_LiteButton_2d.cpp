// Light button drawing: only the caption, over a soft highlight while hovered, held or selected.
#include "ui/cVek_LiteButton_2d.h"

#include "ui/GlDraw.h"
#include "ui/cVek_InterfaceGadget.h"

#include <algorithm>

std::unique_ptr<cVek_SimpleButton> cVek_LiteButton_2d::Clone() const {
    return std::unique_ptr<cVek_SimpleButton>(new cVek_LiteButton_2d(*this));
}

void cVek_LiteButton_2d::Draw(const DrawState& s) {
    const vek::ui::Rect& r = s.rect;
    if (!s.captionOnly) {
        const vek::ui::UiColours& c = s.look->colours;
        const float radius = std::min(r.Width(), r.Height()) * 0.25f;
        const float glow = s.enabled ? std::max(s.hover, s.press) : 0.0f;
        if (s.selected)
            vek::ui::gl::FillRoundRect(r, radius, c.buttonSelected, c.buttonSelected, 0.8f * s.fade);
        if (glow > 0.0f) {
            const uint32_t face = vek::ui::MixColour(c.menuHover, c.buttonPressed, s.press);
            vek::ui::gl::FillRoundRect(r, radius, vek::ui::MixColour(face, 0xFFFFFF, 0.3f), face,
                                       0.9f * glow * s.fade);
        }
    }
    DrawCaption(s, r.Shrunk(h_ * 0.08f), 0.0f, !s.enabled);
}
