// Row kernels of the colour composite and the paper step (straight linear RGBA floats).
// Each has a plain version and SIMD versions (SSE2, and AVX for two pixels a register when the
// processor has it, chosen once at run time); all do the same single-precision operations in the
// same order per channel, so every version gives identical bits.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tes {

// n pixels of source s (alpha scaled by op) onto target d:
// target with stale pixels, Normal: d = A > 0 ? (s.rgb, A) : 0 for every pixel.
void RowCopyFull(float* d, const float* s, int32_t n, float op);
// The same followed at once by the paper step (PaperRow), for the last layer of a composite.
void RowCopyFullPaper(float* d, const float* s, int32_t n, float op, const float paper[3]);
// target empty, Normal: d = (s.rgb, A) where A > 0.
void RowCopy(float* d, const float* s, int32_t n, float op);
// target visible, Normal: outA = A + (1 − A)·Da, f = A / outA, d.rgb = s·f + d·(1 − f), d.a = outA.
void RowOver(float* d, const float* s, int32_t n, float op);
// target visible, Multiply: d.rgb = (1 − A)·d + A·(d·s) where A > 0 and Da > 0.
void RowMultiply(float* d, const float* s, int32_t n, float op);
// Paper under n pixels: rgb = rgb·a + (1 − a)·paper, alpha 1.
void PaperRow(float* d, size_t n, const float paper[3]);

// One set of the kernels above.
struct s_CompositeKernels {
    void (*copyFull)(float*, const float*, int32_t, float);
    void (*copy)(float*, const float*, int32_t, float);
    void (*over)(float*, const float*, int32_t, float);
    void (*multiply)(float*, const float*, int32_t, float);
    void (*paper)(float*, size_t, const float*);
    void (*copyFullPaper)(float*, const float*, int32_t, float, const float*);
};
// The kernels of a level (0 plain, 1 SSE2, 2 AVX), or null where this build or processor has
// none; the functions above use the highest level available.
const s_CompositeKernels* CompositeKernels(int level);

} // namespace tes
