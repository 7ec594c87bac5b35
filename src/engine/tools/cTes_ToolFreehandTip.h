// Tip tools: every painting tool. They share the stroke engine implemented here — PaintStroke
// (tip geometry and masks once per batch), Stamp (sub-pixel placement, clipping or wrap-around,
// smear pick-up, the paint mask, the kernel per clipped rectangle) and the straight line of draw
// mode Line — and differ only in AdjustStamp, PickUp, StrokeSetup and their kernel BlendSpan.
//
// Kernels composite over the backup copy (the layer as it was when the stroke began) and keep the
// highest tip value per pixel in the stroke coverage buffer, so one stroke never builds up.
#pragma once

#include "engine/tools/cTes_ToolFreehand.h"

class cTes_ToolFreehandTip : public cTes_ToolFreehand {
  public:
    uint8_t needsEdgeCone = 0; // mask B is built
    uint8_t needsPickUp = 0;   // smear tools: a pick-up buffer travels with the tip

    cTes_ToolFreehandTip();

    // Draw mode Line: paints the straight line between the first two anchors, then empties the
    // anchor list. The tool box records and commits afterwards.
    void Apply(s_ToolPars& pars, t_ToolAnchor* anchors, c_TesLayer* layer) override;
    void PaintStroke(s_ToolPars& pars, const s_StrokePoint* points) override;
    void Stamp(s_StampPars& stamp, const s_StrokePoint& point) override;
    // Tools with a pick-up whose step is a weighted sum give its weights for this stamp (the
    // first-stamp flag is set), and the stamp shifts the area and mixes it in one pass; the others
    // return false and get PickUp row by row.
    virtual bool PickUpWeights(s_StampPars& stamp, s_PickUpWeights& weights) { return false; }

  protected:
    static const int32_t kKindChain[];

  private:
    // Smear tools: the scratch, the pick-up on the stroke's first stamp and, across an edge of the
    // layer, a copy of the area under the tip; false when memory runs out (the stamp is skipped).
    bool PrepareSmear(s_StampPars& stamp, int32_t left, int32_t top);
    // Smear tools: pick-up and kernel row by row (see the .cpp).
    void SmearStamp(s_StampPars& stamp, int32_t left, int32_t top, const float* maskA);
    // Fills the rectangle's fields of the stamp (layer pixel `layerAt`, mask column and row) and
    // calls BlendSpan.
    void StampRectangle(s_StampPars& stamp, size_t layerAt, int32_t maskColumn, int32_t maskRow,
                        int32_t columns, int32_t rows, const float* maskA, const float* pickUp,
                        int32_t pickUpStride);
};
