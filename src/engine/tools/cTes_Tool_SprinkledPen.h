// The sprinkled pen: the pen's paint-over with about one painted pixel in ten tinted towards the
// highlight colour by a random amount, drawn from the process-wide generator (so sprinkles differ
// from stroke to stroke and run to run).
#pragma once

#include "engine/tools/cTes_ToolFreehandTip.h"

class cTes_Tool_SprinkledPen : public cTes_ToolFreehandTip {
  public:
    cTes_Tool_SprinkledPen();
    void BlendSpan(s_StampPars& stamp) override;
};
