// A sprite font: for each of the 256 byte values a chain of sprite entries (sprite number, offset,
// more-follows flag) and an advance width with a "defined" flag; for each sprite its texture and
// texture rectangle. The glyph metrics come from a built-in table at set-up; the texture name
// arrives later from the GL resource loader (0 until then: glyphs measure but draw nothing).
#pragma once

#include "ui/GlyphTables.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class cVek_Font {
  public:
    struct ChainEntry {
        uint16_t sprite = 0;
        float x = 0, y = 0; // lower left corner: x from the glyph's left edge, y from the baseline
        bool more = false;  // another entry of the same glyph follows
    };
    struct Sprite {
        int texture = 0;                      // index into the font's textures (this program uses one)
        float u0 = 0, v0 = 0, u1 = 0, v1 = 0; // texture rectangle, v0 at the top
        float w = 0, h = 0;                   // quad size: w in glyph-scale units, h in size units
    };

    // 256 empty glyph slots: every byte undefined.
    cVek_Font();

    // Copies a built-in table (kGlyphMetricCount entries) over the slots it names; an empty table
    // (no metrics or no sheet size) changes nothing.
    void LoadMetrics(const vek::ui::GlyphSheetInfo& sheet);

    // GL texture name of texture slot 0 (0 = none yet).
    void SetTexture(unsigned int glName) { texture_ = glName; }
    unsigned int Texture() const { return texture_; }

    bool Defined(uint8_t c) const { return glyphs_[c].defined; }
    // Glyph advance in glyph-scale units; 0.5 for an undefined byte.
    float Advance(uint8_t c) const { return glyphs_[c].defined ? glyphs_[c].advance : 0.5f; }
    // The glyph's own width, on which its sprites are laid out.
    float Width(uint8_t c) const { return glyphs_[c].defined ? glyphs_[c].width : 0.5f; }
    // First chain entry of a glyph, or -1 when it draws nothing.
    int FirstEntry(uint8_t c) const { return glyphs_[c].defined ? glyphs_[c].firstEntry : -1; }
    const ChainEntry& Entry(int index) const { return entries_[size_t(index)]; }
    const Sprite& SpriteAt(int index) const { return sprites_[size_t(index)]; }

  private:
    struct Glyph {
        bool defined = false;
        float advance = 0.5f;
        float width = 0.5f;
        int firstEntry = -1;
    };
    Glyph glyphs_[256];
    std::vector<ChainEntry> entries_;
    std::vector<Sprite> sprites_;
    unsigned int texture_ = 0;
};
