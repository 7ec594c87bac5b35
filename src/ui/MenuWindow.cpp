// Menu windows: row layout, row drawing and choosing.
#include "ui/MenuWindow.h"

#include "ui/GlDraw.h"
#include "ui/UiTexts.h"
#include "ui/cVek_Desktop.h"
#include "ui/cVek_InterfaceGadget.h"
#include "ui/cVek_TextDisplay.h"

#include <algorithm>

namespace vek::ui {
namespace {

// Sets a display to the menu's text size and left alignment for the scope, then restores it.
class RowText {
  public:
    RowText(cVek_TextDisplay& t, float size)
        : t_(t), size_(t.Size()), align_(t.Alignment()), colour_(t.DefaultColour()) {
        t_.SetSize(size);
        t_.SetAlignment(cVek_TextDisplay::kLeft);
        t_.RestoreAfterDraw();
    }
    ~RowText() {
        t_.ClearSuffix();
        t_.SetDefaultColour(colour_);
        t_.SetSize(size_);
        t_.SetAlignment(align_);
        t_.RestoreAfterDraw();
    }
    cVek_TextDisplay& operator*() { return t_; }
    cVek_TextDisplay* operator->() { return &t_; }

  private:
    cVek_TextDisplay& t_;
    float size_;
    int32_t align_;
    uint32_t colour_;
};

bool Selectable(const MenuList::Entry& e) {
    return e.kind != MenuList::kSeparator && e.kind != MenuList::kSpacer;
}

} // namespace

MenuWindow::MenuWindow(std::unique_ptr<MenuList> list)
    : cVek_Window(list ? std::string_view(list->Title()) : std::string_view()), list_(std::move(list)) {
    if (!list_) list_ = std::make_unique<MenuList>();
    layer_ = kLayerFloating;
    hasFrame = true;
    hasTitle = true;
    hasFooter = true;
    SetOneShot(true);
    RefreshList();
}

MenuWindow::~MenuWindow() = default;

void MenuWindow::ApplyDefaultScale() {
    const cVek_InterfaceGadget* look = Desktop() ? Look() : nullptr;
    StoreScale(look ? look->dialogScale : 1.0f);
}

void MenuWindow::SetOneShotChoice(bool on) {
    closeIsCancel = on;
    canPin = !on;
}

void MenuWindow::RefreshList() {
    list_->Refresh();
    list_->RefreshCheckBoxes();
    SetTitle(list_->Title());
}

std::string_view MenuWindow::CloseHelp() const {
    return texts::kCloseMenuHelp;
}
std::string_view MenuWindow::PinHelp() const {
    return texts::kPinMenuHelp;
}

float MenuWindow::RowWidth(int entry) {
    const MenuList::Entry& e = list_->At(entry);
    if (!Selectable(e)) return 0.0f;
    cVek_InterfaceGadget* look = Look();
    if (!look) return 0.0f;
    RowText t(look->BodyText(), kTextSize * scale_);
    const float label = t->MeasureLine(e.label);
    const float marker = t->MeasureLine(texts::kSubMenuMarker), dots = t->MeasureLine(texts::kDialogMarker);
    switch (e.kind) {
    case MenuList::kSubMenu:
    case MenuList::kCheckBox:
        return label + 1.1f * marker;
    case MenuList::kDialog:
        return label + 1.1f * dots;
    default:
        return label + 0.55f * marker;
    }
}

void MenuWindow::Layout() {
    cVek_InterfaceGadget* look = Look();
    if (!look) return;
    const float s = scale_;
    const float rowH = kRowHeight * s, thin = rowH * 0.25f, margin = kRowMargin * s, pad = kPadding * s;
    // A list with no entries shows only its title and the close button.
    const bool empty = list_->Count() == 0;
    canResize = !empty;
    if (empty)
        canPin = false;
    else if (!closeIsCancel)
        canPin = true;

    float widest = 0.0f, height = 0.0f;
    rows_.clear();
    for (int i = 0; i < list_->Count(); ++i) {
        const MenuList::Entry& e = list_->At(i);
        if (e.hidden) continue;
        const float h = Selectable(e) ? rowH : thin;
        rows_.push_back(Row{i, Rect{0.0f, -height - h, 0.0f, -height}});
        height += h;
        widest = std::max(widest, RowWidth(i));
    }
    // Wide enough for its widest row, its title and its footer controls.
    float titleW = 0.0f;
    {
        RowText t(look->TitleText(), kTitleHeight * s * 0.65f);
        titleW = t->MeasureLine(Title());
    }
    const float footer = kFooterHeight * s;
    const float footerW = footer * ((canPin ? 0.82f : 0.0f) + (canResize ? 1.25f : 0.0f) + 3.2f) + pad * 5.0f;
    const float w = std::max({widest + 2.0f * margin + 2.0f * pad, titleW + 4.0f * pad, footerW});
    const float body = Minimised() || rows_.empty() ? 0.0f : height + pad;
    const float h = kTitleHeight * s + footer + body + pad;
    if (w != w_) {
        const float left = cx_ - w_ * 0.5f;
        w_ = w;
        cx_ = left + w_ * 0.5f;
    }
    SetHeightKeepingTop(h);
    // Rows in desktop units, from the top of the body down.
    const Rect in = Inner();
    for (Row& r : rows_) {
        r.rect.x0 = in.x0;
        r.rect.x1 = in.x1;
        r.rect.y0 += in.y1;
        r.rect.y1 += in.y1;
    }
    if (Minimised()) rows_.clear();
}

int MenuWindow::EntryAt(float x, float y) const {
    for (const Row& r : rows_)
        if (r.rect.Contains(x, y) && Selectable(list_->At(r.entry))) return r.entry;
    return -1;
}

void MenuWindow::RunBody() {
    if (Minimised()) return;
    cVek_Desktop& d = *Desktop();
    // Rows are laid out again after a choice; iterate over a copy of the indices.
    for (size_t k = 0; k < rows_.size(); ++k) {
        const Row row = rows_[k];
        if (row.entry >= list_->Count()) break;
        const MenuList::Entry& e = list_->At(row.entry);
        if (!Selectable(e)) {
            if (e.kind == MenuList::kSeparator && gl::Enabled()) {
                const float y = row.rect.CentreY(), inset = kRowMargin * scale_;
                gl::Line(row.rect.x0 + inset, y, row.rect.x1 - inset, y, std::max(0.0008f, 0.001f * scale_),
                         Look()->colours.separator, Fade());
            }
            continue;
        }
        const cVek_Desktop::ItemState st = d.Behaviour(*this, row.rect, row.entry, e.enabled);
        if (st.hovered && (d.ActiveItem() == 0 || st.held) && !e.help.empty())
            d.Popup().Offer(this, row.entry, 0, e.help, row.rect);
        float& hover = d.Animation(st.key);
        const bool hot = st.hovered && e.enabled;
        hover = Look()->animations
                    ? std::min(1.0f, std::max(0.0f, hover + float(d.FrameTime()) * (hot ? 14.0f : -6.0f)))
                    : (hot ? 1.0f : 0.0f);
        if (hover > 0.0f && hover < 1.0f) d.KeepAnimating();
        if (gl::Enabled()) DrawRow(row, e, hot, hover, st.held);
        if (st.pressed) {
            MenuChoice c;
            c.window = this;
            c.desktop = &d;
            c.x = d.Mouse().X();
            c.y = d.Mouse().Y();
            d.PlayClick();
            list_->Choose(row.entry, c);
            RefreshList();
            Used();
            break; // the rows may have changed
        }
    }
}

void MenuWindow::DrawRow(const Row& row, const MenuList::Entry& e, bool hot, float hover, bool held) {
    cVek_InterfaceGadget* look = Look();
    const UiColours& c = look->colours;
    const Rect& r = row.rect;
    const float ts = kTextSize * scale_, margin = kRowMargin * scale_;
    if (hover > 0.0f) {
        const uint32_t face = held ? c.buttonPressed : c.menuHover;
        gl::FillRoundRect(r, r.Height() * 0.25f, MixColour(face, 0xFFFFFF, 0.3f), face,
                          0.9f * hover * Fade());
    }
    (void)hot;
    RowText t(look->BodyText(), ts);
    t->SetDefaultColour(e.enabled ? c.bodyText : c.disabledText);
    t->SetFade(Fade());
    if (e.kind == MenuList::kSubMenu) t->SetSuffix(texts::kSubMenuMarker);
    if (e.kind == MenuList::kDialog) t->SetSuffix(texts::kDialogMarker);
    t->DrawLine(e.label, r.x0 + margin, r.CentreY());
    // Check boxes (and actions that show a state) carry their mark at the right end of the row.
    if (e.kind == MenuList::kCheckBox) {
        const float side = ts * 0.85f;
        const Rect box{r.x1 - margin - side, r.CentreY() - side * 0.5f, r.x1 - margin,
                       r.CentreY() + side * 0.5f};
        gl::FillRoundRect(box, side * 0.2f, 0xFFFFFF, MixColour(0xFFFFFF, 0x000000, 0.08f), Fade());
        gl::FrameRoundRect(box, side * 0.2f, std::max(0.0008f, side * 0.09f), c.buttonBorder, Fade());
        if (e.checked) gl::CheckMark(box.Shrunk(side * 0.1f), c.checkMark, Fade());
    } else if (e.checked) {
        const float side = ts * 0.8f;
        gl::CheckMark(
            Rect{r.x1 - margin - side, r.CentreY() - side * 0.5f, r.x1 - margin, r.CentreY() + side * 0.5f},
            c.checkMark, Fade());
    }
}

} // namespace vek::ui
