// The look's displays and the colour table derived from the scheme colours.
#include "ui/cVek_InterfaceGadget.h"

#include "ui/UiRect.h"
#include "ui/cVek_TextDisplay_SpriteQuad.h"

using vek::ui::MixColour;

constexpr uint32_t cVek_InterfaceGadget::kDefaultScheme[4];

cVek_InterfaceGadget::cVek_InterfaceGadget(const cVek_Font* textFont, const cVek_Font* iconFont)
    : textFont_(textFont), iconFont_(iconFont) {
    title_ = std::make_unique<cVek_TextDisplay_SpriteQuad>(textFont, 0.0145f, 0xFFFFFF);
    caption_ = std::make_unique<cVek_TextDisplay_SpriteQuad>(textFont, 0.016f, 0x000000);
    icon_ = std::make_unique<cVek_TextDisplay_SpriteQuad>(iconFont, 0.03f, 0xFFFFFF);
    help_ = std::make_unique<cVek_TextDisplay_SpriteQuad>(textFont, helpTextSize, 0x000000);
    body_ =
        std::make_unique<cVek_TextDisplay_SpriteQuad>(textFont, 0.016f, 0x000000, cVek_TextDisplay::kLeft);
    title_->SetShadow(0x000000, 0.0012f);
    SetSchemeColours(kDefaultScheme[0], kDefaultScheme[1], kDefaultScheme[2], kDefaultScheme[3]);
}

cVek_InterfaceGadget::cVek_InterfaceGadget(const cVek_InterfaceGadget& o)
    : colours(o.colours), windowScale(o.windowScale), dialogScale(o.dialogScale),
      helpTextSize(o.helpTextSize), panelFrame(o.panelFrame), animations(o.animations), sounds(o.sounds),
      textFont_(o.textFont_), iconFont_(o.iconFont_), title_(o.title_->Clone()),
      caption_(o.caption_->Clone()), icon_(o.icon_->Clone()), help_(o.help_->Clone()),
      body_(o.body_->Clone()) {
    panelWindowOptions[0] = o.panelWindowOptions[0];
    panelWindowOptions[1] = o.panelWindowOptions[1];
    for (int i = 0; i < 4; ++i)
        scheme_[i] = o.scheme_[i];
}

cVek_InterfaceGadget::~cVek_InterfaceGadget() = default;

std::unique_ptr<cVek_InterfaceGadget> cVek_InterfaceGadget::Clone() const {
    return std::unique_ptr<cVek_InterfaceGadget>(new cVek_InterfaceGadget(*this));
}

void cVek_InterfaceGadget::SetSchemeColours(uint32_t frame, uint32_t text, uint32_t highlight,
                                            uint32_t selection) {
    scheme_[0] = frame & 0xFFFFFF;
    scheme_[1] = text & 0xFFFFFF;
    scheme_[2] = highlight & 0xFFFFFF;
    scheme_[3] = selection & 0xFFFFFF;
    vek::ui::UiColours& c = colours;
    // Window faces are a faint tint of the frame colour on white; titles and panels use the frame
    // colour itself, lightened at the top and darkened at the bottom for a soft bevel.
    c.windowFaceTop = MixColour(0xFFFFFF, frame, 0.06f);
    c.windowFaceBottom = MixColour(0xFFFFFF, frame, 0.16f);
    c.windowBorder = MixColour(frame, 0x000000, 0.45f);
    c.titleTop = MixColour(frame, 0xFFFFFF, 0.18f);
    c.titleBottom = MixColour(frame, 0x000000, 0.18f);
    c.titleText = 0xFFFFFF;
    c.bodyText = text;
    c.buttonTop = 0xFFFFFF;
    c.buttonBottom = MixColour(0xFFFFFF, frame, 0.22f);
    c.buttonBorder = MixColour(frame, 0x000000, 0.35f);
    c.buttonHover = highlight;
    c.buttonPressed = MixColour(highlight, 0x000000, 0.25f);
    c.buttonSelected = selection;
    c.buttonSelectedBorder = MixColour(selection, 0x000000, 0.6f);
    c.captionText = text;
    c.disabledText = MixColour(text, 0xFFFFFF, 0.55f);
    c.menuHover = highlight;
    c.separator = MixColour(frame, 0xFFFFFF, 0.35f);
    c.helpFaceTop = 0xFFFFF2;
    c.helpFaceBottom = MixColour(0xFFFFF2, frame, 0.10f);
    c.helpBorder = c.windowBorder;
    c.helpText = text;
    c.panelFaceTop = MixColour(frame, 0xFFFFFF, 0.15f);
    c.panelFaceBottom = MixColour(frame, 0x000000, 0.10f);
    c.panelBorder = MixColour(frame, 0x000000, 0.45f);
    c.checkMark = MixColour(selection, 0x006000, 0.75f);
    title_->SetDefaultColour(c.titleText);
    caption_->SetDefaultColour(c.captionText);
    help_->SetDefaultColour(c.helpText);
    body_->SetDefaultColour(c.bodyText);
}
