// Vector glyphs: the stroke table (grid points as two digits "xy", points of a stroke joined by
// commas, strokes separated by spaces, a lone point is a dot) and the solid bar drawing.
#include "ui/cVek_TextDisplay_Cyber.h"

#include "ui/GlDraw.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace vek::ui {
namespace {

constexpr int kGridColumns = 5, kGridRows = 9;
constexpr float kBaselineRow = 2.0f, kCentreRow = 5.0f, kRowsPerSize = 8.0f;

struct GridPoint {
    float x, y; // in size units from the glyph's left edge and the line centre
};

struct Segment {
    uint8_t a, b; // grid point indices (equal for a dot)
};

struct VectorGlyph {
    std::vector<Segment> segments;
    float advance = 0.5f;
    bool defined = false;
};

struct Tables {
    bool built = false;
    GridPoint grid[kGridColumns * kGridRows];
    VectorGlyph glyphs[128];
};

Tables& T() {
    static Tables t;
    return t;
}

struct Source {
    char c;
    const char* strokes;
};

const Source kStrokes[] = {
    {'A', "02,28,42 15,35"},
    {'B', "02,08,38,47,46,35,05 35,44,43,32,02"},
    {'C', "47,38,18,07,03,12,32,43"},
    {'D', "02,08,28,47,43,22,02"},
    {'E', "48,08,02,42 05,35"},
    {'F', "48,08,02 05,35"},
    {'G', "47,38,18,07,03,12,32,43,45,25"},
    {'H', "02,08 42,48 05,45"},
    {'I', "18,38 28,22 12,32"},
    {'J', "48,43,32,12,03"},
    {'K', "02,08 48,04 15,42"},
    {'L', "08,02,42"},
    {'M', "02,08,25,48,42"},
    {'N', "02,08,42,48"},
    {'O', "18,38,47,43,32,12,03,07,18"},
    {'P', "02,08,38,47,46,35,05"},
    {'Q', "18,38,47,43,32,12,03,07,18 24,42"},
    {'R', "02,08,38,47,46,35,05 25,42"},
    {'S', "47,38,18,07,06,15,35,44,43,32,12,03"},
    {'T', "08,48 28,22"},
    {'U', "08,03,12,32,43,48"},
    {'V', "08,22,48"},
    {'W', "08,12,25,32,48"},
    {'X', "08,42 02,48"},
    {'Y', "08,25,48 25,22"},
    {'Z', "08,48,02,42"},
    {'0', "18,38,47,43,32,12,03,07,18 14,36"},
    {'1', "17,28,22 12,32"},
    {'2', "07,18,38,47,46,02,42"},
    {'3', "07,18,38,47,46,35,15 35,44,43,32,12,03"},
    {'4', "38,04,44 36,32"},
    {'5', "48,08,05,35,44,43,32,12,03"},
    {'6', "47,38,18,07,03,12,32,43,44,35,15,04"},
    {'7', "08,48,22"},
    {'8', "18,38,47,46,35,15,06,07,18 15,04,03,12,32,43,44,35"},
    {'9', "44,35,15,06,07,18,38,47,43,32,12,03"},
    {'.', "22"},
    {',', "23,11"},
    {':', "22 25"},
    {';', "25 23,11"},
    {'!', "28,24 22"},
    {'?', "07,18,38,47,46,35,25,24 22"},
    {'-', "15,35"},
    {'+', "15,35 26,24"},
    {'=', "14,34 16,36"},
    {'*', "15,35 26,24 16,34 36,14"},
    {'/', "02,48"},
    {'\\', "08,42"},
    {'|', "28,20"},
    {'_', "01,41"},
    {'\'', "28,26"},
    {'"', "18,16 38,36"},
    {'(', "38,27,23,32"},
    {')', "18,27,23,12"},
    {'[', "38,18,12,32"},
    {']', "18,38,32,12"},
    {'<', "37,15,33"},
    {'>', "17,35,13"},
    {'#', "17,13 37,33 06,46 04,44"},
};

uint8_t PointIndex(int x, int y) {
    return uint8_t(y * kGridColumns + x);
}

// Parses one glyph's strokes into segments and sets its advance.
void Parse(const char* s, VectorGlyph& g) {
    int minX = kGridColumns, maxX = -1;
    std::vector<uint8_t> stroke;
    auto flush = [&] {
        if (stroke.size() == 1) g.segments.push_back(Segment{stroke[0], stroke[0]});
        for (size_t i = 1; i < stroke.size(); ++i)
            g.segments.push_back(Segment{stroke[i - 1], stroke[i]});
        stroke.clear();
    };
    for (const char* p = s; *p;) {
        if (*p == ' ') {
            flush();
            ++p;
            continue;
        }
        if (*p == ',') {
            ++p;
            continue;
        }
        const int x = p[0] - '0', y = p[1] - '0';
        stroke.push_back(PointIndex(x, y));
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        p += 2;
    }
    flush();
    g.defined = true;
    // Advance: the strokes' columns plus one stroke thickness, in size units of a column (1/8).
    g.advance = std::max(0.2f, float(maxX - minX + 1) / kRowsPerSize);
}

} // namespace

