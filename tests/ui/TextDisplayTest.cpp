// Markup, measuring and layout of the text display, checked against hand-computed positions.
// The recording display gives every glyph an advance of 1 (so glyph scale = size), except 'W' = 2.
#include "ui/cVek_Font.h"
#include "ui/cVek_TextDisplay.h"
#include "ui/cVek_TextDisplay_Cyber.h"
#include "ui/cVek_TextDisplay_SpriteQuad.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Drawn {
    uint8_t c;
    float x, y;
    float size;
    uint32_t colour;
};

class RecordingDisplay : public cVek_TextDisplay {
  public:
    RecordingDisplay(float size, int32_t alignment = kCentred)
        : cVek_TextDisplay(size, 0x112233, alignment) {}
    void DrawGlyph(uint8_t c, float cx, float cy, float) override {
        glyphs.push_back({c, cx, cy, CurrentSize(), ShadowPass() ? shadowColour_ : CurrentColour()});
    }
    float GlyphAdvance(uint8_t c) const override { return c == 'W' ? 2.0f : 1.0f; }
    std::vector<Drawn> glyphs;
};

std::string Esc(const std::string& cmd) {
    return std::string("\xA4\xA4") + cmd;
}

constexpr float kEps = 1e-5f;

// Widths at size 0.1 (glyph 0.1, spacing 0.02): "ab" is 2 x 0.12 - 0.02 = 0.22.
TEST(TextMarkup, LineWidthsOfMarkupEndingsAndSizeChanges) {
    const struct {
        std::string text;
        float width;
    } cases[] = {
        {Esc("HX") + "ab", 0.22f}, // an unknown size letter is consumed and leaves the size (drawn: 0.34)
        {Esc("WX") + "ab", 0.22f},
        {"a\nb", 0.22f},                   // a line feed is skipped and breaks nothing
        {std::string("ab\0cd", 5), 0.22f}, // a NUL byte ends the text
        {"ab\xA4\xA4", 0.22f},             // so does an escape cut off before its command
        {Esc("HL") + "ab", 0.45f},         // spacing 0.02 -> 0.04 adds 0.01, then 2 x 0.24 - 0.04
        {Esc("HL") + Esc("P\x01"), 0.0f},  // markup only
    };
    RecordingDisplay d(0.1f);
    for (const auto& c : cases) {
        EXPECT_NEAR(d.MeasureLine(c.text), c.width, kEps) << c.text;
        EXPECT_NEAR(d.CurrentSize(), 0.1f, kEps) << "measuring leaves the state alone";
    }
    float w = 1, h = 1;
    d.MeasureBlock("a\nb", &w, &h);
    EXPECT_NEAR(w, 0.22f, kEps);
    EXPECT_NEAR(h, 0.1f, kEps);
    d.MeasureBlock("", &w, &h); // empty: zero wide, one line high, nothing drawn
    EXPECT_FLOAT_EQ(w, 0.0f);
    EXPECT_NEAR(h, 0.1f, kEps);
    d.DrawBlock("", 0, 0);
    EXPECT_TRUE(d.glyphs.empty());
}

TEST(TextMarkup, MarkupOnlyTextDrawsNothingButChangesLaterText) {
    RecordingDisplay d(0.1f);
    d.DrawLine(Esc("HL") + Esc("P\x01"), 0, 0);
    EXPECT_TRUE(d.glyphs.empty());
    // The next text starts at twice the size and in palette colour 1.
    EXPECT_NEAR(d.MeasureLine("a"), 0.2f, kEps);
    d.DrawLine("a", 0, 0);
    ASSERT_EQ(d.glyphs.size(), 1u);
    EXPECT_EQ(d.glyphs[0].colour, 0xFF0000u);
    EXPECT_NEAR(d.glyphs[0].size, 0.2f, kEps);
}

TEST(TextMarkup, SizeAndWidthTables) {
    RecordingDisplay d(0.3f);
    const struct {
        const char* cmd;
        float width; // of one glyph
    } cases[] = {{"HL", 0.6f}, {"HM", 0.45f}, {"HS", 0.375f}, {"Hl", 0.15f}, {"Hm", 0.2f},  {"Hs", 0.24f},
                 {"WL", 0.9f}, {"WM", 0.6f},  {"WS", 0.45f},  {"Wl", 0.1f},  {"Wm", 0.15f}, {"Ws", 0.2f}};
    for (const auto& c : cases) {
        // One glyph; the offset added before it is half the spacing change: (w - 0.3) x 0.2 / 2.
        const float expected = c.width + (c.width - 0.3f) * 0.1f;
        EXPECT_NEAR(d.MeasureLine(Esc(c.cmd) + "a"), expected, kEps) << c.cmd;
    }
    // 'h' and 'w' return to the base: "a" big, then "b" normal.
    d.DrawLine(Esc("HL") + "a" + Esc("h") + "b", 0, 0);
    ASSERT_EQ(d.glyphs.size(), 2u);
    EXPECT_NEAR(d.glyphs[1].size, 0.3f, kEps);
}

