#include "engine/tools/cTes_ToolFreehand.h"

const int32_t cTes_ToolFreehand::kKindChain[] = {kToolKind_Freehand, kToolKind_Tool, 0};

cTes_ToolFreehand::cTes_ToolFreehand() {
    kinds = kKindChain;
}
