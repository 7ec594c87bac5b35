#include "app/HardSmearTool.h"

namespace scribbix {

HardSmearTool::HardSmearTool() {
    smearFactor = 0.85f;
}

void HardSmearTool::AdjustStamp(s_StampPars& stamp) {
    stamp.tip.hardness = 0.0f;
    stamp.tip.tipShape = 1.0f;
}

} // namespace scribbix