TEST(TextMarkup, ColourCommandsIncludingZeroBytesAndBadPaletteIndex) {
    RecordingDisplay d(0.1f);
    const std::string text =
        Esc(std::string("C\x00\x00\xFF", 4)) + "a" + Esc("P\x07") + "b" + Esc("P\xFF") + "c" + Esc("p") + "d";
    d.DrawLine(text, 0, 0);
    ASSERT_EQ(d.glyphs.size(), 4u);
    EXPECT_EQ(d.glyphs[0].colour, 0x0000FFu);
    EXPECT_EQ(d.glyphs[1].colour, 0xFF8000u);
    EXPECT_EQ(d.glyphs[2].colour, 0xFF8000u); // index -1 is not a palette entry: colour kept
    EXPECT_EQ(d.glyphs[3].colour, 0x112233u);
}

TEST(TextMarkup, EndOfRunAndLoneEscapeByte) {
    RecordingDisplay d(0.1f);
    // A single A4 is a character; an unknown command ends the run and is read as a character;
    // a command byte above 0x77 likewise.
    d.DrawLine(std::string("\xA4x") + Esc("Zq") + Esc("\x7F"), 0, 0);
    std::string seen;
    for (const Drawn& g : d.glyphs)
        seen += char(g.c);
    EXPECT_EQ(seen, std::string("\xA4xZq\x7F"));
    // A colour cut off by the end of the text ends it without reading past the end.
    d.glyphs.clear();
    d.DrawLine(std::string("ab") + Esc("C\x01\x02"), 0, 0);
    EXPECT_EQ(d.glyphs.size(), 2u);
    EXPECT_EQ(d.CurrentColour(), 0x112233u);
}

TEST(TextMeasure, SuffixIsMeasuredAndDrawnAfterTheLine) {
    RecordingDisplay d(0.1f, cVek_TextDisplay::kLeft);
    d.SetSuffix(" ->");
    // (2 x 0.12 - 0.02) + (3 x 0.12 - 0.02)
    EXPECT_NEAR(d.MeasureLine("ab"), 0.56f, kEps);
    d.DrawLine("ab", 0, 0);
    ASSERT_EQ(d.glyphs.size(), 5u);
    EXPECT_EQ(d.glyphs[4].c, '>');
    EXPECT_NEAR(d.glyphs[2].x, 0.29f, kEps); // the space after "ab": left edge 0.24
}

TEST(TextLayout, HorizontalAlignmentOfOneLine) {
    for (int align : {0, 1, 2}) {
        RecordingDisplay d(0.1f, align);
        d.DrawLine("aW", 1.0f, 0.5f);
        ASSERT_EQ(d.glyphs.size(), 2u);
        // Width 0.1 + 0.02 + 0.2 = 0.32; 'a' centred on its cell, 'W' two cells wide.
        const float left = align == 0 ? 1.0f - 0.16f : (align == 1 ? 1.0f - 0.32f : 1.0f);
        EXPECT_NEAR(d.glyphs[0].x, left + 0.05f, kEps) << align;
        EXPECT_NEAR(d.glyphs[1].x, left + 0.12f + 0.1f, kEps) << align;
        EXPECT_NEAR(d.glyphs[0].y, 0.5f, kEps);
    }
}

TEST(TextLayout, BlockLinesTakeTheirLargestSizeAndSizeCarriesOver) {
    const std::string text = "a\r" + Esc("HL") + "b\rc";
    for (int align : {0, 1, 2}) {
        RecordingDisplay d(0.1f, align);
        float w = 0, h = 0;
        d.MeasureBlock(text, &w, &h);
        // Heights 0.1, 0.2 and 0.2 (the size carries into the third line), gaps 0.04.
        EXPECT_NEAR(h, 0.58f, kEps);
        d.DrawBlock(text, 0.0f, 0.0f);
        ASSERT_EQ(d.glyphs.size(), 3u);
        const float top = align == 0 ? 0.29f : (align == 1 ? 0.58f : 0.0f);
        EXPECT_NEAR(d.glyphs[0].y, top - 0.05f, kEps) << align;
        EXPECT_NEAR(d.glyphs[1].y, top - 0.24f, kEps) << align;
        EXPECT_NEAR(d.glyphs[2].y, top - 0.48f, kEps) << align;
    }
}

TEST(TextLayout, ShadowPassDrawsFirstAtTheOffsetInTheShadowColour) {
    RecordingDisplay d(0.1f, cVek_TextDisplay::kLeft);
    d.SetShadow(0x000000, 0.01f);
    d.DrawLine("a" + Esc("P\x01") + "b", 0, 0);
    ASSERT_EQ(d.glyphs.size(), 4u);
    EXPECT_EQ(d.glyphs[0].colour, 0x000000u);
    EXPECT_EQ(d.glyphs[1].colour, 0x000000u); // markup colour not applied in the shadow pass
    EXPECT_NEAR(d.glyphs[0].x, 0.06f, kEps);
    EXPECT_NEAR(d.glyphs[0].y, -0.01f, kEps);
    EXPECT_EQ(d.glyphs[2].colour, 0x112233u);
    EXPECT_EQ(d.glyphs[3].colour, 0xFF0000u);
    EXPECT_NEAR(d.glyphs[2].x, 0.05f, kEps);
}

