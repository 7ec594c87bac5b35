// Composite and compaction timings of a 1920 × 1080 picture. The baseline is a plain copy of the
// same number of bytes between two blocks touched before timing, so both sides run on warm pages;
// the composites write into a target kept between iterations, as the editor does. Mode 0 in the
// blend series is a Normal layer over a full one.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>

#include "engine/picture/BlendModes.h"
#include "engine/picture/c_TesPic.h"

namespace {

constexpr int kW = 1920, kH = 1080;
constexpr size_t kBytes = size_t(kW) * kH * 16;

void FillOpaque(c_TesLayer& l, uint32_t seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> u(0.0f, 1.0f);
    float* p = l.Pixels();
    for (size_t i = 0; i < size_t(l.width) * l.height; ++i) {
        p[i * 4] = u(rng), p[i * 4 + 1] = u(rng), p[i * 4 + 2] = u(rng), p[i * 4 + 3] = 1.0f;
    }
}

// A soft round stroke of radius r at (cx, cy).
void Stroke(c_TesLayer& l, int cx, int cy, int r) {
    for (int y = cy - r; y <= cy + r; ++y)
        for (int x = cx - r; x <= cx + r; ++x) {
            const float d = float((x - cx) * (x - cx) + (y - cy) * (y - cy)) / float(r * r);
            if (d >= 1.0f) continue;
            float* p = l.Pixels() + (size_t(y) * l.width + x) * 4;
            p[0] = 0.1f, p[1] = 0.2f, p[2] = 0.6f, p[3] = 1.0f - d;
        }
}

void Run(benchmark::State& state, c_TesPic& pic, int paper) {
    c_TesLayer_Gfx target;
    pic.CompositeInto(target, 0, 0, kW, kH, false, paper); // warm the target's pages
    for (auto _ : state) {
        pic.CompositeInto(target, 0, 0, kW, kH, false, paper);
        benchmark::DoNotOptimize(target.Pixels());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kBytes);
}

} // namespace

static void BM_CopyBaseline(benchmark::State& state) {
    vek::MemBlock a, b;
    a.AllocZeroed(kBytes);
    b.AllocZeroed(kBytes);
    std::memset(a.Data(), 1, kBytes);
    std::memset(b.Data(), 2, kBytes);
    for (auto _ : state) {
        std::memcpy(b.Data(), a.Data(), kBytes);
        benchmark::DoNotOptimize(b.Data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kBytes);
}
BENCHMARK(BM_CopyBaseline)->Unit(benchmark::kMillisecond);

static void BM_CompositeOneLayer(benchmark::State& state) {
    c_TesPic pic(kW, kH);
    FillOpaque(*pic.AddColourLayer(), 1);
    Run(state, pic, int(state.range(0)));
}
BENCHMARK(BM_CompositeOneLayer)->Arg(0)->Arg(1)->ArgName("paper")->Unit(benchmark::kMillisecond);

static void BM_CompositeFourLayersThreeCompacted(benchmark::State& state) {
    c_TesPic pic(kW, kH);
    auto* base = pic.AddColourLayer();
    FillOpaque(*base, 2);
    for (int i = 0; i < 3; ++i)
        Stroke(*pic.AddColourLayer(), 300 + 500 * i, 300 + 200 * i, 40);
    pic.SetCurrent(base); // the three stroke layers are compacted to their content
    Run(state, pic, int(state.range(0)));
}
BENCHMARK(BM_CompositeFourLayersThreeCompacted)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("paper")
    ->Unit(benchmark::kMillisecond);

static void BM_CompositeBlendLayerOverFull(benchmark::State& state) {
    c_TesPic pic(kW, kH);
    FillOpaque(*pic.AddColourLayer(), 3);
    auto* top = pic.AddColourLayer();
    FillOpaque(*top, 4);
    top->blendOn = 1;
    top->blendMode = int(state.range(0));
    Run(state, pic, 1);
}
BENCHMARK(BM_CompositeBlendLayerOverFull)
    ->Arg(0)
    ->Arg(kTesBlend_Multiply)
    ->Arg(kTesBlend_Screen)
    ->Arg(kTesBlend_Color)
    ->ArgName("mode")
    ->Unit(benchmark::kMillisecond);

static void BM_SetCompactSmallStroke(benchmark::State& state) {
    c_TesLayer_Gfx l;
    l.Create(0, 0, kW, kH);
    Stroke(l, 900, 500, 25);
    for (auto _ : state) {
        l.SetCompact(true);
        l.SetCompact(false);
        benchmark::DoNotOptimize(l.Pixels());
    }
}
BENCHMARK(BM_SetCompactSmallStroke)->Unit(benchmark::kMillisecond);
