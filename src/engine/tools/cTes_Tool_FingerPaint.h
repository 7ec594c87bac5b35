// Fingerpaint: a smear whose pick-up starts full of the paint colour, so a stroke lays a glob of
// paint at its start and smears it, fading as the finger picks up what lies below.
#pragma once

#include "engine/tools/cTes_Tool_Smear.h"

class cTes_Tool_FingerPaint : public cTes_Tool_Smear {
  public:
    cTes_Tool_FingerPaint();
    bool PickUpWeights(s_StampPars& stamp, s_PickUpWeights& weights) override;
};
