// Text display with solid three-dimensional glyphs: every glyph is a set of straight strokes on a
// point grid (5 columns, 9 rows; baseline on row 2, capitals up to row 8), each stroke drawn as a
// bar with an outline behind it, sides, and a face in front. The three surfaces have their own
// colours (materials 0 face, 1 side, 2 outline); markup colours change the face.
//
// The vector parameter is the extrusion of the face from the outline, as fractions of the size
// (x, y, depth); zero gives flat glyphs with their outline. Lower-case letters use the capitals'
// strokes at three quarters of their height; bytes without strokes advance 0.5 and draw nothing.
#pragma once

#include "ui/cVek_TextDisplay.h"

namespace vek::ui {
// Builds the point grid and the stroke table of the vector glyphs (once; later calls do nothing).
void BuildGlyphGrid();
} // namespace vek::ui

class cVek_TextDisplay_Cyber : public cVek_TextDisplay {
  public:
    cVek_TextDisplay_Cyber(float size, uint32_t faceRgb, int32_t alignment = kCentred);

    std::unique_ptr<cVek_TextDisplay> Clone() const override;
    void DrawGlyph(uint8_t c, float centreX, float centreY, float z) override;
    float GlyphAdvance(uint8_t c) const override;
    void SetDefaultColour(uint32_t rgb, int material = 0) override;
    uint32_t DefaultColour() const override { return materials_[0]; }
    uint32_t Material(int i) const { return materials_[i < 0 || i > 2 ? 0 : i]; }
    void BeginDraw() override;
    void EndDraw() override;

    // Stroke thickness as a fraction of the size.
    void SetThickness(float t) { thickness_ = t; }

  protected:
    cVek_TextDisplay_Cyber(const cVek_TextDisplay_Cyber&) = default;
    void DrawCaretQuad(float x, float y, float z, float height) override;

  private:
    uint32_t materials_[3] = {0xFFFFFF, 0x6080A0, 0x000000};
    float thickness_ = 0.12f;
    bool glActive_ = false;
};
