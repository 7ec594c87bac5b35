// The picture's selection mask (type 6), kept by the picture outside the layer stack. Values are
// protection amounts: 0.0 fully selected (open to painting), 1.0 not selected. The fill value is
// 1.0, so Clear deselects everything; a freshly created selection (zeroed) selects everything.
// The selection is active while visible; it draws nothing into the composite.
#pragma once

#include "engine/picture/cTes_Layer_Mask.h"

class cTes_Layer_Selection : public cTes_Layer_Mask {
  public:
    cTes_Layer_Selection();
    ~cTes_Layer_Selection() override;

    void CompositeOnto(c_TesLayer_Gfx& target) override;
    void ApplyToComposite(float* target, int32_t targetRowSkip, const float* mask, int32_t maskRowSkip,
                          int32_t width, int32_t height, int32_t opacity) override;

    // Outline map for the editor: one byte a pixel written into `target`'s pixel block at
    // (row · target width + column) over the rectangle: 255 where the selection crosses 0.0 among a
    // pixel and its left and right neighbours, else 128 where it crosses 0.5, else 64 where it
    // crosses 1.0, else 0. Neighbours wrap when the picture repeats horizontally, otherwise a
    // missing one counts as 1.0. Nothing is written while hidden, without pixels or compacted, or
    // when the target is compacted.
    virtual void BuildOutline(c_TesLayer& target, int32_t x, int32_t y, int32_t width, int32_t height) const;
    // The outline mark of a pixel from its value and two neighbours' (255, 128, 64 or 0, above).
    static uint8_t OutlineMark(float a, float b, float c);

    // Bounding box of the pixels with a value below 1 (at least partly selected). Without pixels
    // the whole layer; with nothing selected width or height is 0.
    void SelectionBounds(int32_t& x, int32_t& y, int32_t& width, int32_t& height) const;

  protected:
    std::unique_ptr<c_TesLayer_MonoComp_NoType> MakeSame() const override;
};
