#include "engine/tools/cTes_Tool_PixelPen.h"

cTes_Tool_PixelPen::cTes_Tool_PixelPen() {
    hasSize = 0;
    hasSoftness = 0;
}

void cTes_Tool_PixelPen::PrepareParams(s_ToolPars& pars) {
    pars.subPixel = 0;
}

void cTes_Tool_PixelPen::AdjustStamp(s_StampPars& stamp) {
    stamp.tip.size = 1.0f;
}
