// Frame shape drawing.
#include "ui/cVek_InterfaceShape.h"

#include "ui/GlDraw.h"

cVek_InterfaceShape::cVek_InterfaceShape() = default;

void cVek_InterfaceShape::Draw(const vek::ui::Rect& r, float scale, float fade, uint32_t top, uint32_t bottom,
                               uint32_t border) const {
    namespace gl = vek::ui::gl;
    const float radius = cornerRadius * scale;
    if (shadowAlpha > 0.0f) {
        // Offset down and right, as if lit from the top left.
        const float off = shadowSpread * scale * 0.35f;
        vek::ui::Rect s{r.x0 + off, r.y0 - off, r.x1 + off, r.y1 - off};
        gl::SoftShadow(s, radius, shadowSpread * scale, shadowAlpha * fade);
    }
    gl::FillRoundRect(r, radius, top, bottom, faceAlpha * fade);
    gl::FrameRoundRect(r, radius, this->border * scale, border, fade);
}
