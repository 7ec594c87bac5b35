// Dialog windows: size from the content and the chrome, the "Apply" button.
#include "ui/cVek_Window_Dialog.h"

#include "ui/UiTexts.h"
#include "ui/cVek_Desktop.h"
#include "ui/cVek_InterfaceGadget.h"
#include "ui/cVek_SimpleButton.h"

#include <algorithm>

namespace {
constexpr int kIdApply = cVek_Window::kIdApply;
}

cVek_Window_Dialog::cVek_Window_Dialog(std::string_view title, float contentWidth, float contentHeight)
    : cVek_Window(title), contentW_(contentWidth), contentH_(contentHeight) {
    layer_ = kLayerFloating;
    hasFrame = true;
    hasTitle = true;
    hasFooter = true;
}

cVek_Window_Dialog::~cVek_Window_Dialog() = default;

void cVek_Window_Dialog::ApplyDefaultScale() {
    const cVek_InterfaceGadget* look = Desktop() ? Look() : nullptr;
    StoreScale(look ? look->dialogScale : 1.0f);
}

void cVek_Window_Dialog::SetContentSize(float w, float h) {
    contentW_ = std::max(0.0f, w);
    contentH_ = std::max(0.0f, h);
}

void cVek_Window_Dialog::Layout() {
    const float s = scale_;
    // Wide enough for the footer: pin box, size toggle, "Apply" and "Close".
    const float footer = kFooterHeight * s;
    const float minW = footer * (0.82f + 1.25f + (apply_ ? 3.4f : 0.0f) + 3.2f) + kPadding * s * 6.0f;
    const float w = std::max(contentW_ * s + 2.0f * kPadding * s, minW);
    const float body = Minimised() ? 0.0f : contentH_ * s + kPadding * s;
    const float h = kTitleHeight * s + footer + body + kPadding * s;
    if (w != w_) {
        const float left = cx_ - w_ * 0.5f;
        w_ = w;
        cx_ = left + w_ * 0.5f;
    }
    SetHeightKeepingTop(h);
}

void cVek_Window_Dialog::RunFooterExtras(const vek::ui::Rect& room) {
    if (!apply_ || room.Empty()) return;
    cVek_SimpleButton& b = Desktop()->ControlButton();
    const float h = room.Height(), w = std::min(h * 3.2f, room.Width());
    b.SetSize(w, h);
    if (b.Do(*this, room.x1 - w * 0.5f, room.CentreY(), vek::ui::texts::kApply, vek::ui::texts::kApplyHelp,
             kIdApply))
        apply_(*this, applyUser_);
}

namespace vek::ui {

cVek_Window_Dialog* OpenDialog(cVek_Desktop& desktop, const DialogDescription& d, float x, float y) {
    auto w = std::make_unique<cVek_Window_Dialog>(d.title ? d.title : "", d.width, d.height);
    w->SetBody(d.body, d.user);
    w->SetApply(d.apply, d.user);
    cVek_Window_Dialog* raw = desktop.Add(std::move(w));
    raw->Layout();
    raw->PlaceTopLeft(x, y);
    desktop.PlayOpen();
    return raw;
}

} // namespace vek::ui
