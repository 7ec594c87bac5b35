// Window base: geometry, state, the title bar's drag and click, and the footer controls.
//
// Title bar, press / drag / release:
//   press on the title                     -> title active; remember pointer, position and whether
//                                             the window was the selected one before the press
//   pointer moves beyond 0.003 units       -> dragging: the window follows and becomes pinned
//   release, dragged                       -> the drag ends
//   release, not dragged, was selected     -> pinned: size toggled; else closed
//   release, not dragged, was not selected -> nothing more (the press selected it)
#include "ui/cVek_Window.h"

#include "shell/ShellState.h"
#include "ui/GlDraw.h"
#include "ui/UiTexts.h"
#include "ui/cVek_Desktop.h"
#include "ui/cVek_InterfaceGadget.h"
#include "ui/cVek_InterfaceShape.h"
#include "ui/cVek_SimpleButton.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr int kIdTitle = 100000004;
constexpr float kDragThreshold = 0.003f;
constexpr float kFadeSeconds = 0.15f;
} // namespace

cVek_Window::cVek_Window(std::string_view title) : title_(title.data(), title.size()) {}

cVek_Window::~cVek_Window() = default;

void cVek_Window::StoreScale(float scale) {
    scale_ = scale > 0.0f ? scale : kMinScale;
}

void cVek_Window::SetScale(float scale) {
    StoreScale(scale);
    scaleExplicit_ = true;
}

void cVek_Window::ApplyDefaultScale() {
    const cVek_InterfaceGadget* look = desktop_ ? Look() : nullptr;
    StoreScale(look ? look->windowScale : 1.0f);
}

// ---- placement

void cVek_Window::Place(float cx, float cy) {
    cx_ = cx;
    cy_ = cy;
    if (desktop_) desktop_->KeepOnScreen(*this);
}

void cVek_Window::SetSize(float w, float h) {
    w_ = std::max(0.0f, w);
    h_ = std::max(0.0f, h);
    if (desktop_) desktop_->KeepOnScreen(*this);
}

void cVek_Window::SetPlacement(float cx, float cy, float w, float h) {
    w_ = std::max(0.0f, w);
    h_ = std::max(0.0f, h);
    Place(cx, cy);
}

void cVek_Window::PlaceTopLeft(float x, float y) {
    Place(x + w_ * 0.5f, y - h_ * 0.5f);
}

vek::ui::Rect cVek_Window::TitleRect() const {
    const vek::ui::Rect b = Bounds();
    return vek::ui::Rect{b.x0, b.y1 - kTitleHeight * scale_, b.x1, b.y1};
}

vek::ui::Rect cVek_Window::FooterRect() const {
    const vek::ui::Rect b = Bounds();
    return vek::ui::Rect{b.x0, b.y0, b.x1, b.y0 + kFooterHeight * scale_};
}

vek::ui::Rect cVek_Window::Inner() const {
    vek::ui::Rect b = Bounds().Shrunk(hasFrame ? kPadding * scale_ : 0.0f);
    if (hasTitle) b.y1 = Bounds().y1 - kTitleHeight * scale_ - kPadding * scale_ * 0.5f;
    if (hasFooter) b.y0 = Bounds().y0 + kFooterHeight * scale_ + kPadding * scale_ * 0.5f;
    return b;
}

// Keeps the top edge where it is while the height changes (windows grow and shrink downwards).
void cVek_Window::SetHeightKeepingTop(float h) {
    const float top = cy_ + h_ * 0.5f;
    h_ = std::max(0.0f, h);
    cy_ = top - h_ * 0.5f;
    if (desktop_) desktop_->KeepOnScreen(*this);
}

// ---- state

void cVek_Window::Close() {
    if (state_ == State::kOpen) state_ = State::kClosing;
}

void cVek_Window::BringToFront() {
    if (desktop_) desktop_->BringToFront(this);
}

void cVek_Window::SetMinimised(bool on) {
    if (minimised_ == on) return;
    minimised_ = on;
    vek::shell::RedrawCounter()++;
}

void cVek_Window::Used() {
    if (oneShot_ && !pinned_) Close();
}

cVek_InterfaceGadget* cVek_Window::Look() const {
    if (ownLook_) return ownLook_.get();
    return desktop_ ? desktop_->Look() : nullptr;
}

void cVek_Window::OwnLook() {
    if (!ownLook_ && desktop_) ownLook_ = desktop_->Look()->Clone();
}

