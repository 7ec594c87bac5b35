// The tip and the per-stamp records of the stroke engine.
//
// Every pixel pointer of s_StampPars addresses the top-left pixel of one clipped rectangle of a
// stamp; a row advances by `columns` plus the row skip of its buffer. Masks hold one float a pixel
// and are W × H (room for the sub-pixel shift).
#pragma once

#include <cstdint>

#include "engine/tools/s_ToolPars.h"
#include "shell/MemBlock.h"

struct s_TipPars {
    vek::MemBlock* maskA; // tip values (profile × strength)
    vek::MemBlock* maskB; // edge cone max(0, 1 - r); null unless the tool needs it
    float size;           // d
    float fx, fy;         // sub-pixel fractions, 0 <= f < 1 once placed
    float hardness;       // h
    float tipShape;       // s
    float strength;
    float softDiameter; // D
    float slope;        // k
    int32_t maskWidth;  // W: M, plus 1 when fx != 0
    int32_t maskHeight; // H
    int32_t maskSize;   // M
    int32_t halfWidth, halfHeight;
    uint8_t needsEdgeCone;
    // Beyond the record: where the masks' rows are not zero, columns [rowFirst[j], rowEnd[j]) of
    // mask row j (A and B together); null when unknown (whole rows).
    int32_t* rowFirst;
    int32_t* rowEnd;
};

struct s_StampPars {
    s_ToolPars* pars;
    const s_StrokePoint* point;
    s_TipPars tip;
    const float* source; // RGBA, the backup copy at the rectangle
    float* dest;         // RGBA, the layer at the rectangle
    // Smear tools: the carried paint, RGBA premultiplied, in the tip's frame: the rectangle's pixel
    // (i, j) lies between entries i and i + 1 of pick-up rows j and j + 1, at the tip's fractions
    // (fx, fy) from entry (i + 1, j + 1); on whole pixels it is that entry.
    const float* pickUp;
    const float* maskA;
    const float* maskB;
    float* coverage;
    const float* highlight; // three floats each
    const float* paint;
    const float* innerEdge;
    const float* outerEdge;
    int32_t columns, rows;
    int32_t maskColumn, maskRow; // offset of the rectangle inside the masks
    int32_t destRowSkip;         // layer width - columns (also for source and coverage)
    int32_t maskRowSkip;         // W - columns
    int32_t pickUpRowSkip;
    float strength, flow, tolerance;
    int32_t blendMode;
    int32_t selectionMode;
    uint8_t firstStamp; // the pick-up buffer was just created
    // Beyond the record: the tip's non-zero columns per mask row (see s_TipPars), or null.
    // Outside them every mask value is 0, so a kernel may skip those pixels.
    const int32_t* rowFirst;
    const int32_t* rowEnd;
};

// A smear tool's pick-up step as a weighted sum per premultiplied pixel:
// G' = G·keep + A·take + add, A being the area under the tip in the tip's frame.
struct s_PickUpWeights {
    float keep, take;
    float add[4];
};

namespace tes {
// The columns [first, end) of the rectangle's row `y` that the tip can touch.
inline void SpanColumns(const s_StampPars& sp, int32_t y, int32_t& first, int32_t& end) {
    first = 0;
    end = sp.columns;
    if (!sp.rowFirst) return;
    const int32_t row = sp.maskRow + y;
    const int32_t a = sp.rowFirst[row] - sp.maskColumn, b = sp.rowEnd[row] - sp.maskColumn;
    if (a > first) first = a;
    if (b < end) end = b;
    if (end < first) end = first;
}
} // namespace tes
