// Glyph slots of a sprite font, filled from the generated metrics tables.
#include "ui/cVek_Font.h"

cVek_Font::cVek_Font() = default;

void cVek_Font::LoadMetrics(const vek::ui::GlyphSheetInfo& sheet) {
    if (!sheet.metrics || sheet.width <= 0 || sheet.height <= 0) return;
    const float invW = 1.0f / float(sheet.width), invH = 1.0f / float(sheet.height);
    for (int k = 0; k < vek::ui::kGlyphMetricCount; ++k) {
        const vek::ui::GlyphMetric& m = sheet.metrics[k];
        Glyph& g = glyphs_[m.code];
        g = Glyph{};
        if (!m.defined) continue;
        g.defined = true;
        g.advance = m.advance;
        g.width = m.width;
        if (m.tw == 0 || m.th == 0) continue; // an advance without ink (the space)
        Sprite s;
        s.u0 = float(m.tx) * invW;
        s.v0 = float(m.ty) * invH;
        s.u1 = float(m.tx + m.tw) * invW;
        s.v1 = float(m.ty + m.th) * invH;
        s.w = m.w;
        s.h = m.h;
        sprites_.push_back(s);
        ChainEntry e;
        e.sprite = uint16_t(sprites_.size() - 1);
        e.x = m.x;
        e.y = m.y;
        e.more = false;
        g.firstEntry = int(entries_.size());
        entries_.push_back(e);
    }
}
