#include "app/MoveSmearTool.h"

namespace scribbix {

MoveSmearTool::MoveSmearTool() {
    smearFactor = 1.0f;
}

} // namespace scribbix
