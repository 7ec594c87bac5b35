// The program's tool box: the engine tool box with the program's nine tools, a size limit taken
// from the screen, nearly hard tips and black/white edge colours for the shaded pens, and the
// 3D Pen as the initial tool of the left button.
#pragma once

#include <cstdint>

#include "engine/tools/cVek_ToolBox.h"

namespace scribbix {

class ToolBox : public cVek_ToolBox {
  public:
    // Ids of the program's own tools.
    enum : uint32_t {
        kThreeDeePen = 1020000,
        kLight3DPen = 1020001,
        kSoftPen = 1020002,
        kHighlight3DPen = 1020003,
        kDrag = 1020004,
        kSmudge = 1020005,
    };

    // The screen size is the current display mode's, in pixels; it sets max size to
    // clamp(⌊min(width, height) × 76 / 1000⌋, 3, 251). The new tool box becomes gVek_ToolBox.
    ToolBox(int32_t screenWidth, int32_t screenHeight);
    ~ToolBox() override;

    // Pen, Eraser, 3D Pen, Light 3D Pen, Soft Pen, Sprinkled Pen, Highlight 3D Pen, Drag, Smudge.
    bool CreateTools() override;

    static int32_t MaxSizeForScreen(int32_t screenWidth, int32_t screenHeight);
};

} // namespace scribbix
