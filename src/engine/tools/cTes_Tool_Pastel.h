// Pastel: oil paint's pick-up with a grainy kernel. Each pixel gets one grain per stroke, kept in
// the stroke coverage buffer: about four in five lose up to half the strength at random.
#pragma once

#include "engine/tools/cTes_Tool_OilPaint.h"

class cTes_Tool_Pastel : public cTes_Tool_OilPaint {
  public:
    uint32_t grainProbability = 800000; // parts per million
    float grainDepth = 0.5f;

    cTes_Tool_Pastel();
    void BlendSpan(s_StampPars& stamp) override;
};
