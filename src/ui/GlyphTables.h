// Built-in glyph metrics of the two fonts, made by generators/fonts together with the sheets
// "font.jpg" and "icons.jpg". One entry per byte value 32..254 (223 entries); a font copies its
// table at set-up and gets its texture later from the GL resource loader.
//
// Horizontal values are in glyph-scale units (1 = the text size at width factor 1), vertical values
// in size units, measured from the baseline. `advance` already leaves room for the display's
// spacing of 0.2, so advance + 0.2 is the natural pen advance of the glyph.
#pragma once

#include <cstdint>

namespace vek::ui {

struct GlyphMetric {
    uint8_t code;    // byte value in the font encoding
    uint8_t defined; // 0: the glyph advances by 0.5 and draws nothing
    float advance;   // glyph advance (the display adds its spacing after it)
    float width;     // the glyph's own width; the glyph is centred on its advance
    float x, y; // lower left corner of the sprite quad: x from the glyph's left edge, y from the baseline
    float w, h; // sprite quad size
    uint16_t tx, ty, tw, th; // texture rectangle in texels, origin top left of the sheet
};

constexpr int kGlyphMetricCount = 223;
constexpr int kGlyphMetricFirstCode = 32;

struct GlyphSheetInfo {
    int width; // texture size in texels
    int height;
    const GlyphMetric* metrics; // kGlyphMetricCount entries
};

extern const GlyphSheetInfo kTextFontSheet;
extern const GlyphSheetInfo kIconFontSheet;

} // namespace vek::ui
