// The paint colour laid over the area A with coverage f, X = A·(1 − f) + (paint, 1)·f
// (premultiplied), then X mixed into the pick-up as the smear does: G' = G·k + X·(1 − k). On the
// first stamp the pick-up is the area itself and f = 1.
#include "engine/tools/cTes_Tool_OilPaint.h"

cTes_Tool_OilPaint::cTes_Tool_OilPaint() {
    smearFactor = 0.8f;
    usesPaint = 1;
}

bool cTes_Tool_OilPaint::PickUpWeights(s_StampPars& stamp, s_PickUpWeights& w) {
    const bool first = stamp.firstStamp != 0;
    if (first) StrokeSetup(stamp);
    const float k = smearFactor, l = 1.0f - k, f = first ? 1.0f : k * decayRate;
    const float* p = stamp.paint;
    w = {first ? 0.0f : k, first ? k : (1.0f - f) * l, {p[0] * f * l, p[1] * f * l, p[2] * f * l, f * l}};
    return true;
}
