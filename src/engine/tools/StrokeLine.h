// The straight stroke of draw mode Line between two anchors.
//
// Without sub-pixel coordinates: |major delta| + 1 points from the truncated start, one pixel apart
// along the major axis, the other coordinate following the slope (rounded to whole pixels). With
// them: the exact start, every crossing of a whole major-axis coordinate in between, the exact end.
// Points have weight 1, time value 0.01, no buttons and no end flag; the list ends with time -1.
#pragma once

#include <cstdint>

#include "engine/tools/s_ToolPars.h"
#include "shell/MemBlock.h"

namespace tes {

// Writes the line into `list` (s_StrokePoint, grown to `capacity` + 1 entries when needed, capacity
// then updated). Returns the number of points, or -1 when the list cannot grow (list unchanged).
int32_t BuildLine(float x0, float y0, float x1, float y1, bool subPixel, vek::MemBlock& list,
                  int32_t& capacity);

} // namespace tes
