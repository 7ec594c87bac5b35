// The colorizer: the pen with blend mode 56 (colour with the RGB sum kept). It recolours existing
// paint and leaves transparent pixels alone.
#pragma once

#include "engine/tools/cTes_Tool_Pen.h"

class cTes_Tool_ColorizerPen : public cTes_Tool_Pen {
  public:
    cTes_Tool_ColorizerPen();
};
