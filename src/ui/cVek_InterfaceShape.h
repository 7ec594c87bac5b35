// A frame shape: the rounded, bordered and shadowed box that windows and popups are drawn in.
// Sizes are desktop units at window scale 1 and grow with the scale they are drawn at.
#pragma once

#include "ui/UiRect.h"

#include <cstdint>
#include <memory>

class cVek_InterfaceShape {
  public:
    cVek_InterfaceShape();
    std::unique_ptr<cVek_InterfaceShape> Clone() const {
        return std::make_unique<cVek_InterfaceShape>(*this);
    }

    // Shadow, face (vertical gradient) and border, faded by `fade`.
    void Draw(const vek::ui::Rect& r, float scale, float fade) const {
        Draw(r, scale, fade, faceTop, faceBottom, borderColour);
    }
    // The same with the colours of a look.
    void Draw(const vek::ui::Rect& r, float scale, float fade, uint32_t top, uint32_t bottom,
              uint32_t border) const;

    float cornerRadius = 0.006f;
    float border = 0.0015f;
    float shadowSpread = 0.008f;
    float shadowAlpha = 0.35f;
    float faceAlpha = 1.0f;
    uint32_t faceTop = 0xF4F1F6;
    uint32_t faceBottom = 0xE2DCE6;
    uint32_t borderColour = 0x6A4A5E;
};