cVek_Window* cVek_Window::Previous() const {
    if (!desktop_) return nullptr;
    const int i = desktop_->IndexOf(this);
    return i > 0 ? desktop_->WindowAt(i - 1) : nullptr;
}

cVek_Window* cVek_Window::Next() const {
    if (!desktop_) return nullptr;
    const int i = desktop_->IndexOf(this);
    return i >= 0 && i + 1 < desktop_->WindowCount() ? desktop_->WindowAt(i + 1) : nullptr;
}

int cVek_Window::NextOrdinal(int id) {
    for (Ordinal& o : ordinals_)
        if (o.id == id) return o.count++;
    ordinals_.push_back(Ordinal{id, 1});
    return 0;
}

// ---- frame

void cVek_Window::RunFrame(double dt) {
    ordinals_.clear();
    const cVek_InterfaceGadget* look = Look();
    const float step = look && look->animations ? float(dt) / kFadeSeconds : 1.0f;
    if (state_ == State::kClosing) {
        fade_ -= std::max(step, 0.0f);
        if (fade_ <= 0.0f || step >= 1.0f) {
            fade_ = 0.0f;
            state_ = State::kClosed;
            return;
        }
        desktop_->KeepAnimating();
    } else if (fade_ < 1.0f) {
        fade_ = std::min(1.0f, fade_ + std::max(step, 0.0f));
        if (step >= 1.0f) fade_ = 1.0f;
        desktop_->KeepAnimating();
    }
    if (!visible_) return;
    Layout();
    DrawFrame();
    if (hasTitle) HandleTitle();
    RunBody();
    if (hasFooter) RunFooter();
}

void cVek_Window::Layout() {}

void cVek_Window::DrawFrame() {
    if (!hasFrame || !vek::ui::gl::Enabled()) return;
    const cVek_InterfaceGadget* look = Look();
    desktop_->FrameShape()->Draw(Bounds(), scale_, fade_, look->colours.windowFaceTop,
                                 look->colours.windowFaceBottom, look->colours.windowBorder);
}

void cVek_Window::RunBody() {
    if (minimised_ && hasTitle) return;
    if (body_) body_(*this, bodyUser_);
}

void cVek_Window::HandleTitle() {
    cVek_Desktop& d = *desktop_;
    cVek_MouseSurface& m = d.Mouse();
    const vek::ui::Rect tr = TitleRect();
    const uint64_t key = cVek_Desktop::ItemKey(this, kIdTitle, 0);
    const bool inside = d.HoverWindow() == this && IsOpen() && tr.Contains(m.X(), m.Y());

    if (d.ActiveItem() == 0 && inside) {
        // The hint for a floating window that is not in front.
        if (layer_ == kLayerFloating && d.SelectedWindow() != this && !m.Pressed())
            d.Popup().Offer(this, kIdTitle, 0, vek::ui::texts::kBringToFrontHelp, tr);
        if (d.ClaimPress()) {
            d.SetActiveItem(key);
            drag_.startX = m.X();
            drag_.startY = m.Y();
            drag_.windowX = cx_;
            drag_.windowY = cy_;
            drag_.moved = false;
            drag_.wasSelected = d.SelectedAtPress();
        }
    }
    if (d.ActiveItem() == key) {
        d.TouchActive();
        const float dx = m.X() - drag_.startX, dy = m.Y() - drag_.startY;
        if (!drag_.moved && std::hypot(dx, dy) > kDragThreshold) {
            drag_.moved = true;
            pinned_ = true; // a window the user has moved stays
        }
        if (drag_.moved) {
            Place(drag_.windowX + dx, drag_.windowY + dy);
            d.KeepAnimating();
        }
        if (m.Released()) {
            d.SetActiveItem(0);
            if (!drag_.moved && drag_.wasSelected && tr.Contains(m.X(), m.Y())) {
                if (pinned_)
                    ToggleSize();
                else
                    Close();
            }
        }
    }

    if (!vek::ui::gl::Enabled()) return;
    const cVek_InterfaceGadget* look = Look();
    const float pad = kPadding * scale_ * 0.5f;
    const vek::ui::Rect bar{tr.x0 + pad, tr.y0 + pad * 0.5f, tr.x1 - pad, tr.y1 - pad};
    const bool hot = d.ActiveItem() == key || inside;
    const uint32_t top =
        hot ? vek::ui::MixColour(look->colours.titleTop, 0xFFFFFF, 0.12f) : look->colours.titleTop;
    vek::ui::gl::FillRoundRect(bar, 0.004f * scale_, top, look->colours.titleBottom, fade_);
    cVek_TextDisplay& t = const_cast<cVek_InterfaceGadget*>(look)->TitleText();
    const float oldSize = t.Size();
    t.SetSize(bar.Height() * 0.72f);
    t.RestoreAfterDraw();
    t.SetFade(fade_);
    t.SetAlignment(cVek_TextDisplay::kCentred);
    // Titles never spill out of their bar.
    const float w = t.MeasureLine(title_);
    if (w > bar.Width() * 0.94f && w > 0.0f) {
        t.SetSize(bar.Height() * 0.72f * bar.Width() * 0.94f / w);
        t.RestoreAfterDraw();
    }
    t.DrawLine(title_, bar.CentreX(), bar.CentreY());
    t.SetSize(oldSize);
    t.RestoreAfterDraw();
}

