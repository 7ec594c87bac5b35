#include "engine/tools/cTes_Tool_LightenPen.h"

#include "engine/picture/BlendModes.h"

namespace tes {
const float kWhite[3] = {1.0f, 1.0f, 1.0f};
} // namespace tes

cTes_Tool_LightenPen::cTes_Tool_LightenPen() {
    blendMode = kTesBlend_Add;
    usesPaint = 0;
}

void cTes_Tool_LightenPen::AdjustStamp(s_StampPars& stamp) {
    stamp.paint = tes::kWhite;
}
