// The shared button call (identity, place, clip, behaviour, help, draw, click) and the shared
// caption drawing. Hover and press are animated per button identity when the look allows it.
#include "ui/cVek_SimpleButton.h"

#include "ui/GlDraw.h"
#include "ui/cVek_Desktop.h"
#include "ui/cVek_InterfaceGadget.h"
#include "ui/cVek_TextDisplay.h"
#include "ui/cVek_Window.h"

#include <algorithm>

namespace {

cVek_SimpleButton::Click g_lastClick;

// Moves `value` toward `target` at `rate` per second; true while still moving.
bool Approach(float& value, float target, double dt, float rate) {
    const float step = float(dt) * rate;
    if (value < target)
        value = std::min(target, value + step);
    else if (value > target)
        value = std::max(target, value - step);
    return value != target;
}

constexpr uint64_t kPressAnimationSalt = 0x9E3779B97F4A7C15ull;

} // namespace

cVek_SimpleButton::cVek_SimpleButton() = default;
cVek_SimpleButton::~cVek_SimpleButton() = default;

cVek_SimpleButton::cVek_SimpleButton(const cVek_SimpleButton& o)
    : x_(o.x_), y_(o.y_), w_(o.w_), h_(o.h_), depth_(o.depth_), maxDepth_(o.maxDepth_),
      captionFactor_(o.captionFactor_), captionColour_(o.captionColour_), captionFade_(o.captionFade_),
      ownFace_(o.ownFace_), caption_(o.caption_ ? o.caption_->Clone() : nullptr),
      relativeHelp_(o.relativeHelp_) {
    for (int i = 0; i < 3; ++i)
        face_[i] = o.face_[i];
}

std::unique_ptr<cVek_SimpleButton> cVek_SimpleButton::Clone() const {
    return std::unique_ptr<cVek_SimpleButton>(new cVek_SimpleButton(*this));
}

const cVek_SimpleButton::Click& cVek_SimpleButton::LastClick() {
    return g_lastClick;
}

void cVek_SimpleButton::SetSize(float w, float h, float depth) {
    w_ = std::max(0.0f, w);
    h_ = std::max(0.0f, h);
    depth_ = depth >= 0.0f ? depth : std::min(h_ * 0.25f, maxDepth_);
}

void cVek_SimpleButton::SetFaceColours(uint32_t normal, uint32_t hover, uint32_t pressed) {
    face_[0] = normal & 0xFFFFFF;
    face_[1] = hover & 0xFFFFFF;
    face_[2] = pressed & 0xFFFFFF;
    ownFace_ = true;
}

void cVek_SimpleButton::SetCaptionDisplay(const cVek_TextDisplay* display) {
    caption_ = display ? display->Clone() : nullptr;
}

void cVek_SimpleButton::ResetNext() {
    nextSelected_ = false;
    nextEnabled_ = true;
    nextInvisible_ = false;
}

bool cVek_SimpleButton::Do(cVek_Window& window, std::string_view caption, std::string_view help, int id,
                           ButtonCallback callback, void* arg) {
    return Do(window, x_, y_, caption, help, id, callback, arg);
}

bool cVek_SimpleButton::Do(cVek_Window& window, float x, float y, std::string_view caption,
                           std::string_view help, int id, ButtonCallback callback, void* arg) {
    const bool selected = nextSelected_, enabled = nextEnabled_, invisible = nextInvisible_;
    ResetNext();
    x_ = x;
    y_ = y;
    cVek_Desktop* d = window.Desktop();
    if (!d) return false;
    const vek::ui::Rect r = vek::ui::Rect::Centred(x, y, w_, h_);
    // Clipped: outside its window, or the window is hidden. The identifier still counts, so the
    // buttons after it keep their identities.
    if (!window.Visible() || r.Intersect(window.Bounds()).Empty()) {
        window.NextOrdinal(id);
        return false;
    }

    const cVek_Desktop::ItemState s = d->Behaviour(window, r, id, enabled);
    if (s.hovered && (d->ActiveItem() == 0 || s.held) && !help.empty())
        d->Popup().Offer(&window, id, s.ordinal, help, r, relativeHelp_);

    const cVek_InterfaceGadget* look = window.Look();
    DrawState ds;
    ds.rect = r;
    ds.caption = caption;
    ds.held = s.held;
    ds.selected = selected;
    ds.enabled = enabled;
    ds.fade = window.Fade();
    ds.look = look;
    // Hover fades in quickly and out slowly; the press shade follows the held state.
    float& hover = d->Animation(s.key);
    float& press = d->Animation(s.key ^ kPressAnimationSalt);
    const bool hot = s.hovered && enabled && (d->ActiveItem() == 0 || s.held);
    if (look && look->animations) {
        bool moving = Approach(hover, hot ? 1.0f : 0.0f, d->FrameTime(), hot ? 12.0f : 5.0f);
        moving |= Approach(press, s.held ? 1.0f : 0.0f, d->FrameTime(), s.held ? 20.0f : 8.0f);
        if (moving) d->KeepAnimating();
    } else {
        hover = hot ? 1.0f : 0.0f;
        press = s.held ? 1.0f : 0.0f;
    }
    ds.hover = hover;
    ds.press = press;
    if (!invisible && vek::ui::gl::Enabled()) Draw(ds);

    if (!s.pressed) return false;
    g_lastClick.button = s.button;
    g_lastClick.modifiers = s.modifiers;
    g_lastClick.id = id;
    d->PlayClick();
    if (callback) callback(&window, id, arg);
    return true;
}

