// Descriptor defaults of every tool and the base operations.
#include "engine/tools/cTes_Tool.h"

const int32_t cTes_Tool::kKindChain[] = {kToolKind_Tool, 0};

cTes_Tool::cTes_Tool() : kinds(kKindChain) {}

bool cTes_Tool::IsKind(int32_t kind) const {
    for (const int32_t* k = kinds; *k != 0; ++k)
        if (*k == kind) return true;
    return false;
}

void cTes_Tool::Apply(s_ToolPars& pars, t_ToolAnchor* anchors, c_TesLayer* layer) {
    anchors[0][2] = -1.0f;
}
