// Sprite-quad glyphs: one textured quad per chain entry, tinted per glyph so markup colours and
// the shadow pass need no extra state.
#include "ui/cVek_TextDisplay_SpriteQuad.h"

#include "ui/GlDraw.h"
#include "ui/cVek_Font.h"

#include <GL/gl.h>

namespace {

constexpr float kLodBias = -0.5f;

void TintColour(uint32_t rgb, float alpha) {
    glColor4ub(GLubyte((rgb >> 16) & 0xFF), GLubyte((rgb >> 8) & 0xFF), GLubyte(rgb & 0xFF),
               GLubyte(alpha * 255.0f + 0.5f));
}

} // namespace

cVek_TextDisplay_SpriteQuad::cVek_TextDisplay_SpriteQuad(const cVek_Font* font, float size,
                                                         uint32_t defaultRgb, int32_t alignment)
    : cVek_TextDisplay(size, defaultRgb, alignment), font_(font) {}

std::unique_ptr<cVek_TextDisplay> cVek_TextDisplay_SpriteQuad::Clone() const {
    std::unique_ptr<cVek_TextDisplay_SpriteQuad> copy(new cVek_TextDisplay_SpriteQuad(*this));
    copy->glActive_ = false;
    return copy;
}

float cVek_TextDisplay_SpriteQuad::GlyphAdvance(uint8_t c) const {
    return font_ ? font_->Advance(c) : 0.5f;
}

void cVek_TextDisplay_SpriteQuad::SetVector(float x, float y, float z) {
    cVek_TextDisplay::SetVector(x, y, z);
    // The vector's first value is the shadow offset of this variant.
    shadowOffset_ = x;
}

void cVek_TextDisplay_SpriteQuad::BeginDraw() {
    if (!Drawing() && vek::ui::gl::Enabled()) {
        vek::ui::gl::PushFlat2dState();
        if (font_ && font_->Texture()) {
            glEnable(GL_TEXTURE_2D);
            glBindTexture(GL_TEXTURE_2D, font_->Texture());
            glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
            // Small text reads sharper from a slightly finer mipmap level.
            glTexEnvf(GL_TEXTURE_FILTER_CONTROL, GL_TEXTURE_LOD_BIAS, kLodBias);
        }
        glActive_ = true;
    }
    cVek_TextDisplay::BeginDraw();
}

void cVek_TextDisplay_SpriteQuad::EndDraw() {
    cVek_TextDisplay::EndDraw();
    if (!Drawing() && glActive_) {
        vek::ui::gl::PopState();
        glActive_ = false;
    }
}

void cVek_TextDisplay_SpriteQuad::DrawGlyph(uint8_t c, float centreX, float centreY, float z) {
    if (!glActive_ || !font_ || !font_->Texture()) return;
    int entry = font_->FirstEntry(c);
    if (entry < 0) return;
    const float gs = GlyphScale(), vs = VerticalScale();
    const float left = centreX - font_->Width(c) * gs * 0.5f;
    const float baseline = centreY - (kGlyphHeight * 0.5f - kBaseline) * vs;
    TintColour(ShadowPass() ? shadowColour_ : CurrentColour(), EffectiveAlpha());
    glBegin(GL_QUADS);
    for (;;) {
        const cVek_Font::ChainEntry& e = font_->Entry(entry);
        const cVek_Font::Sprite& s = font_->SpriteAt(e.sprite);
        const float x0 = left + e.x * gs, y0 = baseline + e.y * vs;
        const float x1 = x0 + s.w * gs, y1 = y0 + s.h * vs;
        glTexCoord2f(s.u0, s.v1);
        glVertex3f(x0, y0, z);
        glTexCoord2f(s.u1, s.v1);
        glVertex3f(x1, y0, z);
        glTexCoord2f(s.u1, s.v0);
        glVertex3f(x1, y1, z);
        glTexCoord2f(s.u0, s.v0);
        glVertex3f(x0, y1, z);
        if (!e.more) break;
        ++entry;
    }
    glEnd();
}

void cVek_TextDisplay_SpriteQuad::DrawCaretQuad(float x, float y, float z, float height) {
    if (!glActive_) return;
    const float w = height * 0.08f, h = height * 0.8f;
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
    glDisable(GL_TEXTURE_2D);
    TintColour(CurrentColour(), EffectiveAlpha());
    glBegin(GL_QUADS);
    glVertex3f(x, y - h * 0.5f, z);
    glVertex3f(x + w, y - h * 0.5f, z);
    glVertex3f(x + w, y + h * 0.5f, z);
    glVertex3f(x, y + h * 0.5f, z);
    glEnd();
    glPopAttrib();
}