void BuildGlyphGrid() {
    Tables& t = T();
    if (t.built) return;
    for (int y = 0; y < kGridRows; ++y)
        for (int x = 0; x < kGridColumns; ++x)
            t.grid[PointIndex(x, y)] =
                GridPoint{float(x) / kRowsPerSize, (float(y) - kCentreRow) / kRowsPerSize};
    for (const Source& s : kStrokes)
        Parse(s.strokes, t.glyphs[uint8_t(s.c)]);
    t.glyphs[uint8_t(' ')].defined = true;
    t.glyphs[uint8_t(' ')].advance = 0.3f;
    t.built = true;
}

} // namespace vek::ui

namespace {

using vek::ui::T;

void SetColour(uint32_t rgb, float alpha) {
    glColor4ub(GLubyte((rgb >> 16) & 0xFF), GLubyte((rgb >> 8) & 0xFF), GLubyte(rgb & 0xFF),
               GLubyte(alpha * 255.0f + 0.5f));
}

// Corners of a bar around segment a-b, widened by `half` on every side (square caps).
void BarCorners(float ax, float ay, float bx, float by, float half, float xs[4], float ys[4]) {
    float dx = bx - ax, dy = by - ay;
    const float len = std::sqrt(dx * dx + dy * dy);
    if (len > 0.0f) {
        dx /= len;
        dy /= len;
    } else {
        dx = 1.0f;
        dy = 0.0f;
    }
    const float nx = -dy * half, ny = dx * half, ex = dx * half, ey = dy * half;
    xs[0] = ax - ex + nx;
    ys[0] = ay - ey + ny;
    xs[1] = ax - ex - nx;
    ys[1] = ay - ey - ny;
    xs[2] = bx + ex - nx;
    ys[2] = by + ey - ny;
    xs[3] = bx + ex + nx;
    ys[3] = by + ey + ny;
}

} // namespace

cVek_TextDisplay_Cyber::cVek_TextDisplay_Cyber(float size, uint32_t faceRgb, int32_t alignment)
    : cVek_TextDisplay(size, faceRgb, alignment) {
    vek::ui::BuildGlyphGrid();
    materials_[0] = faceRgb & 0xFFFFFF;
    SetVector(0.04f, -0.04f, 0.1f);
}

std::unique_ptr<cVek_TextDisplay> cVek_TextDisplay_Cyber::Clone() const {
    std::unique_ptr<cVek_TextDisplay_Cyber> copy(new cVek_TextDisplay_Cyber(*this));
    copy->glActive_ = false;
    return copy;
}

void cVek_TextDisplay_Cyber::SetDefaultColour(uint32_t rgb, int material) {
    if (material <= 0 || material > 2) {
        materials_[0] = rgb & 0xFFFFFF;
        cVek_TextDisplay::SetDefaultColour(rgb, 0);
    } else {
        materials_[material] = rgb & 0xFFFFFF;
    }
}

float cVek_TextDisplay_Cyber::GlyphAdvance(uint8_t c) const {
    if (c >= 'a' && c <= 'z') c = uint8_t(c - 'a' + 'A');
    if (c >= 128 || !T().glyphs[c].defined) return 0.5f;
    return T().glyphs[c].advance;
}

void cVek_TextDisplay_Cyber::BeginDraw() {
    if (!Drawing() && vek::ui::gl::Enabled()) {
        vek::ui::gl::PushFlat2dState();
        glActive_ = true;
    }
    cVek_TextDisplay::BeginDraw();
}

void cVek_TextDisplay_Cyber::EndDraw() {
    cVek_TextDisplay::EndDraw();
    if (!Drawing() && glActive_) {
        vek::ui::gl::PopState();
        glActive_ = false;
    }
}

