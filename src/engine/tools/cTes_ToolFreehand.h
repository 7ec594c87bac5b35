// Freehand tools: tools that follow the pointer sample by sample while the button is held
// (kind 2). The painting tools derive from cTes_ToolFreehandTip below it.
#pragma once

#include "engine/tools/cTes_Tool.h"

class cTes_ToolFreehand : public cTes_Tool {
  public:
    cTes_ToolFreehand();

  protected:
    static const int32_t kKindChain[];
};
