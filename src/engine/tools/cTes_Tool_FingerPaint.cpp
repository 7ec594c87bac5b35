#include "engine/tools/cTes_Tool_FingerPaint.h"

cTes_Tool_FingerPaint::cTes_Tool_FingerPaint() {
    smearFactor = 0.7f;
    usesPaint = 1;
}

bool cTes_Tool_FingerPaint::PickUpWeights(s_StampPars& stamp, s_PickUpWeights& w) {
    if (!stamp.firstStamp) return cTes_Tool_Smear::PickUpWeights(stamp, w);
    StrokeSetup(stamp);
    w = {0.0f, 0.0f, {stamp.paint[0], stamp.paint[1], stamp.paint[2], 1.0f}};
    return true;
}
