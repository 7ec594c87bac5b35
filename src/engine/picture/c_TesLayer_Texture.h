// Texture layer (type 5): a mono layer kept below all other layers and never drawn in the
// composite. Create fills it with a ramp: 0, then +0.0001 each value (single precision), a value
// past 1.0 restarting at 0.
#pragma once

#include "engine/picture/c_TesLayer_MonoComp_NoType.h"

class c_TesLayer_Texture : public c_TesLayer_MonoComp_NoType {
  public:
    c_TesLayer_Texture();
    ~c_TesLayer_Texture() override;

    bool Create(int32_t x, int32_t y, int32_t width, int32_t height) override;
    // Textures draw nothing.
    void CompositeOnto(c_TesLayer_Gfx& target) override;

  protected:
    std::unique_ptr<c_TesLayer_MonoComp_NoType> MakeSame() const override;
};
