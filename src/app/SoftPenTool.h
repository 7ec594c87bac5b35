// The program's "Soft Pen": the pen with hardness 0 and tip shape 1, i.e. tip values
// σ·(1 − (1 − t)²) over a soft diameter of 1.1 × size.
#pragma once

#include "engine/tools/cTes_Tool_Pen.h"

namespace scribbix {

class SoftPenTool : public cTes_Tool_Pen {
  public:
    SoftPenTool() = default;
    void AdjustStamp(s_StampPars& stamp) override;
};

} // namespace scribbix
