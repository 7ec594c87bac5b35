// The program's "3D Pen": each stroke is shaded like a tube, full paint colour along the middle and
// darkening quadratically towards the outer edge colour at the rim. Coverage is tracked on the
// edge cone, so where a stroke crosses itself every pixel keeps the colour of the nearer centre
// line and the tube stays continuous.
#pragma once

#include "engine/tools/cTes_Tool_DuoColorPen.h"

namespace scribbix {

class ThreeDeePenTool : public cTes_Tool_DuoColorPen {
  public:
    ThreeDeePenTool();
    void BlendSpan(s_StampPars& stamp) override;
};

} // namespace scribbix
