// Lighten: the pen with blend mode 1 (add) and a fixed white colour; the paint colour is not used.
#pragma once

#include "engine/tools/cTes_Tool_Pen.h"

class cTes_Tool_LightenPen : public cTes_Tool_Pen {
  public:
    cTes_Tool_LightenPen();
    void AdjustStamp(s_StampPars& stamp) override;
};

namespace tes {
// (1, 1, 1), the colour Lighten and Darken apply.
extern const float kWhite[3];
} // namespace tes
