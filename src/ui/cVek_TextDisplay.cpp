// Markup reading, measuring and line/block layout of the text display. No GL here: the variants
// draw the glyphs, the caret and set the colour.
#include "ui/cVek_TextDisplay.h"

#include <algorithm>

namespace {

const uint32_t kFixedPalette[cVek_TextDisplay::kPaletteSize] = {
    0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0x00FFFF, 0xFF00FF, 0xFFFF00, 0xFF8000, 0x00FF80, 0x8000FF};

// Factor of an 'H' letter, or 0 for a letter outside the table.
float SizeFactor(uint8_t letter) {
    switch (letter) {
    case 'L':
        return 2.0f;
    case 'M':
        return 1.5f;
    case 'S':
        return 1.25f;
    case 'l':
        return 0.5f;
    case 'm':
        return 1.0f / 1.5f;
    case 's':
        return 1.0f / 1.25f;
    default:
        return 0.0f;
    }
}

float WidthFactor(uint8_t letter) {
    switch (letter) {
    case 'L':
        return 3.0f;
    case 'M':
        return 2.0f;
    case 'S':
        return 1.5f;
    case 'l':
        return 1.0f / 3.0f;
    case 'm':
        return 0.5f;
    case 's':
        return 1.0f / 1.5f;
    default:
        return 0.0f;
    }
}

constexpr int kEnd = -1;
constexpr uint8_t kCarriageReturn = 13;
constexpr uint8_t kLineFeed = 10;

} // namespace

cVek_TextDisplay::cVek_TextDisplay(float size, uint32_t defaultRgb, int32_t alignment)
    : baseSize_(size), lineGap_(0.4f * size), alignment_(alignment) {
    for (int i = 0; i < kPaletteSize; ++i)
        palette_[i] = kFixedPalette[i];
    palette_[0] = defaultRgb & 0xFFFFFF;
    state_.size = size;
    state_.width = 1.0f;
    state_.colour = palette_[0];
    Recompute();
}

cVek_TextDisplay::~cVek_TextDisplay() = default;

cVek_TextDisplay::cVek_TextDisplay(const cVek_TextDisplay& o)
    : shadowColour_(o.shadowColour_), shadowOffset_(o.shadowOffset_), shadowOn_(o.shadowOn_),
      baseSize_(o.baseSize_), baseWidth_(o.baseWidth_), globalScale_(o.globalScale_),
      spacingFactor_(o.spacingFactor_), lineGap_(o.lineGap_), alignment_(o.alignment_), alpha_(o.alpha_),
      fade_(o.fade_), caret_(o.caret_), state_(o.state_) {
    for (int i = 0; i < 3; ++i)
        vector_[i] = o.vector_[i];
    for (int i = 0; i < kPaletteSize; ++i)
        palette_[i] = o.palette_[i];
}

std::unique_ptr<cVek_TextDisplay> cVek_TextDisplay::Clone() const {
    return std::unique_ptr<cVek_TextDisplay>(new cVek_TextDisplay(*this));
}

// ---- state

void cVek_TextDisplay::Recompute() {
    state_.glyphScale = state_.width * state_.size * globalScale_;
    state_.spacing = state_.glyphScale * spacingFactor_;
}

void cVek_TextDisplay::SetSize(float size) {
    baseSize_ = size;
    lineGap_ = 0.4f * size;
    ApplySize(size);
}

void cVek_TextDisplay::SetGlobalScale(float s) {
    globalScale_ = s;
    Recompute();
}

void cVek_TextDisplay::SetSpacingFactor(float f) {
    spacingFactor_ = f;
    Recompute();
}

float cVek_TextDisplay::EffectiveAlpha() const {
    return std::min(1.0f, std::max(0.0f, alpha_ * fade_));
}

void cVek_TextDisplay::SetShadow(uint32_t rgb, float offset, bool on) {
    shadowColour_ = rgb & 0xFFFFFF;
    shadowOffset_ = offset;
    shadowOn_ = on;
}

void cVek_TextDisplay::DrawGlyph(uint8_t, float, float, float) {}
float cVek_TextDisplay::GlyphAdvance(uint8_t) const {
    return 1.0f;
}

void cVek_TextDisplay::SetDefaultColour(uint32_t rgb, int) {
    palette_[0] = rgb & 0xFFFFFF;
    SetCurrentColour(palette_[0]);
}
uint32_t cVek_TextDisplay::DefaultColour() const {
    return palette_[0];
}

void cVek_TextDisplay::SetWidthFactor(float width) {
    state_.width = width;
    Recompute();
}

void cVek_TextDisplay::ResetWidthFactor() {
    StoreBaseWidth(1.0f);
}

void cVek_TextDisplay::StoreBaseWidth(float width) {
    baseWidth_ = width;
    SetWidthFactor(width);
}

