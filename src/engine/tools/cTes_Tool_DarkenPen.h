// Darken: the pen with blend mode 2 (subtract) and a fixed white colour; the paint colour is not
// used.
#pragma once

#include "engine/tools/cTes_Tool_Pen.h"

class cTes_Tool_DarkenPen : public cTes_Tool_Pen {
  public:
    cTes_Tool_DarkenPen();
    void AdjustStamp(s_StampPars& stamp) override;
};
