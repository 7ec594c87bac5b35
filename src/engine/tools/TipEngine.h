// Tip geometry, distance tables, tip masks and the sub-pixel shift shared by every tip tool.
//
// A tip of size d, hardness h and tip shape s is widened to its soft diameter D and drawn into an
// M × M mask (M has the parity of ⌊d⌋ so the mask centres on the same grid as the size); the masks
// are W × H, one column (row) more when the stamp sits at a fractional x (y). Values r are the
// distance from the tip centre divided by D/2, read from quarter tables of 2 × 2 supersampled
// distances so that no stamp takes a square root.
#pragma once

#include <cstdint>

#include "engine/tools/s_StampPars.h"
#include "shell/MemBlock.h"

namespace tes {

// Side of the quarter table of diameter n: (n + 1) / 2.
inline int32_t DistanceTableSide(int32_t n) {
    return (n + 1) / 2;
}

// Fills `table` (side × side floats, allocated here) with the normalised distances of diameter n:
// the mean distance of the points (i ± 0.25, j ± 0.25) from the centre n/2 − 0.5, over n/2,
// capped at 1; the centre pixel of an odd n is 0. False (table unchanged) when memory runs out.
bool BuildDistanceTable(vek::MemBlock& table, int32_t n);

// From size, hardness and tip shape: soft diameter, slope, mask size, half sizes and W × H (which
// count the sub-pixel room for the fractions stored in the tip).
void ComputeTipGeometry(s_TipPars& tip);

// Mask side needed for the tip whatever its fractions: M + 1.
inline int32_t TipMaskCapacitySide(const s_TipPars& tip) {
    return tip.maskSize + 1;
}

// The unshifted masks of the tip's geometry as planes of (M + 2)² floats: the M × M image at
// offset (1, 1) inside a border of zeros (the border is the "0 beyond the first row and column" of
// the shift). Built from a distance table of the same parity as M with n >= M. `quadrant` is
// scratch of at least ((M + 1) / 2)² × 2 floats; planeB is only written with needsEdgeCone.
// `planeFirst` / `planeEnd` (M entries, may be null) receive each image row's non-zero columns.
void BuildTipPlanes(const s_TipPars& tip, const float* table, int32_t n, float* quadrant, float* planeA,
                    float* planeB, int32_t* planeFirst = nullptr, int32_t* planeEnd = nullptr);

// Mask A (and mask B) at W × H for the tip's fractions, from the planes: a negative fraction counts
// as f + 1; every row is shifted right by fx and then every column down by fy by linear
// interpolation, the extra column and row receiving the spill-over.
// With the planes' row extents given (and tip.rowFirst / rowEnd set, H entries), the masks' row
// extents are filled as well, and only the columns inside them are written; `sameLayout` says
// that the masks were last built from the same planes at the same W × H, so the extents are in
// place and the masks are already 0 outside them. `sameShift` says more: they already hold these
// planes shifted by these very fractions, so only the tip's geometry is set.
void ShiftTipMasks(s_TipPars& tip, const float* planeA, const float* planeB, const int32_t* planeFirst,
                   const int32_t* planeEnd, bool sameLayout, bool sameShift = false);

// Both steps at once.
void BuildTipMasks(s_TipPars& tip, const float* table, int32_t n, float* quadrant, float* planeA,
                   float* planeB);

// The tip value of mask A at normalised distance r for slope k, tip shape s and strength σ.
float TipProfile(float r, float slope, float tipShape, float strength);

// ⌊x⌋ as an integer for the stamp anchor (x truncated, one less when the fraction is negative).
inline int32_t FloorToInt(float x) {
    int32_t i = static_cast<int32_t>(x);
    return (static_cast<float>(i) > x) ? i - 1 : i;
}

} // namespace tes
