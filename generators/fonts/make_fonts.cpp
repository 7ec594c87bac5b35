// Makes the two font sheets and their glyph tables:
//   Data/font.jpg   the text font (DejaVu Sans through FreeType), white glyphs on black, grey JPEG;
//   Data/icons.jpg  the icon font, colour in the upper half and alpha as grey in the lower half;
//   src/ui/GlyphTables.cpp  one table of 223 glyph metrics (bytes 32..254) per font.
// Grey levels encode coverage c as 8 + c * 240 / 255, so the loader's alpha = (L - 8) * 255 / 240,
// clamped, maps the JPEG's noise floor and ceiling to exact 0 and 255.
// Run: make_fonts [repository root]
#include "IconArt.h"
#include "platform/ImageCodec.h"
#include "shell/MacRoman.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kFirst = 32;
constexpr int kCount = 223;

// Text font: one em is this fraction of the display's text size. Chosen so capitals (0.729 em in
// DejaVu Sans) and descenders (0.236 em) fill the glyph box of 0.807571 size whose baseline sits
// 0.20504732 size above its bottom.
constexpr double kEmPerSize = 0.82;
constexpr int kEmPixels = 108; // rendering size; the sheet is mipmapped for smaller text
constexpr int kPad = 7;        // transparent texels around each glyph inside its rectangle
constexpr int kGap = 4;        // extra texels between rectangles, against mipmap bleeding
constexpr int kSheetW = 2048, kSheetH = 1024;
constexpr double kSpacing = 0.2; // the display adds this after every glyph

// Icon font.
constexpr int kIconCell = 128;
constexpr int kIconSheetW = 1024, kIconSheetH = 256; // texture size; the JPEG is twice as tall

struct Metric {
    int code = 0;
    bool defined = false;
    double advance = 0.5, width = 0.5;
    double x = 0, y = 0, w = 0, h = 0;
    int tx = 0, ty = 0, tw = 0, th = 0;
};

uint8_t CoverageToGrey(double c) {
    c = std::min(1.0, std::max(0.0, c));
    return uint8_t(8.0 + c * 240.0 + 0.5);
}

struct Glyph {
    int code = 0;
    int cols = 0, rows = 0, left = 0, top = 0;
    double advancePx = 0.0;
    std::vector<uint8_t> cover;
    int sx = 0, sy = 0; // placement of the padded rectangle in the sheet
};

bool RenderTextFont(const std::string& fontFile, std::vector<Metric>& metrics, vek::Image8& sheet) {
    FT_Library lib;
    if (FT_Init_FreeType(&lib)) return false;
    FT_Face face;
    if (FT_New_Face(lib, fontFile.c_str(), 0, &face)) {
        std::fprintf(stderr, "cannot open %s\n", fontFile.c_str());
        return false;
    }
    FT_Set_Pixel_Sizes(face, 0, kEmPixels);

    std::vector<Glyph> glyphs;
    for (int code = kFirst; code < kFirst + kCount; ++code) {
        const uint32_t cp = vek::MacRomanToUnicode(uint8_t(code));
        Metric& m = metrics[code - kFirst];
        m.code = code;
        const FT_UInt index = FT_Get_Char_Index(face, cp);
        if (index == 0) continue; // no glyph: undefined (advance 0.5, nothing drawn)
        if (FT_Load_Glyph(face, index, FT_LOAD_NO_HINTING)) continue;
        // A slight emboldening keeps strokes solid once the sheet is minified to small text.
        FT_Outline_Embolden(&face->glyph->outline, 64); // one pixel, 26.6 fixed point
        if (FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL)) continue;
        const FT_Bitmap& bm = face->glyph->bitmap;
        Glyph g;
        g.code = code;
        g.cols = int(bm.width);
        g.rows = int(bm.rows);
        g.left = face->glyph->bitmap_left;
        g.top = face->glyph->bitmap_top;
        g.advancePx = face->glyph->advance.x / 64.0;
        g.cover.resize(size_t(g.cols) * g.rows);
        for (int r = 0; r < g.rows; ++r)
            for (int c = 0; c < g.cols; ++c)
                g.cover[size_t(r) * g.cols + c] = bm.buffer[r * bm.pitch + c];
        m.defined = true;
        glyphs.push_back(std::move(g));
    }
    FT_Done_Face(face);
    FT_Done_FreeType(lib);

    // Shelf packing, tallest first.
    std::vector<Glyph*> order;
    for (auto& g : glyphs)
        order.push_back(&g);
    std::stable_sort(order.begin(), order.end(),
                     [](const Glyph* a, const Glyph* b) { return a->rows > b->rows; });
    int x = kGap, y = kGap, shelf = 0;
    for (Glyph* g : order) {
        const int w = g->cols + 2 * kPad, h = g->rows + 2 * kPad;
        if (x + w + kGap > kSheetW) {
            x = kGap;
            y += shelf + kGap;
            shelf = 0;
        }
        if (y + h + kGap > kSheetH) {
            std::fprintf(stderr, "text font does not fit the %dx%d sheet\n", kSheetW, kSheetH);
            return false;
        }
        g->sx = x;
        g->sy = y;
        x += w + kGap;
        shelf = std::max(shelf, h);
    }
    std::printf("text sheet: %d of %d rows used\n", y + shelf + kGap, kSheetH);

    if (!sheet.Create(kSheetW, kSheetH, 1)) return false;
    std::fill(sheet.Pixels(), sheet.Pixels() + sheet.Bytes(), CoverageToGrey(0.0));
    const double s = kEmPerSize / kEmPixels; // pixels to size units
    for (const Glyph& g : glyphs) {
        for (int r = 0; r < g.rows; ++r)
            for (int c = 0; c < g.cols; ++c)
                sheet.Row(g.sy + kPad + r)[g.sx + kPad + c] =
                    CoverageToGrey(g.cover[size_t(r) * g.cols + c] / 255.0);
        Metric& m = metrics[g.code - kFirst];
        m.width = g.advancePx * s;
        m.advance = std::max(0.02, m.width - kSpacing);
        m.x = (g.left - kPad) * s;
        m.y = (g.top - g.rows - kPad) * s;
        m.w = (g.cols + 2 * kPad) * s;
        m.h = (g.rows + 2 * kPad) * s;
        m.tx = g.sx;
        m.ty = g.sy;
        m.tw = g.cols + 2 * kPad;
        m.th = g.rows + 2 * kPad;
        if (g.cols == 0 || g.rows == 0) { // the space: an advance without a sprite
            m.w = m.h = 0.0;
            m.tw = m.th = 0;
        }
    }
    return true;
}