void cVek_TextDisplay::SetVector(float x, float y, float z) {
    vector_[0] = x;
    vector_[1] = y;
    vector_[2] = z;
}
void cVek_TextDisplay::SetVector(float a, float b) {
    SetVector(a, b, a);
}
void cVek_TextDisplay::SetVector(float a) {
    SetVector(a, a, a);
}
void cVek_TextDisplay::ClearVector() {
    SetVector(0.0f, 0.0f, 0.0f);
}

void cVek_TextDisplay::Prepare() {
    Recompute();
}

void cVek_TextDisplay::BeginDraw() {
    ++drawDepth_;
}
void cVek_TextDisplay::EndDraw() {
    if (drawDepth_ > 0) --drawDepth_;
}

void cVek_TextDisplay::SetCurrentColour(uint32_t rgb) {
    state_.colour = rgb & 0xFFFFFF;
}

void cVek_TextDisplay::ApplySize(float size) {
    state_.size = size;
    Recompute();
}

void cVek_TextDisplay::RestoreAfterDraw() {
    state_.width = baseWidth_;
    state_.extraOffset = 0.0f;
    ApplySize(baseSize_);
    SetCurrentColour(palette_[0]);
}

void cVek_TextDisplay::DrawCaretQuad(float, float, float, float) {}

// ---- markup

bool cVek_TextDisplay::Command(uint8_t cmd, std::string_view text, size_t& pos) {
    const size_t n = text.size();
    switch (cmd) {
    case '0':
        return true;
    case 'C': {
        if (pos + 3 > n) { // a cut-off colour ends the text
            pos = n;
            return true;
        }
        const uint32_t rgb = (uint32_t(uint8_t(text[pos])) << 16) | (uint32_t(uint8_t(text[pos + 1])) << 8) |
                             uint32_t(uint8_t(text[pos + 2]));
        pos += 3;
        SetCurrentColour(rgb);
        return true;
    }
    case 'P': {
        if (pos >= n) return true;
        const int index = int(int8_t(uint8_t(text[pos++])));
        if (index >= 0 && index < kPaletteSize) SetCurrentColour(palette_[index]);
        return true;
    }
    case 'c':
    case 'p':
        SetCurrentColour(palette_[0]);
        return true;
    case 'H': {
        if (pos >= n) return true;
        const float f = SizeFactor(uint8_t(text[pos++]));
        ApplySize(f > 0.0f ? baseSize_ * f : state_.size);
        return true;
    }
    case 'h':
        ApplySize(baseSize_);
        return true;
    case 'W': {
        if (pos >= n) return true;
        const float f = WidthFactor(uint8_t(text[pos++]));
        if (f > 0.0f) state_.width = baseWidth_ * f;
        Recompute();
        ApplySize(state_.size);
        return true;
    }
    case 'w':
        state_.width = baseWidth_;
        Recompute();
        ApplySize(state_.size);
        return true;
    default:
        return false;
    }
}

int cVek_TextDisplay::ReadRun(std::string_view text, size_t& pos) {
    const float oldSpacing = state_.spacing;
    int result = kEnd;
    while (pos < text.size()) {
        const uint8_t c = uint8_t(text[pos]);
        if (c == kEscape && pos + 1 < text.size() && uint8_t(text[pos + 1]) == kEscape) {
            if (pos + 2 >= text.size()) { // an escape without its command byte ends the text
                pos = text.size();
                break;
            }
            const uint8_t cmd = uint8_t(text[pos + 2]);
            pos += 3;
            if (cmd >= 0x30 && cmd <= 0x77 && Command(cmd, text, pos)) continue;
            result = cmd;
            break;
        }
        ++pos;
        if (c == kLineFeed) continue;
        result = c;
        break;
    }
    if (result == 0) result = kEnd; // a NUL byte ends the text as it would a C string
    state_.extraOffset = (state_.spacing - oldSpacing) * 0.5f;
    return result;
}

// ---- measuring

float cVek_TextDisplay::MeasureRun(std::string_view text, size_t& pos, int* glyphs, float* lastSpacing,
                                   float* maxSize) {
    float w = 0.0f;
    for (;;) {
        const int c = ReadRun(text, pos);
        if (c == kEnd || c == kCarriageReturn) {
            lastRunBroke_ = c == kCarriageReturn;
            break;
        }
        w += state_.extraOffset + GlyphAdvance(uint8_t(c)) * state_.glyphScale + state_.spacing;
        *lastSpacing = state_.spacing;
        ++*glyphs;
        *maxSize = std::max(*maxSize, state_.size * globalScale_);
    }
    return w;
}

