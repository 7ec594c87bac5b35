// Masking wax (type 3): protects the layers below it from painting and shows as a yellow overlay
// (1.0, 0.7, 0.0) laid over the picture with strength w (the wax value). Wax never compacts.
#pragma once

#include "engine/picture/cTes_Layer_Mask.h"

class c_TesLayer_Wax : public cTes_Layer_Mask {
  public:
    c_TesLayer_Wax();
    ~c_TesLayer_Wax() override;

    // Wax stays expanded: compacting does nothing.
    bool SetCompact(bool compact) override;
    // The overlay: with k = (1 − w)·op and t = 1 − k the target alpha becomes t + k·Da and the
    // colour (t·wax + k·Da·colour) / alpha; where the resulting alpha is 0 the pixel is (0, 0, 0, 0).
    void ApplyToComposite(float* target, int32_t targetRowSkip, const float* mask, int32_t maskRowSkip,
                          int32_t width, int32_t height, int32_t opacity) override;

  protected:
    std::unique_ptr<c_TesLayer_MonoComp_NoType> MakeSame() const override;
};
