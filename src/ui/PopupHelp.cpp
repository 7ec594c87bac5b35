// Popup help timer, placement and drawing.
#include "ui/PopupHelp.h"

#include "ui/GlDraw.h"
#include "ui/cVek_InterfaceGadget.h"
#include "ui/cVek_TextDisplay.h"

#include <algorithm>

namespace vek::ui {

void PopupHelp::Offer(const void* element, int entry, int part, std::string_view help,
                      const Rect& elementRect, bool relativeSize, bool atOnce) {
    offer_.element = element;
    offer_.entry = entry;
    offer_.part = part;
    offer_.help.assign(help.data(), help.size());
    offer_.rect = elementRect;
    offer_.relative = relativeSize;
    offer_.atOnce = atOnce;
    offered_ = true;
}

void PopupHelp::Frame(double dt) {
    if (!offered_) {
        timer_ = 0.0;
        hasTarget_ = false;
        return;
    }
    offered_ = false;
    const bool same =
        hasTarget_ && offer_.element == element_ && offer_.entry == entry_ && offer_.part == part_;
    if (!same) {
        // A help shown at once ends with its element, unless help is always on.
        if (timer_ <= kRestartLimit || (timer_ > kAtOnce - 1.0 && !alwaysOn_)) timer_ = 0.0;
        element_ = offer_.element;
        entry_ = offer_.entry;
        part_ = offer_.part;
        hasTarget_ = true;
    } else {
        timer_ += dt;
    }
    if (help_ != offer_.help) help_ = offer_.help;
    rect_ = offer_.rect;
    relative_ = offer_.relative;
    if (offer_.atOnce || alwaysOn_) timer_ = kAtOnce;
}

bool PopupHelp::Showing() const {
    return hasTarget_ && timer_ > kDelay && !help_.empty();
}

PopupHelp::Placement PopupHelp::Place(const Rect& e, float blockW, float blockH, float ts, float aspect) {
    Placement p;
    p.textSize = ts;
    const float boxW = blockW + 1.1f * ts, boxH = blockH + 1.2f * ts;
    const float arrow = 0.5f * ts;
    float cx = e.CentreX();
    if (blockW > 0.75f * e.Width()) {
        if (cx > 0.0f)
            cx -= 0.4f * e.Width();
        else if (cx < 0.0f)
            cx += 0.4f * e.Width();
    }
    const float half = aspect * 0.5f;
    cx = std::min(std::max(cx, -half + boxW * 0.5f), half - boxW * 0.5f);
    // Below the element if it fits, else above it; when neither fits, the side with more room,
    // clamped to the screen.
    const float belowTop = e.y0 - arrow, aboveBottom = e.y1 + arrow;
    float top = belowTop;
    if (belowTop - boxH < -0.5f) {
        if (aboveBottom + boxH <= 0.5f || (0.5f - aboveBottom) > (belowTop + 0.5f)) {
            p.above = true;
            top = std::min(aboveBottom + boxH, 0.5f);
        } else {
            top = std::min(-0.5f + boxH, 0.5f);
        }
    }
    p.box = Rect{cx - boxW * 0.5f, top - boxH, cx + boxW * 0.5f, top};
    p.arrowX = std::min(std::max(e.CentreX(), p.box.x0 + 1.5f * arrow), p.box.x1 - 1.5f * arrow);
    p.arrowY = p.above ? e.y1 : e.y0;
    return p;
}

void PopupHelp::Draw(cVek_TextDisplay& text, const UiColours& colours, float defaultSize, float aspect) {
    if (!Showing()) return;
    const float ts = TextSize(defaultSize);
    const float oldSize = text.Size();
    const int32_t oldAlign = text.Alignment();
    text.SetSize(ts);
    text.SetAlignment(cVek_TextDisplay::kCentred);
    text.RestoreAfterDraw();
    float bw = 0.0f, bh = 0.0f;
    text.MeasureBlock(help_, &bw, &bh);
    const Placement p = Place(rect_, bw, bh, ts, aspect);
    if (gl::Enabled()) {
        const float radius = 0.35f * ts, arrow = 0.5f * ts;
        gl::SoftShadow(Rect{p.box.x0 + 0.002f, p.box.y0 - 0.002f, p.box.x1 + 0.002f, p.box.y1 - 0.002f},
                       radius, 0.006f, 0.3f);
        // The arrow points at the element from the box's near edge.
        const float baseY = p.above ? p.box.y0 : p.box.y1;
        const float tipY = p.above ? baseY - arrow : baseY + arrow;
        gl::Triangle(p.arrowX - arrow, baseY, p.arrowX + arrow, baseY, p.arrowX, tipY, colours.helpBorder,
                     1.0f);
        gl::FillRoundRect(p.box, radius, colours.helpFaceTop, colours.helpFaceBottom, 1.0f);
        gl::FrameRoundRect(p.box, radius, std::max(0.0012f, ts * 0.07f), colours.helpBorder, 1.0f);
        text.SetDefaultColour(colours.helpText);
        text.SetFade(1.0f);
        text.DrawBlock(help_, p.box.CentreX(), p.box.CentreY());
    }
    text.SetSize(oldSize);
    text.SetAlignment(oldAlign);
    text.RestoreAfterDraw();
}

} // namespace vek::ui
