// The program's "Highlight 3D Pen" (the panel's "Medium 3D Pen"): the outer half of the radius
// shades from nearly the outer edge colour to the paint colour, the inner half from the paint
// colour to a highlight derived from the paint colour itself (the inner edge colour is shown for
// it but not used).
#pragma once

#include "engine/tools/cTes_Tool_TriColorPen.h"

namespace scribbix {

class Highlight3DPenTool : public cTes_Tool_TriColorPen {
  public:
    Highlight3DPenTool();
    void BlendSpan(s_StampPars& stamp) override;

    // The highlight of a paint colour: its chroma (grey for a sum <= 0) at brightness
    // 1.63·sum + 0.06, each channel above 1 pulled back by three quarters of the excess and the
    // weighted excess shared out over the three channels.
    static void DeriveHighlight(const float paint[3], float highlight[3]);
};

} // namespace scribbix
