// Message windows: the text block measured for the size and drawn left-aligned in the body.
#include "ui/cVek_Window_Info.h"

#include "ui/GlDraw.h"
#include "ui/cVek_Desktop.h"
#include "ui/cVek_InterfaceGadget.h"
#include "ui/cVek_TextDisplay.h"

#include <algorithm>

cVek_Window_Info::cVek_Window_Info(std::string_view title, std::string_view text)
    : cVek_Window(title), text_(text.data(), text.size()) {
    layer_ = kLayerFloating;
    hasFrame = true;
    hasTitle = true;
    hasFooter = true;
    SetOneShot(true);
}

cVek_Window_Info::~cVek_Window_Info() = default;

void cVek_Window_Info::ApplyDefaultScale() {
    const cVek_InterfaceGadget* look = Desktop() ? Look() : nullptr;
    StoreScale(look ? look->dialogScale : 1.0f);
}

void cVek_Window_Info::Layout() {
    cVek_InterfaceGadget* look = Look();
    if (!look) return;
    const float s = scale_;
    cVek_TextDisplay& t = look->BodyText();
    const float oldSize = t.Size();
    t.SetSize(kTextSize * s);
    t.RestoreAfterDraw();
    float bw = 0.0f, bh = 0.0f;
    t.MeasureBlock(text_, &bw, &bh);
    t.SetSize(oldSize);
    t.RestoreAfterDraw();
    const float margin = 0.012f * s;
    const float footer = kFooterHeight * s;
    const float minW = footer * (0.82f + 1.25f + 3.2f) + kPadding * s * 6.0f;
    const float w = std::max(bw + 2.0f * margin + 2.0f * kPadding * s, minW);
    const float body = Minimised() ? 0.0f : bh + 2.0f * margin;
    if (w != w_) {
        const float left = cx_ - w_ * 0.5f;
        w_ = w;
        cx_ = left + w_ * 0.5f;
    }
    SetHeightKeepingTop(kTitleHeight * s + footer + body + 2.0f * kPadding * s);
}

void cVek_Window_Info::RunBody() {
    if (Minimised() || !vek::ui::gl::Enabled()) return;
    cVek_InterfaceGadget* look = Look();
    cVek_TextDisplay& t = look->BodyText();
    const float oldSize = t.Size();
    const int32_t oldAlign = t.Alignment();
    t.SetSize(kTextSize * scale_);
    t.SetAlignment(cVek_TextDisplay::kLeft);
    t.RestoreAfterDraw();
    t.SetFade(Fade());
    const vek::ui::Rect in = Inner();
    const float margin = 0.012f * scale_;
    t.DrawBlock(text_, in.x0 + margin, in.y1 - margin);
    t.SetSize(oldSize);
    t.SetAlignment(oldAlign);
    t.RestoreAfterDraw();
}
