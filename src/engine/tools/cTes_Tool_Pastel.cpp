#include "engine/tools/cTes_Tool_Pastel.h"

cTes_Tool_Pastel::cTes_Tool_Pastel() {
    smearFactor = 0.4f;
}

void cTes_Tool_Pastel::BlendSpan(s_StampPars& stamp) {
    tes::SmearSpan(stamp, smearFactor, decayRate, true, grainProbability, grainDepth);
}