float cVek_TextDisplay::MeasureLineAt(std::string_view text, size_t& pos, bool withSuffix,
                                      float* lineHeight) {
    float maxSize = state_.size * globalScale_;
    int glyphs = 0;
    float last = 0.0f;
    float w = MeasureRun(text, pos, &glyphs, &last, &maxSize);
    const bool broke = lastRunBroke_;
    if (glyphs > 0) w -= last;
    if (withSuffix && hasSuffix_ && !broke) {
        size_t sp = 0;
        int sg = 0;
        float sl = 0.0f;
        float ws = MeasureRun(suffix_, sp, &sg, &sl, &maxSize);
        if (sg > 0) ws -= sl;
        w += ws;
    }
    if (lineHeight) *lineHeight = maxSize;
    lastRunBroke_ = broke;
    return w;
}

float cVek_TextDisplay::MeasureLine(std::string_view text) {
    const State saved = Save();
    size_t pos = 0;
    const float w = MeasureLineAt(text, pos, true, nullptr);
    Restore(saved);
    return w;
}

void cVek_TextDisplay::MeasureBlock(std::string_view text, float* width, float* height) {
    const State saved = Save();
    size_t pos = 0;
    float maxW = 0.0f, total = 0.0f;
    const float gap = lineGap_ * globalScale_;
    for (;;) {
        float lh = 0.0f;
        maxW = std::max(maxW, MeasureLineAt(text, pos, true, &lh));
        total += lh + gap;
        if (!lastRunBroke_) break;
    }
    Restore(saved);
    if (width) *width = maxW;
    if (height) *height = total - gap;
}

// ---- drawing

float cVek_TextDisplay::DrawRun(std::string_view text, size_t& pos, float x, float y, float z) {
    for (;;) {
        const int c = ReadRun(text, pos);
        if (c == kEnd || c == kCarriageReturn) {
            lastRunBroke_ = c == kCarriageReturn;
            break;
        }
        x += state_.extraOffset;
        const float adv = GlyphAdvance(uint8_t(c)) * state_.glyphScale;
        DrawGlyph(uint8_t(c), x + adv * 0.5f, y, z);
        x += adv + state_.spacing;
    }
    return x;
}

void cVek_TextDisplay::DrawLineAt(std::string_view text, size_t& pos, bool withSuffix, float x, float y,
                                  float z) {
    const size_t start = pos;
    const State before = Save();
    size_t probe = start;
    float lineHeight = 0.0f;
    const float w = MeasureLineAt(text, probe, withSuffix, &lineHeight);
    const bool last = !lastRunBroke_;
    Restore(before);
    const float left = alignment_ == kCentred ? x - w * 0.5f : (alignment_ == kRight ? x - w : x);

    if (shadowOn_ && shadowOffset_ != 0.0f) {
        shadowPass_ = true;
        size_t p = start;
        const float xe = DrawRun(text, p, left + shadowOffset_, y - shadowOffset_, z);
        if (withSuffix && hasSuffix_ && last) {
            size_t sp = 0;
            DrawRun(suffix_, sp, xe, y - shadowOffset_, z);
        }
        shadowPass_ = false;
        Restore(before);
    }
    const float xe = DrawRun(text, pos, left, y, z);
    if (withSuffix && hasSuffix_ && last) {
        size_t sp = 0;
        DrawRun(suffix_, sp, xe, y, z);
    }
    if (caret_) DrawCaretQuad(left + w + state_.spacing * 0.5f, y, z, lineHeight);
}

void cVek_TextDisplay::DrawLine(std::string_view text, float x, float y, float z) {
    BeginDraw();
    size_t pos = 0;
    DrawLineAt(text, pos, true, x, y, z);
    EndDraw();
}

void cVek_TextDisplay::DrawChar(uint8_t c, float x, float y, float z) {
    BeginDraw();
    SetCurrentColour(state_.colour);
    const float adv = GlyphAdvance(c) * state_.glyphScale;
    DrawGlyph(c, x + adv * 0.5f, y, z);
    EndDraw();
}

void cVek_TextDisplay::DrawBlock(std::string_view text, float x, float y, float z) {
    BeginDraw();
    float w = 0.0f, h = 0.0f;
    MeasureBlock(text, &w, &h);
    float top = alignment_ == kCentred ? y + h * 0.5f : (alignment_ == kRight ? y + h : y);
    const float gap = lineGap_ * globalScale_;
    size_t pos = 0;
    for (;;) {
        const State before = Save();
        size_t probe = pos;
        float lh = 0.0f;
        MeasureLineAt(text, probe, true, &lh);
        const bool last = !lastRunBroke_;
        Restore(before);
        const float centre = top - lh * 0.5f;
        DrawLineAt(text, pos, last, x, centre, z);
        if (last) break;
        top = centre - (gap + lh * 0.5f);
    }
    EndDraw();
}
