// The current look: the text displays used for titles, captions, help and window bodies, the UI
// colour table, the four scheme colours, the default window scales and the panel-window options.
// Windows borrow the desktop's look; Clone gives a window a look of its own.
#pragma once

#include "ui/cVek_TextDisplay.h"

#include <cstdint>
#include <memory>

class cVek_Font;

namespace vek::ui {

// Colours of the interface (0xRRGGBB), derived from the scheme colours unless set one by one.
struct UiColours {
    uint32_t windowFaceTop = 0xF7F3F6, windowFaceBottom = 0xE6DEE4, windowBorder = 0x6B4A5E;
    uint32_t titleTop = 0xC88AA8, titleBottom = 0x9E5E7E, titleText = 0xFFFFFF;
    uint32_t bodyText = 0x000000;
    uint32_t buttonTop = 0xFFFFFF, buttonBottom = 0xDCD6DA, buttonBorder = 0x8A7080;
    uint32_t buttonHover = 0xA0FFFF, buttonPressed = 0x7FB9C4, buttonSelected = 0xC8FFC8;
    uint32_t buttonSelectedBorder = 0x3F7F3F;
    uint32_t captionText = 0x000000, disabledText = 0x8C8088;
    uint32_t menuHover = 0xA0FFFF, separator = 0xB8A0AE;
    uint32_t helpFaceTop = 0xFFFFF4, helpFaceBottom = 0xF3F0DA, helpBorder = 0x6B4A5E, helpText = 0x000000;
    uint32_t panelFaceTop = 0xC890AC, panelFaceBottom = 0xA8708E, panelBorder = 0x5A3A4E;
    uint32_t checkMark = 0x1E6E2E;
};

} // namespace vek::ui

class cVek_InterfaceGadget {
  public:
    // Scheme colours of a new look: frame accent, text, hover highlight, selection.
    static constexpr uint32_t kDefaultScheme[4] = {0xB87598, 0x000000, 0xA0FFFF, 0xC8FFC8};

    // The fonts are borrowed (they live from set-up to shutdown); null fonts give displays that
    // measure undefined glyphs and draw nothing.
    cVek_InterfaceGadget(const cVek_Font* textFont, const cVek_Font* iconFont);
    ~cVek_InterfaceGadget();
    std::unique_ptr<cVek_InterfaceGadget> Clone() const;

    // Sets the scheme colours and derives the colour table and the text colours from them.
    void SetSchemeColours(uint32_t frame, uint32_t text, uint32_t highlight, uint32_t selection);
    uint32_t SchemeColour(int i) const { return scheme_[i & 3]; }

    cVek_TextDisplay& TitleText() { return *title_; }
    cVek_TextDisplay& CaptionText() { return *caption_; }
    cVek_TextDisplay& IconText() { return *icon_; }
    cVek_TextDisplay& HelpText() { return *help_; }
    cVek_TextDisplay& BodyText() { return *body_; }
    const cVek_Font* TextFont() const { return textFont_; }
    const cVek_Font* IconFont() const { return iconFont_; }

    vek::ui::UiColours colours;
    float windowScale = 1.0f; // plain windows and panel windows
    float dialogScale = 1.0f; // dialogs (lite windows use a quarter of it)
    float helpTextSize = 0.017f;
    // Panel windows: option 0 draws their frame and face, option 1 their drop shadow; the frame
    // value is their border width in desktop units.
    uint8_t panelWindowOptions[2] = {1, 1};
    float panelFrame = 0.008f;
    bool animations = true; // hover and press animation, window fades
    bool sounds = true;     // click and open sounds of the sound bank

  private:
    cVek_InterfaceGadget(const cVek_InterfaceGadget& other);
    cVek_InterfaceGadget& operator=(const cVek_InterfaceGadget&) = delete;

    const cVek_Font* textFont_;
    const cVek_Font* iconFont_;
    uint32_t scheme_[4];
    std::unique_ptr<cVek_TextDisplay> title_, caption_, icon_, help_, body_;
};
