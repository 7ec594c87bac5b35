// The 3-colour pen: the outer half of the radius runs from the outer edge colour to the inner edge
// colour, the inner half from the inner edge colour to the paint colour.
#pragma once

#include "engine/tools/cTes_Tool_DuoColorPen.h"

class cTes_Tool_TriColorPen : public cTes_Tool_DuoColorPen {
  public:
    cTes_Tool_TriColorPen() = default;
    void BlendSpan(s_StampPars& stamp) override;
};
