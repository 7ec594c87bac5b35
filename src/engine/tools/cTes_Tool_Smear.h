// Smear tools: a pick-up buffer (the carried paint, aligned with the tip) travels from stamp to
// stamp, is refreshed from the layer under the tip (PickUp) and laid down again through the tip
// (BlendSpan). There is no coverage rule: every stamp composites over the current pixels, so the
// effect accumulates along the stroke and across strokes.
//
// k is the smear factor (how much of the carried paint survives a stamp); ρ, the decay rate, is
// set on the first stamp so that carried paint would fall to 0.1 % over one tip diameter.
#pragma once

#include "engine/tools/cTes_ToolFreehandTip.h"

class cTes_Tool_Smear : public cTes_ToolFreehandTip {
  public:
    float smearFactor = 0.75f; // k
    float decayRate = 0.0f;    // ρ, per stroke

    cTes_Tool_Smear();
    // Smear, Smudge and the program's smear tools: the area itself on the first stamp (which also
    // sets ρ), later G·k + A·(1 − k).
    bool PickUpWeights(s_StampPars& stamp, s_PickUpWeights& weights) override;
    // One row of the pick-up by PickUpWeights.
    void PickUp(s_StampPars& stamp, float* pickUp, const float* area, int32_t count) override;
    void BlendSpan(s_StampPars& stamp) override;
    // ρ = 1 − 0.001^(1 / (max(1, ⌊size⌋) + 1)).
    void StrokeSetup(s_StampPars& stamp) override;
};

namespace tes {
// The smear kernel over one rectangle; `grain` (Pastel) thins the tip by the per-stroke grain kept
// in the coverage buffer. The pick-up is read in the tip's frame and laid onto the layer's grid
// here (see s_StampPars::pickUp).
void SmearSpan(s_StampPars& stamp, float smearFactor, float decayRate, bool grain, uint32_t grainPpm,
               float grainDepth);
} // namespace tes
