// Oil paint: a smear that mixes the paint colour into what it picks up at every stamp (fully on
// the first stamp, then by k·ρ), so the brush keeps replenishing its paint while it smears.
#pragma once

#include "engine/tools/cTes_Tool_Smear.h"

class cTes_Tool_OilPaint : public cTes_Tool_Smear {
  public:
    cTes_Tool_OilPaint();
    bool PickUpWeights(s_StampPars& stamp, s_PickUpWeights& weights) override;
};
