// A decoded image handed to a colour layer (c_TesLayer_Gfx::SetFromImage): size, pixel block and
// format code. Format 5: float red, green, blue, alpha (16 bytes a pixel); format 1: 8-bit bytes
// blue, green, red, unused; format 2: 8-bit blue, green, red, alpha. Rows top first, no gaps.
#pragma once

#include <cstdint>

#include "shell/MemBlock.h"

struct s_TesImage {
    int32_t width = 0;
    int32_t height = 0;
    vek::MemBlock pixels;
    int32_t format = 0;
};
