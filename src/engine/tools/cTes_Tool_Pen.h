// The ordinary pen: the paint colour laid over the stroke-start pixels through the tip, the
// highest tip value of the stroke winning (no build-up). With a blend mode (the tool's own, else
// the button's) it only recolours existing paint: alpha is kept and transparent pixels stay.
#pragma once

#include "engine/tools/cTes_ToolFreehandTip.h"

class cTes_Tool_Pen : public cTes_ToolFreehandTip {
  public:
    cTes_Tool_Pen() = default;
    void BlendSpan(s_StampPars& stamp) override;
};

namespace tes {
// The pen kernel at blend mode 0 over one rectangle.
void PenSpanNormal(s_StampPars& stamp);
// The pen kernel with a blend function (null leaves the rectangle unchanged).
void PenSpanBlend(s_StampPars& stamp, int32_t mode);
} // namespace tes
