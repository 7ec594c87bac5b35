// The program's "Light 3D Pen": white (the inner edge colour) along the middle of the stroke,
// reaching the paint colour at the rim; coverage on the edge cone as for the 3D Pen.
#pragma once

#include "engine/tools/cTes_Tool_DuoColorPen.h"

namespace scribbix {

class White3dPenTool : public cTes_Tool_DuoColorPen {
  public:
    White3dPenTool();
    void BlendSpan(s_StampPars& stamp) override;
};

} // namespace scribbix