TEST(TextLayout, CloneKeepsSettingsAndMarkupState) {
    RecordingDisplay d(0.1f);
    d.DrawLine(Esc("HM"), 0, 0);
    std::unique_ptr<cVek_TextDisplay> c = d.Clone();
    EXPECT_NEAR(c->CurrentSize(), 0.15f, kEps);
    EXPECT_EQ(c->DefaultColour(), 0x112233u);
    c->RestoreAfterDraw();
    EXPECT_NEAR(c->CurrentSize(), 0.1f, kEps);
}

TEST(SpriteFont, UndefinedGlyphAdvancesHalfAGlyphScale) {
    cVek_Font empty;
    cVek_TextDisplay_SpriteQuad d(&empty, 0.1f, 0);
    // 2 x (0.05 + 0.02) - 0.02
    EXPECT_NEAR(d.MeasureLine("ab"), 0.12f, kEps);

    cVek_Font text;
    text.LoadMetrics(vek::ui::kTextFontSheet);
    cVek_TextDisplay_SpriteQuad t(&text, 0.1f, 0);
    EXPECT_FALSE(text.Defined(0xF0)); // the logo has no glyph in the text font
    EXPECT_NEAR(t.MeasureLine("\xF0"), 0.05f, kEps);
    EXPECT_TRUE(text.Defined('a'));
    EXPECT_NEAR(t.MeasureLine("a"), text.Advance('a') * 0.1f, kEps);
}

TEST(SpriteFont, SheetsCoverTheTextsAndStayInsideTheirTextures) {
    cVek_Font text, icons;
    text.LoadMetrics(vek::ui::kTextFontSheet);
    icons.LoadMetrics(vek::ui::kIconFontSheet);
    for (int c = 32; c < 127; ++c)
        EXPECT_TRUE(text.Defined(uint8_t(c))) << c;
    for (uint8_t c : {0x8E, 0xC9, 0xA5, 0xA1, 0xA9, 0xDB, 0xD2, 0xD3, 0xD4, 0xD5})
        EXPECT_TRUE(text.Defined(c)) << int(c);
    for (char c = 'A'; c <= 'I'; ++c)
        EXPECT_TRUE(icons.Defined(uint8_t(c))) << c;
    EXPECT_TRUE(icons.Defined('.'));
    EXPECT_TRUE(icons.Defined(0xA5));
    EXPECT_FALSE(icons.Defined('J'));
    for (const vek::ui::GlyphSheetInfo* sheet : {&vek::ui::kTextFontSheet, &vek::ui::kIconFontSheet}) {
        for (int k = 0; k < vek::ui::kGlyphMetricCount; ++k) {
            const vek::ui::GlyphMetric& m = sheet->metrics[k];
            EXPECT_EQ(m.code, k + vek::ui::kGlyphMetricFirstCode);
            if (!m.defined) continue;
            EXPECT_GT(m.advance, 0.0f) << k;
            EXPECT_LE(m.tx + m.tw, sheet->width) << k;
            EXPECT_LE(m.ty + m.th, sheet->height) << k;
        }
    }
    // Rectangles of the text sheet never overlap (mipmaps would mix neighbouring glyphs).
    const vek::ui::GlyphMetric* m = vek::ui::kTextFontSheet.metrics;
    for (int a = 0; a < vek::ui::kGlyphMetricCount; ++a)
        for (int b = a + 1; b < vek::ui::kGlyphMetricCount; ++b) {
            if (!m[a].tw || !m[b].tw) continue;
            const bool apart = m[a].tx + m[a].tw <= m[b].tx || m[b].tx + m[b].tw <= m[a].tx ||
                               m[a].ty + m[a].th <= m[b].ty || m[b].ty + m[b].th <= m[a].ty;
            EXPECT_TRUE(apart) << a << " " << b;
        }
}

TEST(CyberGlyphs, AdvancesFollowTheStrokesAndLowerCaseUsesTheCapitals) {
    cVek_TextDisplay_Cyber d(0.1f, 0xFFFFFF);
    // Five grid columns: 5/8 of the size; 'I' spans three, '1' two columns plus one.
    EXPECT_NEAR(d.GlyphAdvance('W'), 0.625f, 1e-6);
    EXPECT_NEAR(d.GlyphAdvance('I'), 0.375f, 1e-6);
    EXPECT_FLOAT_EQ(d.GlyphAdvance('w'), d.GlyphAdvance('W'));
    EXPECT_FLOAT_EQ(d.GlyphAdvance('~'), 0.5f); // no strokes
    EXPECT_FLOAT_EQ(d.GlyphAdvance(0xE9), 0.5f);
}

} // namespace