// Fills the colour of fully transparent texels from their nearest visible neighbours, so filtering
// and mipmaps never pull dark fringes into the icons' edges.
void BleedColour(std::vector<float>& rgba, int w, int h) {
    std::vector<uint8_t> known(size_t(w) * h);
    for (size_t k = 0; k < known.size(); ++k)
        known[k] = rgba[k * 4 + 3] > 0.004f;
    for (int pass = 0; pass < w + h; ++pass) {
        bool changed = false;
        std::vector<uint8_t> next = known;
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i) {
                const size_t k = size_t(j) * w + i;
                if (known[k]) continue;
                float sum[3] = {0, 0, 0};
                int n = 0;
                for (int dj = -1; dj <= 1; ++dj)
                    for (int di = -1; di <= 1; ++di) {
                        const int u = i + di, v = j + dj;
                        if (u < 0 || v < 0 || u >= w || v >= h || !known[size_t(v) * w + u]) continue;
                        for (int c = 0; c < 3; ++c)
                            sum[c] += rgba[(size_t(v) * w + u) * 4 + c];
                        ++n;
                    }
                if (n) {
                    for (int c = 0; c < 3; ++c)
                        rgba[k * 4 + c] = sum[c] / n;
                    next[k] = 1;
                    changed = true;
                }
            }
        known.swap(next);
        if (!changed) break;
    }
}

