// The pixel pen: a single-pixel pen that is never anti-aliased. Sub-pixel coordinates are off and
// the tip size is 1, so each stroke point paints exactly one pixel at the tip value σ and the
// stroke is an 8-connected pixel line whatever the size setting says.
#pragma once

#include "engine/tools/cTes_Tool_Pen.h"

class cTes_Tool_PixelPen : public cTes_Tool_Pen {
  public:
    cTes_Tool_PixelPen();
    void PrepareParams(s_ToolPars& pars) override;
    void AdjustStamp(s_StampPars& stamp) override;
};
