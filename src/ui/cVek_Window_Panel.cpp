// Panel windows: panels side by side, rows and cells, the panel frame.
#include "ui/cVek_Window_Panel.h"

#include "ui/GlDraw.h"
#include "ui/cVek_Desktop.h"
#include "ui/cVek_InterfaceGadget.h"
#include "ui/cVek_SimpleButton.h"

#include <algorithm>

cVek_Window_Panel::cVek_Window_Panel(std::string_view title) : cVek_Window(title) {
    layer_ = kLayerPanels;
    canPin = false;
    canResize = false;
}

cVek_Window_Panel::~cVek_Window_Panel() = default;

bool cVek_Window_Panel::AddPanel(std::unique_ptr<vek::ui::Panel> panel) {
    if (!panel || int(panels_.size()) >= kMaxPanels) return false;
    panels_.push_back(std::move(panel));
    return true;
}

float cVek_Window_Panel::Border() const {
    const cVek_InterfaceGadget* look = Look();
    if (!look) return kPadding * scale_;
    return look->panelWindowOptions[0] ? look->panelFrame : kPadding * scale_;
}

vek::ui::Rect cVek_Window_Panel::Inner() const {
    const vek::ui::Rect b = Bounds();
    vek::ui::Rect r = b.Shrunk(Border());
    if (hasTitle) r.y1 = b.y1 - Border() - kTitleHeight * scale_;
    if (hasFooter) r.y0 = b.y0 + Border() + kFooterHeight * scale_;
    return r;
}

vek::ui::Rect cVek_Window_Panel::PanelArea() const {
    const vek::ui::Rect in = Inner();
    const int n = std::max(1, PanelCount());
    const float gap = RowGap();
    const float w = (in.Width() - gap * float(n - 1)) / float(n);
    const float x0 = in.x0 + float(current_) * (w + gap);
    return vek::ui::Rect{x0, in.y0, x0 + w, in.y1};
}

void cVek_Window_Panel::BeginRows(int n) {
    rows_ = Minimised() ? 1 : std::max(1, n);
    row_ = 0;
    const float gap = RowGap();
    rowHeight_ = std::max(0.0f, (PanelArea().Height() - gap * float(rows_ - 1)) / float(rows_));
}

vek::ui::Rect cVek_Window_Panel::CellRect(int column, int columns, int rowSpan) const {
    const vek::ui::Rect a = PanelArea();
    const float gap = RowGap();
    columns = std::max(1, columns);
    rowSpan = std::max(1, rowSpan);
    const float cw = (a.Width() - gap * float(columns - 1)) / float(columns);
    const float x0 = a.x0 + float(column) * (cw + gap);
    const float y1 = a.y1 - float(row_) * (rowHeight_ + gap);
    const float h = rowHeight_ * float(rowSpan) + gap * float(rowSpan - 1);
    return vek::ui::Rect{x0, y1 - h, x0 + cw, y1};
}

void cVek_Window_Panel::PlaceButton(cVek_SimpleButton& button, int column, int columns, int rowSpan) const {
    const vek::ui::Rect c = CellRect(column, columns, rowSpan);
    button.SetSize(c.Width(), c.Height());
    button.SetPosition(c.CentreX(), c.CentreY());
}

void cVek_Window_Panel::DrawFrame() {
    if (!vek::ui::gl::Enabled()) return;
    const cVek_InterfaceGadget* look = Look();
    if (!look) return;
    const vek::ui::Rect b = Bounds();
    const float radius = std::min(Border() * 1.2f, std::min(b.Width(), b.Height()) * 0.2f);
    if (look->panelWindowOptions[1])
        vek::ui::gl::SoftShadow(vek::ui::Rect{b.x0 + 0.002f, b.y0 - 0.002f, b.x1 + 0.002f, b.y1 - 0.002f},
                                radius, 0.006f, 0.3f * Fade());
    if (!look->panelWindowOptions[0]) return;
    const uint32_t top =
        frameColour ? vek::ui::MixColour(frameColour, 0xFFFFFF, 0.15f) : look->colours.panelFaceTop;
    const uint32_t bottom =
        frameColour ? vek::ui::MixColour(frameColour, 0x000000, 0.1f) : look->colours.panelFaceBottom;
    vek::ui::gl::FillRoundRect(b, radius, top, bottom, Fade());
    vek::ui::gl::FrameRoundRect(b, radius, std::max(0.0008f, Border() * 0.15f), look->colours.panelBorder,
                                Fade());
}

void cVek_Window_Panel::RunBody() {
    for (size_t i = 0; i < panels_.size(); ++i) {
        current_ = int(i);
        BeginRows(1);
        panels_[i]->Frame(*this);
    }
    current_ = 0;
    cVek_Window::RunBody();
}
