// Text display: measures and draws 8-bit texts (font encoding, carriage return breaks lines) with
// the inline markup below, one line or a block of lines, centred, right- or left-aligned. The base
// class holds the markup and layout rules and draws nothing; the SpriteQuad and Cyber variants draw
// glyphs with GL.
//
// Markup: the bytes A4 A4 and a command byte.
//   '0' nothing            'C' r g b  colour = rgb       'P' n  colour = palette[n] (signed byte)
//   'c', 'p' palette[0]    'H' letter size = base x L 2, M 1.5, S 1.25, l 0.5, m 1/1.5, s 1/1.25
//   'h' size = base        'W' letter width = base x L 3, M 2, S 1.5, l 1/3, m 0.5, s 1/1.5
//   'w' width = base
// Another letter after H or W is consumed and changes nothing. A command byte below 0x30, above
// 0x77 or not listed ends the run and is read as an ordinary character. A line feed is skipped.
//
// State: markup changes persist in the display after a draw (a markup-only text drawn before
// another changes how that one looks); measuring never changes the state.
//
// Units: sizes and positions are desktop units; glyph advances are in glyph-scale units, glyph
// scale = current width factor x current size x global scale; spacing = glyph scale x spacing factor.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

class cVek_TextDisplay {
  public:
    static constexpr int kPaletteSize = 10;
    static constexpr uint8_t kEscape = 0xA4;

    enum Alignment : int32_t { kCentred = 0, kRight = 1, kLeft = 2 };

    cVek_TextDisplay(float size, uint32_t defaultRgb, int32_t alignment = kCentred);
    virtual ~cVek_TextDisplay();

    // ---- virtual operations, in slot order
    virtual std::unique_ptr<cVek_TextDisplay> Clone() const;
    // Lines from (x, y): the block's reference point follows the alignment (centre, bottom right
    // or top left); each line is drawn with the one-line rules.
    virtual void DrawBlock(std::string_view text, float x, float y, float z = 0.0f);
    // The first line of `text` (up to a carriage return), vertically centred on y.
    virtual void DrawLine(std::string_view text, float x, float y, float z = 0.0f);
    // One character with its advance cell starting at x, centred on y.
    virtual void DrawChar(uint8_t c, float x, float y, float z = 0.0f);
    // One glyph centred on (centreX, centreY) at the current size and width. Nothing in the base.
    virtual void DrawGlyph(uint8_t c, float centreX, float centreY, float z);
    // Advance of a character in glyph-scale units (1.0 in the base).
    virtual float GlyphAdvance(uint8_t c) const;
    // Default colour = palette entry 0. The Cyber variant keeps one per material (0 face, 1 side,
    // 2 outline); the others ignore the material.
    virtual void SetDefaultColour(uint32_t rgb, int material = 0);
    virtual uint32_t DefaultColour() const;
    // Current width factor (until the next markup run that changes it).
    virtual void SetWidthFactor(float width);
    // Base and current width factor back to 1.0.
    virtual void ResetWidthFactor();
    // Base (and current) width factor.
    virtual void StoreBaseWidth(float width);
    // The vector parameter: the SpriteQuad variant's shadow offset (x, y) and the Cyber variant's
    // extrusion (x, y, depth) of its solid glyphs. Two values give (a, b, a); one gives (a, a, a).
    virtual void SetVector(float x, float y, float z);
    virtual void SetVector(float a, float b);
    virtual void SetVector(float a);
    virtual void ClearVector();
    // Recomputes the variant's derived sizes.
    virtual void Prepare();
    // GL state for drawing (nested calls are counted; only the outermost pair acts).
    virtual void BeginDraw();
    virtual void EndDraw();
    virtual void SetCurrentColour(uint32_t rgb);
    // The markup's set-size operation: current size, glyph scale and spacing.
    virtual void ApplySize(float size);
    // Back to the base size, width and the default colour.
    virtual void RestoreAfterDraw();

    // ---- measuring (state unchanged afterwards)
    // Width of the first line, the suffix included. 0 for an empty or markup-only line.
    float MeasureLine(std::string_view text);
    // Width of the widest line and the block height (lines and the gaps between them).
    void MeasureBlock(std::string_view text, float* width, float* height);

