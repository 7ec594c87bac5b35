// Flat button drawing: soft shadow, rounded gradient face, border (thick when selected), and the
// caption nudged down while pressed.
#include "ui/cVek_SimpleButton_2d.h"

#include "ui/GlDraw.h"
#include "ui/cVek_InterfaceGadget.h"

#include <algorithm>

std::unique_ptr<cVek_SimpleButton> cVek_SimpleButton_2d::Clone() const {
    return std::unique_ptr<cVek_SimpleButton>(new cVek_SimpleButton_2d(*this));
}

void cVek_SimpleButton_2d::Draw(const DrawState& s) {
    namespace gl = vek::ui::gl;
    const vek::ui::Rect& r = s.rect;
    if (s.captionOnly) {
        DrawCaption(s, r.Shrunk(h_ * 0.08f), 0.0f, !s.enabled);
        return;
    }
    const vek::ui::UiColours& c = s.look->colours;
    const float radius = std::min(r.Width(), r.Height()) * 0.22f;
    const float line = std::max(0.0006f, r.Height() * 0.045f);
    const uint32_t face = FaceColour(s);
    // Raised look: a soft shadow that shrinks while the button is pressed.
    const float lift = r.Height() * 0.06f * (1.0f - s.press);
    if (lift > 0.0f)
        gl::SoftShadow(vek::ui::Rect{r.x0 + lift * 0.5f, r.y0 - lift, r.x1 + lift * 0.5f, r.y1 - lift},
                       radius, lift * 1.5f, 0.22f * s.fade);
    const uint32_t top = vek::ui::MixColour(face, 0xFFFFFF, ownFace_ ? 0.12f : 0.35f * (1.0f - s.press));
    const uint32_t bottom = ownFace_ ? vek::ui::MixColour(face, 0x000000, 0.10f)
                                     : vek::ui::MixColour(face, c.buttonBottom, 0.75f * (1.0f - s.hover));
    gl::FillRoundRect(r, radius, top, bottom, s.fade);
    if (s.selected) {
        gl::FrameRoundRect(r, radius, line * 2.6f, c.buttonSelectedBorder, s.fade);
        if (ownFace_) gl::FrameRoundRect(r.Shrunk(line * 2.6f), radius, line, 0xFFFFFF, s.fade);
    } else {
        const uint32_t border = vek::ui::MixColour(c.buttonBorder, c.windowBorder, s.hover);
        gl::FrameRoundRect(r, radius, line, border, s.fade);
    }
    const float nudge = r.Height() * 0.04f * s.press;
    vek::ui::Rect box = r.Shrunk(std::min(r.Width(), r.Height()) * 0.1f);
    box.y0 -= nudge;
    box.y1 -= nudge;
    DrawCaption(s, box, 0.0f, !s.enabled);
}
