// Text display that draws each glyph as textured quads cut from a font sheet (cVek_Font), with an
// optional drop-shadow pass. The sheet's alpha is the glyph coverage and its colour white (text
// font) or the icon colours (icon font); the quads are tinted with the current colour.
#pragma once

#include "ui/cVek_TextDisplay.h"

class cVek_Font;

class cVek_TextDisplay_SpriteQuad : public cVek_TextDisplay {
  public:
    // Glyph box: 0.807571 of the size tall, baseline 0.20504732 of the size above its bottom; the
    // box is centred on the line.
    static constexpr float kGlyphHeight = 0.807571f;
    static constexpr float kBaseline = 0.20504732f;

    // `font` is borrowed and must outlive the display.
    cVek_TextDisplay_SpriteQuad(const cVek_Font* font, float size, uint32_t defaultRgb,
                                int32_t alignment = kCentred);

    std::unique_ptr<cVek_TextDisplay> Clone() const override;
    void DrawGlyph(uint8_t c, float centreX, float centreY, float z) override;
    float GlyphAdvance(uint8_t c) const override;
    void SetVector(float x, float y, float z) override;
    using cVek_TextDisplay::SetVector;
    void BeginDraw() override;
    void EndDraw() override;

    const cVek_Font* Font() const { return font_; }
    void SetFont(const cVek_Font* font) { font_ = font; }

  protected:
    cVek_TextDisplay_SpriteQuad(const cVek_TextDisplay_SpriteQuad&) = default;
    void DrawCaretQuad(float x, float y, float z, float height) override;

  private:
    const cVek_Font* font_;
    bool glActive_ = false;
};
