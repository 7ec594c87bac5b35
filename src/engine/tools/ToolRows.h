// Row kernels of the tip tools: the sub-pixel shift of the tip masks and the smear stamp's steps
// (the area into the tip's frame, the pick-up mix, and the composite, which lays the pick-up back
// onto the layer's grid as it goes). Pixels are RGBA floats; "premultiplied" rows carry rgb·α in the colour lanes.
//
// Level 1 is SSE2 (one pixel a register), level 2 AVX2 with FMA (two pixels), level 3 AVX-512
// (four pixels; its mask shift is level 2's), the best one chosen at run time. The mask shift is
// bit-identical at every level (no fused multiply-add there); the smear steps may differ in the
// last bits, as fused multiply-adds round once instead of twice.
#pragma once

#include <cstdint>

#include "engine/tools/s_StampPars.h"

namespace tes {

struct s_ToolRowKernels {
    // out[i] = w00·cur[i + 1] + w10·cur[i] + w01·up[i + 1] + w11·up[i], i in [0, n): one row of a
    // tip mask shifted right and down from the rows of its bordered plane.
    void (*shiftMaskRow)(const float* cur, const float* up, float* out, int32_t n, float w00, float w10,
                         float w01, float w11);
    // P = `area` premultiplied (n + 1 straight pixels); Hnew[i] = P[i] + fx·(P[i + 1] − P[i]). With
    // `frame`: frame[i] = h[i] + fy·(Hnew[i] − h[i]) first. Then h[i] = Hnew[i].
    void (*frameRow)(const float* area, float* h, float* frame, int32_t n, float fx, float fy);
    // g = g·keep + a·take + add over n pixels.
    void (*mixRow)(float* g, const float* a, int32_t n, const s_PickUpWeights& w);
    // frameRow with a frame row, mixed straight into g (n pixels) instead of being stored.
    void (*frameMixRow)(const float* area, float* h, float* g, int32_t n, float fx, float fy,
                        const s_PickUpWeights& w);
    // The smear composite over n pixels (see cTes_Tool_Smear): s the stroke-start pixels, d the
    // pixels written, m the tip values, w = k·ρ·(1 − σ)². The carried paint comes from two rows of
    // the premultiplied pick-up in the tip's frame, g0 and the one below, g1: pixel i lies between
    // their entries i and i + 1, at (1 − fx, 1 − fy) from entry i of g0, i.e. it is
    // Gb + fy·(Ga − Gb) with Ga, Gb = entry i + 1 + fx·(entry i − entry i + 1) of g0, g1.
    void (*smearRow)(const float* s, const float* g0, const float* g1, float* d, const float* m, int32_t n,
                     float w, float fx, float fy);
    // smearRow over a stamp's rectangle (its columns the tip can touch, mask A, the tip's fractions).
    void (*smearRect)(const s_StampPars& stamp, float w);
};

// The kernels of a level, or null when this processor lacks it.
const s_ToolRowKernels* ToolRowKernels(int level);
// Makes strokes use a level (tests compare levels through whole strokes), or with 0 the best one,
// which is also chosen when the program starts; false when unsupported.
bool UseToolRowLevel(int level);

extern const s_ToolRowKernels* gToolRowKernels;
// The kernels strokes use.
inline const s_ToolRowKernels& ToolRows() {
    return *gToolRowKernels;
}

} // namespace tes
