// Dynamic filter layer (type 2): a mono layer that filters the layers below it. The filters
// themselves are not part of this program; here the layer keeps its record and its class block
// and draws nothing (no margins, no change to the composite).
#pragma once

#include "engine/picture/cTes_Layer_Mask.h"

class c_TesLayer_Filter : public cTes_Layer_Mask {
  public:
    c_TesLayer_Filter();
    ~c_TesLayer_Filter() override;

    int32_t WriteTypeBlock(vek::MemBlock& buffer, int32_t position) const override;
    bool ReadTypeBlock(const uint8_t* data, int32_t size) override;
    void GetCompositeMargins(int32_t& left, int32_t& top, int32_t& right, int32_t& bottom) const override;
    void ApplyToComposite(float* target, int32_t targetRowSkip, const float* mask, int32_t maskRowSkip,
                          int32_t width, int32_t height, int32_t opacity) override;

    // The filter kind and its parameter sub-chunks as read, written back unchanged.
    int32_t filterKind = 0;
    vek::MemBlock filterParameters;

  protected:
    std::unique_ptr<c_TesLayer_MonoComp_NoType> MakeSame() const override;
};