bool RenderIconFont(std::vector<Metric>& metrics, vek::Image8& sheet) {
    struct Item {
        int code;
        double quad;  // quad side in size units
        double width; // own width
        double advance;
    };
    // Tool icons fill a 1 x 1 box centred on the line; the dots are smaller quads, so that the six
    // pen-size captions ('.', 2x '.', 0.67x dot, dot, 1.5x dot, 2x dot) grow steadily.
    const Item items[] = {{'A', 1.0, 1.0, 0.8},    {'B', 1.0, 1.0, 0.8},    {'C', 1.0, 1.0, 0.8},
                          {'D', 1.0, 1.0, 0.8},    {'E', 1.0, 1.0, 0.8},    {'F', 1.0, 1.0, 0.8},
                          {'G', 1.0, 1.0, 0.8},    {'H', 1.0, 1.0, 0.8},    {'I', 1.0, 1.0, 0.8},
                          {'.', 0.16, 0.16, 0.14}, {0xA5, 0.40, 0.40, 0.36}};
    std::vector<float> rgba(size_t(kIconSheetW) * kIconSheetH * 4, 0.0f);
    const int perRow = kIconSheetW / kIconCell;
    int slot = 0;
    // Line centre above the baseline: the glyph box is 0.807571 tall with its baseline 0.20504732
    // above its bottom, and is centred on the line.
    const double centreAboveBaseline = 0.807571 * 0.5 - 0.20504732;
    for (const Item& it : items) {
        gen::RgbaCell cell;
        if (!gen::DrawIcon(uint8_t(it.code), kIconCell, cell)) return false;
        const int cx = (slot % perRow) * kIconCell, cy = (slot / perRow) * kIconCell;
        if (cy + kIconCell > kIconSheetH) return false;
        for (int j = 0; j < kIconCell; ++j)
            for (int i = 0; i < kIconCell; ++i)
                for (int c = 0; c < 4; ++c)
                    rgba[(size_t(cy + j) * kIconSheetW + cx + i) * 4 + c] =
                        cell.rgba[(size_t(j) * kIconCell + i) * 4 + c];
        Metric& m = metrics[it.code - kFirst];
        m.defined = true;
        m.width = it.width;
        m.advance = it.advance;
        m.x = (it.width - it.quad) * 0.5;
        m.y = centreAboveBaseline - it.quad * 0.5;
        m.w = m.h = it.quad;
        m.tx = cx;
        m.ty = cy;
        m.tw = m.th = kIconCell;
        ++slot;
    }
    BleedColour(rgba, kIconSheetW, kIconSheetH);
    if (!sheet.Create(kIconSheetW, kIconSheetH * 2, 3)) return false;
    for (int j = 0; j < kIconSheetH; ++j)
        for (int i = 0; i < kIconSheetW; ++i) {
            const float* p = &rgba[(size_t(j) * kIconSheetW + i) * 4];
            uint8_t* top = sheet.Row(j) + i * 3;
            uint8_t* bottom = sheet.Row(j + kIconSheetH) + i * 3;
            for (int c = 0; c < 3; ++c)
                top[c] = uint8_t(std::min(1.0f, std::max(0.0f, p[c])) * 255.0f + 0.5f);
            bottom[0] = bottom[1] = bottom[2] = CoverageToGrey(p[3]);
        }
    return true;
}

void WriteTable(FILE* f, const char* name, const std::vector<Metric>& metrics) {
    std::fprintf(f, "const GlyphMetric %s[kGlyphMetricCount] = {\n", name);
    for (const Metric& m : metrics) {
        if (!m.defined) {
            std::fprintf(f, "    {%d, 0, 0.5f, 0.5f, 0.0f, 0.0f, 0.0f, 0.0f, 0, 0, 0, 0},\n", m.code);
            continue;
        }
        std::fprintf(f, "    {%d, 1, %.6ff, %.6ff, %.6ff, %.6ff, %.6ff, %.6ff, %d, %d, %d, %d},\n", m.code,
                     m.advance, m.width, m.x, m.y, m.w, m.h, m.tx, m.ty, m.tw, m.th);
    }
    std::fprintf(f, "};\n\n");
}

} // namespace

int main(int argc, char** argv) {
    const std::string root = argc > 1 ? argv[1] : SX_SOURCE_DIR;
    std::vector<Metric> text(kCount), icons(kCount);
    for (int k = 0; k < kCount; ++k)
        text[k].code = icons[k].code = kFirst + k;

    vek::Image8 textSheet, iconSheet;
    if (!RenderTextFont(SX_FONT_FILE, text, textSheet)) return 1;
    if (!RenderIconFont(icons, iconSheet)) return 1;
    if (!vek::SaveJpeg(textSheet.View(), 95, root + "/Data/font.jpg") ||
        !vek::SaveJpeg(iconSheet.View(), 95, root + "/Data/icons.jpg")) {
        std::fprintf(stderr, "cannot write the sheets: %s\n", vek::ImageCodecError());
        return 1;
    }

    const std::string tablePath = root + "/src/ui/GlyphTables.cpp";
    FILE* f = std::fopen(tablePath.c_str(), "w");
    if (!f) return 1;
    std::fprintf(
        f, "// Generated by generators/fonts/make_fonts from DejaVu Sans and the icon artwork; do not edit.\n"
           "// Glyph metrics of the text font (font.jpg) and the icon font (icons.jpg), bytes 32..254.\n"
           "#include \"ui/GlyphTables.h\"\n\n"
           "// clang-format off\n"
           "namespace vek::ui {\n"
           "namespace {\n\n");
    WriteTable(f, "kTextMetrics", text);
    WriteTable(f, "kIconMetrics", icons);
    std::fprintf(f,
                 "} // namespace\n\n"
                 "const GlyphSheetInfo kTextFontSheet = {%d, %d, kTextMetrics};\n"
                 "const GlyphSheetInfo kIconFontSheet = {%d, %d, kIconMetrics};\n\n"
                 "} // namespace vek::ui\n",
                 kSheetW, kSheetH, kIconSheetW, kIconSheetH);
    const bool ok = std::fclose(f) == 0;
    std::printf("wrote %s/Data/font.jpg, %s/Data/icons.jpg and %s\n", root.c_str(), root.c_str(),
                tablePath.c_str());
    return ok ? 0 : 1;
}
