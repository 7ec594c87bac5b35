// The program's "Smudge": a smear with smear factor 0.85 and the soft pen's tip (hardness 0, tip
// shape 1).
#pragma once

#include "engine/tools/cTes_Tool_Smear.h"

namespace scribbix {

class HardSmearTool : public cTes_Tool_Smear {
  public:
    HardSmearTool();
    void AdjustStamp(s_StampPars& stamp) override;
};

} // namespace scribbix
