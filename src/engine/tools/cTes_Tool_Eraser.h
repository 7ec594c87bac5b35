// The eraser: removes up to the tip value of the stroke-start alpha. Because it is measured
// against the stroke-start pixels, one stroke removes at most m however often it passes; a pixel
// erased completely becomes (0, 0, 0, 0).
#pragma once

#include "engine/tools/cTes_ToolFreehandTip.h"

class cTes_Tool_Eraser : public cTes_ToolFreehandTip {
  public:
    cTes_Tool_Eraser();
    void BlendSpan(s_StampPars& stamp) override;
};