std::string_view cVek_Window::CloseHelp() const {
    return vek::ui::texts::kCloseWindowHelp;
}
std::string_view cVek_Window::PinHelp() const {
    return vek::ui::texts::kPinWindowHelp;
}

bool cVek_Window::CheckBoxControl(int id, const vek::ui::Rect& box, bool checked, std::string_view help) {
    cVek_Desktop& d = *desktop_;
    const cVek_Desktop::ItemState s = d.Behaviour(*this, box, id, true);
    if (s.hovered && d.ActiveItem() == 0) d.Popup().Offer(this, id, s.ordinal, help, box);
    if (vek::ui::gl::Enabled()) {
        const cVek_InterfaceGadget* look = Look();
        const float r = box.Height() * 0.18f;
        const uint32_t face =
            s.held ? look->colours.buttonPressed : (s.hovered ? look->colours.buttonHover : 0xFFFFFF);
        vek::ui::gl::FillRoundRect(box, r, face, vek::ui::MixColour(face, 0x000000, 0.08f), fade_);
        vek::ui::gl::FrameRoundRect(box, r, std::max(0.0008f, box.Height() * 0.08f),
                                    look->colours.buttonBorder, fade_);
        if (checked) vek::ui::gl::CheckMark(box.Shrunk(box.Height() * 0.12f), look->colours.checkMark, fade_);
    }
    if (s.pressed) d.PlayClick();
    return s.pressed;
}

void cVek_Window::RunFooter() {
    cVek_Desktop& d = *desktop_;
    const vek::ui::Rect f = FooterRect().Shrunk(kPadding * scale_ * 0.6f);
    const float h = f.Height(), gap = kPadding * scale_;
    float x = f.x0;
    if (canPin) {
        const float side = h * 0.82f;
        const vek::ui::Rect box{x, f.CentreY() - side * 0.5f, x + side, f.CentreY() + side * 0.5f};
        if (CheckBoxControl(kIdPin, box, pinned_, PinHelp())) pinned_ = !pinned_;
        x += side + gap;
    }
    cVek_SimpleButton& b = d.ControlButton();
    b.SetCaptionColour(0xFFFFFFFFu);
    b.UseLookColours();
    b.SetCaptionSize(0.72f);
    if (canResize) {
        b.SetCaptionSize(1.0f); // a lone "-" or "+" needs the full height to be seen
        b.SetSize(h * 1.25f, h);
        const bool small = minimised_;
        if (b.Do(*this, x + h * 0.625f, f.CentreY(),
                 small ? vek::ui::texts::kNormalCaption : vek::ui::texts::kSmallerCaption,
                 small ? vek::ui::texts::kMakeNormalHelp : vek::ui::texts::kMakeSmallerHelp, kIdSizeToggle))
            ToggleSize();
        x += h * 1.25f + gap;
    }
    b.SetCaptionSize(0.72f);
    const char* closeCaption = closeIsCancel ? vek::ui::texts::kCancel : vek::ui::texts::kClose;
    const float closeW = h * 3.2f;
    b.SetSize(closeW, h);
    if (b.Do(*this, f.x1 - closeW * 0.5f, f.CentreY(), closeCaption, CloseHelp(), kIdClose)) Close();
    RunFooterExtras(vek::ui::Rect{x, f.y0, f.x1 - closeW - gap, f.y1});
}

void cVek_Window::RunFooterExtras(const vek::ui::Rect&) {}
