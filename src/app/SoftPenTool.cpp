#include "app/SoftPenTool.h"

namespace scribbix {

void SoftPenTool::AdjustStamp(s_StampPars& stamp) {
    stamp.tip.hardness = 0.0f;
    stamp.tip.tipShape = 1.0f;
}

} // namespace scribbix