void cVek_TextDisplay_Cyber::DrawGlyph(uint8_t c, float centreX, float centreY, float z) {
    if (!glActive_) return;
    const bool lower = c >= 'a' && c <= 'z';
    if (lower) c = uint8_t(c - 'a' + 'A');
    if (c >= 128 || !T().glyphs[c].defined) return;
    const vek::ui::VectorGlyph& g = T().glyphs[c];
    if (g.segments.empty()) return;
    const float gs = GlyphScale(), vs = VerticalScale();
    const float left = centreX - g.advance * gs * 0.5f;
    // Lower case: rows above the baseline at three quarters of their height.
    const float baseline = (vek::ui::kBaselineRow - vek::ui::kCentreRow) / vek::ui::kRowsPerSize;
    auto px = [&](const vek::ui::GridPoint& p) { return left + (p.x + 0.5f / vek::ui::kRowsPerSize) * gs; };
    auto py = [&](const vek::ui::GridPoint& p) {
        const float y = lower && p.y > baseline ? baseline + (p.y - baseline) * 0.75f : p.y;
        return centreY + y * vs;
    };
    const float half = thickness_ * vs * 0.5f, outline = half * 0.45f;
    const float ex = vector_[0] * vs, ey = vector_[1] * vs, ez = vector_[2] * vs;
    const float alpha = EffectiveAlpha();
    const uint32_t face = ShadowPass() ? shadowColour_ : CurrentColour();
    float xs[4], ys[4];

    // Outline behind everything, then the sides, then the faces.
    SetColour(materials_[2], alpha);
    glBegin(GL_QUADS);
    for (const vek::ui::Segment& s : g.segments) {
        const vek::ui::GridPoint& a = T().grid[s.a];
        const vek::ui::GridPoint& b = T().grid[s.b];
        BarCorners(px(a), py(a), px(b), py(b), half + outline, xs, ys);
        for (int k = 0; k < 4; ++k)
            glVertex3f(xs[k], ys[k], z);
    }
    glEnd();
    if (ex != 0.0f || ey != 0.0f || ez != 0.0f) {
        glBegin(GL_QUADS);
        for (const vek::ui::Segment& s : g.segments) {
            const vek::ui::GridPoint& a = T().grid[s.a];
            const vek::ui::GridPoint& b = T().grid[s.b];
            BarCorners(px(a), py(a), px(b), py(b), half, xs, ys);
            for (int k = 0; k < 4; ++k) {
                const int k2 = (k + 1) & 3;
                // Sides facing up and left catch the light; the others are in shade.
                const float nx = ys[k2] - ys[k], ny = xs[k] - xs[k2];
                const float len = std::sqrt(nx * nx + ny * ny);
                const float lit = len > 0.0f ? 0.5f + 0.5f * (-0.45f * nx + 0.9f * ny) / len : 0.75f;
                SetColour(vek::ui::MixColour(vek::ui::MixColour(materials_[1], 0x000000, 0.55f),
                                             materials_[1], lit),
                          alpha);
                glVertex3f(xs[k], ys[k], z);
                glVertex3f(xs[k2], ys[k2], z);
                glVertex3f(xs[k2] + ex, ys[k2] + ey, z + ez);
                glVertex3f(xs[k] + ex, ys[k] + ey, z + ez);
            }
        }
        glEnd();
    }
    SetColour(face, alpha);
    glBegin(GL_QUADS);
    for (const vek::ui::Segment& s : g.segments) {
        const vek::ui::GridPoint& a = T().grid[s.a];
        const vek::ui::GridPoint& b = T().grid[s.b];
        BarCorners(px(a), py(a), px(b), py(b), half, xs, ys);
        for (int k = 0; k < 4; ++k)
            glVertex3f(xs[k] + ex, ys[k] + ey, z + ez);
    }
    glEnd();
}

void cVek_TextDisplay_Cyber::DrawCaretQuad(float x, float y, float z, float height) {
    if (!glActive_) return;
    const float w = height * 0.1f, h = height * 0.8f;
    SetColour(CurrentColour(), EffectiveAlpha());
    glBegin(GL_QUADS);
    glVertex3f(x, y - h * 0.5f, z);
    glVertex3f(x + w, y - h * 0.5f, z);
    glVertex3f(x + w, y + h * 0.5f, z);
    glVertex3f(x, y + h * 0.5f, z);
    glEnd();
}
