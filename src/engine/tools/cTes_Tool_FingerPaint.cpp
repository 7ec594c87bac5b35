#include "engine/tools/cTes_Tool_FingerPaint.h"

cTes_Tool_FingerPaint::cTes_Tool_FingerPaint() {
    smearFactor = 0.7f;
    usesPaint = 1;
}

void cTes_Tool_FingerPaint::PickUp(s_StampPars& stamp, float* pickUp, const float* area, int32_t count) {
    if (stamp.firstStamp) {
        StrokeSetup(stamp);
        for (int32_t i = 0; i < count; ++i) {
            pickUp[4 * i + 0] = stamp.paint[0];
            pickUp[4 * i + 1] = stamp.paint[1];
            pickUp[4 * i + 2] = stamp.paint[2];
            pickUp[4 * i + 3] = 1.0f;
        }
        return;
    }
    MixIntoPickUp(pickUp, area, count);
}