    // ---- settings
    // Base size (and current size); the line gap follows as 0.4 of it.
    void SetSize(float size);
    float Size() const { return baseSize_; }
    float CurrentSize() const { return state_.size; }
    void SetAlignment(int32_t a) { alignment_ = a; }
    int32_t Alignment() const { return alignment_; }
    void SetGlobalScale(float s);
    void SetSpacingFactor(float f);
    void SetLineGap(float gap) { lineGap_ = gap; }
    float LineGap() const { return lineGap_; }
    void SetAlpha(float a) { alpha_ = a; }
    // The owner's fade, multiplied with alpha when drawing.
    void SetFade(float f) { fade_ = f; }
    // Alpha sent to GL: alpha x fade, clamped to 0..1.
    float EffectiveAlpha() const;
    void SetShadow(uint32_t rgb, float offset, bool on = true);
    void SetCaret(bool on) { caret_ = on; }
    // An optional second string measured and drawn right after the main one (not owned).
    void SetSuffix(std::string_view suffix) {
        suffix_ = suffix;
        hasSuffix_ = !suffix.empty();
    }
    void ClearSuffix() {
        hasSuffix_ = false;
        suffix_ = {};
    }

    uint32_t CurrentColour() const { return state_.colour; }
    uint32_t PaletteEntry(int i) const { return palette_[i]; }
    float GlyphScale() const { return state_.glyphScale; }
    float Spacing() const { return state_.spacing; }
    float CurrentWidthFactor() const { return state_.width; }
    float ExtraOffset() const { return state_.extraOffset; }

  protected:
    // Copies the settings and the markup state; the copy is outside any drawing and has no suffix.
    cVek_TextDisplay(const cVek_TextDisplay& other);
    cVek_TextDisplay& operator=(const cVek_TextDisplay&) = delete;

    // The caret: a flat bar of `height` with its left side at x, centred on y. Nothing in the base.
    virtual void DrawCaretQuad(float x, float y, float z, float height);
    bool Drawing() const { return drawDepth_ > 0; }
    // True during the shadow pass: markup colours are not applied.
    bool ShadowPass() const { return shadowPass_; }
    float VerticalScale() const { return state_.size * globalScale_; }

    float vector_[3] = {0, 0, 0};
    uint32_t shadowColour_ = 0x000000;
    float shadowOffset_ = 0.0f;
    bool shadowOn_ = false;

  private:
    struct State {
        float size = 0;
        float width = 1;
        float glyphScale = 0;
        float spacing = 0;
        float extraOffset = 0;
        uint32_t colour = 0;
    };

    // Next character of the text from `pos` after the markup run before it (-1 at the end).
    int ReadRun(std::string_view text, size_t& pos);
    // Performs one command whose byte has been read; false for a byte that is not a command.
    bool Command(uint8_t cmd, std::string_view text, size_t& pos);
    void Recompute();
    // Measures the line starting at `pos` (moved past its carriage return), advancing the state.
    float MeasureLineAt(std::string_view text, size_t& pos, bool withSuffix, float* lineHeight);
    float MeasureRun(std::string_view text, size_t& pos, int* glyphs, float* lastSpacing, float* maxSize);
    // Draws the line at `pos` (moved past its carriage return) centred on y with the alignment.
    void DrawLineAt(std::string_view text, size_t& pos, bool withSuffix, float x, float y, float z);
    float DrawRun(std::string_view text, size_t& pos, float x, float y, float z);
    State Save() const { return state_; }
    void Restore(const State& s) { state_ = s; }

    float baseSize_;
    float baseWidth_ = 1.0f;
    float globalScale_ = 1.0f;
    float spacingFactor_ = 0.2f;
    float lineGap_;
    int32_t alignment_;
    uint32_t palette_[kPaletteSize];
    float alpha_ = 1.0f;
    float fade_ = 1.0f;
    bool caret_ = false;
    std::string_view suffix_;
    bool hasSuffix_ = false;
    int drawDepth_ = 0;
    bool shadowPass_ = false;
    bool lastRunBroke_ = false; // the last measured or drawn run stopped at a carriage return
    State state_;
};
