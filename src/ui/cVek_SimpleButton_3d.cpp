// Three-dimensional button drawing: a lit, bevelled box whose height drops to a third while it is
// pressed; the caption sits on the box's face.
#include "ui/cVek_SimpleButton_3d.h"

#include "ui/GlDraw.h"
#include "ui/cVek_InterfaceGadget.h"

#include <algorithm>

std::unique_ptr<cVek_SimpleButton> cVek_SimpleButton_3d::Clone() const {
    return std::unique_ptr<cVek_SimpleButton>(new cVek_SimpleButton_3d(*this));
}

void cVek_SimpleButton_3d::Draw(const DrawState& s) {
    const vek::ui::Rect& r = s.rect;
    if (s.captionOnly) {
        DrawCaption(s, r.Shrunk(h_ * 0.08f), 0.0f, !s.enabled);
        return;
    }
    const float depth = depth_ * (1.0f - 0.65f * s.press);
    const float bevel = std::min(r.Width(), r.Height()) * 0.09f;
    const uint32_t face = FaceColour(s);
    vek::ui::gl::Box3d(r, depth, bevel, face, s.fade);
    if (s.selected)
        vek::ui::gl::FrameRoundRect(r.Shrunk(bevel * 0.5f), bevel * 0.5f, bevel * 0.45f,
                                    s.look->colours.buttonSelectedBorder, s.fade, depth + 0.0001f);
    DrawCaption(s, r.Shrunk(bevel * 1.1f), depth + 0.0002f, !s.enabled);
}
