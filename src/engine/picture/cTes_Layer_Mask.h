// Abstract grouping of the mono layers that act as masks (filter, wax, selection). Adds nothing
// to the mono layer; it exists so code can ask "is this a mask layer".
#pragma once

#include "engine/picture/c_TesLayer_MonoComp_NoType.h"

class cTes_Layer_Mask : public c_TesLayer_MonoComp_NoType {
  public:
    ~cTes_Layer_Mask() override = default;

  protected:
    cTes_Layer_Mask(int32_t type, int32_t classFlag, const float* fillValue)
        : c_TesLayer_MonoComp_NoType(type, classFlag, fillValue) {}
};