void cVek_SimpleButton::CaptionOnly(cVek_Window& window, std::string_view caption, std::string_view help) {
    cVek_Desktop* d = window.Desktop();
    if (!d) return;
    const vek::ui::Rect r = vek::ui::Rect::Centred(x_, y_, w_, h_);
    ResetNext();
    if (!window.Visible() || r.Intersect(window.Bounds()).Empty()) return;
    const cVek_MouseSurface& m = d->Mouse();
    if (!help.empty() && d->ActiveItem() == 0 && d->HoverWindow() == &window && r.Contains(m.X(), m.Y()))
        d->Popup().Offer(&window, -1, int(std::hash<std::string_view>()(caption) & 0x7FFFFFFF), help, r,
                         relativeHelp_);
    if (!vek::ui::gl::Enabled()) return;
    DrawState ds;
    ds.rect = r;
    ds.caption = caption;
    ds.captionOnly = true;
    ds.fade = window.Fade();
    ds.look = window.Look();
    Draw(ds);
}

void cVek_SimpleButton::Placeholder(cVek_Window& window) {
    ResetNext();
    const vek::ui::Rect r = vek::ui::Rect::Centred(x_, y_, w_, h_);
    if (!vek::ui::gl::Enabled() || !window.Visible() || !window.Look()) return;
    const vek::ui::UiColours& c = window.Look()->colours;
    const float radius = std::min(w_, h_) * 0.2f;
    vek::ui::gl::FillRoundRect(r, radius, c.buttonBottom, c.buttonBottom, 0.35f * window.Fade());
}

void cVek_SimpleButton::Draw(const DrawState& s) {
    DrawCaption(s, s.rect.Shrunk(h_ * 0.1f), 0.0f, !s.enabled);
}

uint32_t cVek_SimpleButton::FaceColour(const DrawState& s) const {
    if (ownFace_) {
        const uint32_t base = vek::ui::MixColour(face_[0], face_[1], s.hover);
        return vek::ui::MixColour(base, face_[2], s.press);
    }
    const vek::ui::UiColours& c = s.look->colours;
    const uint32_t base = s.selected ? c.buttonSelected : c.buttonTop;
    const uint32_t hovered =
        vek::ui::MixColour(base, c.buttonHover, s.enabled ? s.hover * (s.selected ? 0.4f : 0.85f) : 0.0f);
    return vek::ui::MixColour(hovered, c.buttonPressed, s.press);
}

void cVek_SimpleButton::DrawCaption(const DrawState& s, const vek::ui::Rect& box, float z, bool disabled) {
    if (s.caption.empty() || !s.look || box.Empty()) return;
    cVek_TextDisplay& t = caption_ ? *caption_ : const_cast<cVek_InterfaceGadget*>(s.look)->CaptionText();
    const float oldSize = t.Size();
    const int32_t oldAlign = t.Alignment();
    const uint32_t oldColour = t.DefaultColour();
    float size = h_ * captionFactor_;
    t.SetSize(size);
    t.SetAlignment(cVek_TextDisplay::kCentred);
    t.RestoreAfterDraw();
    float bw = 0.0f, bh = 0.0f;
    t.MeasureBlock(s.caption, &bw, &bh);
    // Shrink the caption to fit inside the face, never spill over it. One line is only fitted in
    // width: its line height is the size markup's, not its ink (a large dot is still a dot).
    float k = 1.0f;
    if (bw > box.Width() && bw > 0.0f) k = box.Width() / bw;
    const bool multiLine = s.caption.find('\r') != std::string_view::npos;
    if (multiLine && bh > box.Height() && bh > 0.0f) k = std::min(k, box.Height() / bh);
    if (k < 1.0f) {
        t.SetSize(size * k);
        t.RestoreAfterDraw();
    }
    uint32_t colour = captionColour_ != 0xFFFFFFFFu ? captionColour_ : s.look->colours.captionText;
    if (disabled) colour = vek::ui::MixColour(colour, s.look->colours.disabledText, 0.8f);
    t.SetDefaultColour(colour);
    t.SetFade(s.fade * captionFade_ * (disabled ? 0.8f : 1.0f));
    t.DrawBlock(s.caption, box.CentreX(), box.CentreY(), z);
    t.SetDefaultColour(oldColour);
    t.SetSize(oldSize);
    t.SetAlignment(oldAlign);
    t.RestoreAfterDraw();
}
