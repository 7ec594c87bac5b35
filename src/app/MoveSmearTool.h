// The program's "Drag": a smear with smear factor 1, so the patch picked up at the press is carried
// along the whole stroke unchanged (and over transparent areas it carries transparency).
#pragma once

#include "engine/tools/cTes_Tool_Smear.h"

namespace scribbix {

class MoveSmearTool : public cTes_Tool_Smear {
  public:
    MoveSmearTool();
};

} // namespace scribbix
