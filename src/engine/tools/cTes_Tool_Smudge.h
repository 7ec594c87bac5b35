// The engine's smudge: a smear that keeps only a quarter of the carried paint per stamp, so it
// pushes pixels a short distance.
#pragma once

#include "engine/tools/cTes_Tool_Smear.h"

class cTes_Tool_Smudge : public cTes_Tool_Smear {
  public:
    cTes_Tool_Smudge();
};
