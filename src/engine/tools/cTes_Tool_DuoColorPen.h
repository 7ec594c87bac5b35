// The 2-colour pen and the base of the shaded pens: the tip is hard-edged (tip shape 1, hardness
// pulled towards 1) and mask B, the edge cone, decides the colour band. Coverage is tracked on the
// cone value e, so the stamp whose centre is nearest to a pixel decides its colour; the paint-over
// itself uses the tip value m. Colour: paint at the centre fading linearly to the outer edge colour.
#pragma once

#include "engine/tools/cTes_ToolFreehandTip.h"

class cTes_Tool_DuoColorPen : public cTes_ToolFreehandTip {
  public:
    cTes_Tool_DuoColorPen();
    // Tip shape 1, hardness 0.5 + 0.5·h.
    void AdjustStamp(s_StampPars& stamp) override;
    void BlendSpan(s_StampPars& stamp) override;
};
