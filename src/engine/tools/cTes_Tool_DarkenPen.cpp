#include "engine/tools/cTes_Tool_DarkenPen.h"

#include "engine/picture/BlendModes.h"
#include "engine/tools/cTes_Tool_LightenPen.h"

cTes_Tool_DarkenPen::cTes_Tool_DarkenPen() {
    blendMode = kTesBlend_Subtract;
    usesPaint = 0;
}

void cTes_Tool_DarkenPen::AdjustStamp(s_StampPars& stamp) {
    stamp.paint = tes::kWhite;
}
