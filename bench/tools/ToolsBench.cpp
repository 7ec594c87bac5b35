// Stamps per second of the Pen, the 3D Pen and the program's Smudge on a 1920 × 1080 layer at
// diameters 5, 35 and 81 with sub-pixel coordinates on and off; a 1000-pixel stroke from queued
// events to pixels; and, as peers in the same run, libmypaint's dab (mypaint_surface_draw_dab on
// its fixed tiled surface, one thread) and a plain float paint-over loop over the same square.
// "pixels_per_s" counts d² pixels a stamp for every contender, so ratios compare like with like.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

extern "C" {
#include <mypaint-fixed-tiled-surface.h>
#include <mypaint-surface.h>
}

#include "app/ToolBox.h"
#include "engine/picture/c_TesLayer.h"
#include "engine/picture/c_TesPic.h"
#include "engine/tools/ToolRows.h"

extern "C" void omp_set_num_threads(int);

namespace {

constexpr int kWidth = 1920, kHeight = 1080;
constexpr int kStampsPerRow = 1600;
constexpr float kStampStep = 1.013f; // 1600 steps stay inside a 1920-pixel row

struct Scene {
    std::unique_ptr<c_TesPic> pic;
    c_TesLayer* ink = nullptr;
    std::unique_ptr<scribbix::ToolBox> box;
    std::vector<s_StrokePoint> points;

    Scene(uint32_t tool, int diameter, bool subPixel) {
        pic = std::make_unique<c_TesPic>(kWidth, kHeight);
        ink = pic->AddColourLayer();
        // A busy but opaque background, so smear tools have something to move.
        float* p = ink->Pixels();
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x, p += 4) {
                p[0] = 0.5f + 0.5f * std::sin(x * 0.05f), p[1] = 0.3f,
                p[2] = 0.5f + 0.5f * std::cos(y * 0.07f);
                p[3] = 1.0f;
            }
        ink->DropBackup();
        box = std::make_unique<scribbix::ToolBox>(2560, 1440);
        box->maxSize = 251;
        box->Initialize();
        box->SetPicture(pic.get());
        box->SetPrimaryTool(tool);
        box->size[0] = diameter;
        box->subPixel = subPixel ? 1 : 0;
    }

    // Fills the tool parameters as the tool box does for a batch.
    s_ToolPars Pars() {
        s_ToolPars pars{};
        pars.toolBox = box.get();
        pars.picture = pic.get();
        pars.layer = ink;
        pars.backup = ink->EnsureBackup()->As<float>();
        pars.pixels = ink->Pixels();
        pars.coverage = pic->GetStrokeBuffer();
        pars.width = kWidth, pars.height = kHeight;
        pars.size = static_cast<float>(box->size[0]);
        pars.hardness = (100 - box->softness[0]) / 100.0f;
        pars.tipShape = 1.0f - box->tipProfile[0] / 100.0f;
        pars.strength = box->strength[0] / 100.0f;
        pars.flow = 0.25f, pars.tolerance = 0.2f;
        pars.highlight = box->highlight[0], pars.paint = box->paint[0];
        pars.innerEdge = box->innerEdge[0], pars.outerEdge = box->outerEdge[0];
        pars.subPixel = static_cast<uint8_t>(box->subPixel);
        return pars;
    }

    // One row of stamps about one pixel apart. The step is not a whole pixel, so with sub-pixel
    // coordinates every stamp has new fractions and its masks are rebuilt, as in a real stroke.
    const s_StrokePoint* Row(int row, int diameter) {
        points.clear();
        const float y = 60.0f + (row * (diameter + 4)) % (kHeight - 120) + 0.61f;
        for (int i = 0; i < kStampsPerRow; ++i)
            points.push_back(s_StrokePoint{100.37f + i * kStampStep, y, 1.0f, 0.01f, 1, 0});
        points.push_back(s_StrokePoint{0, 0, 1.0f, -1.0f, 0, 0});
        return points.data();
    }
};

void SetRates(benchmark::State& state, int64_t stamps, int diameter) {
    state.counters["stamps_per_s"] = benchmark::Counter(double(stamps), benchmark::Counter::kIsRate);
    state.counters["pixels_per_s"] =
        benchmark::Counter(double(stamps) * diameter * diameter, benchmark::Counter::kIsRate);
}

void StampTool(benchmark::State& state, uint32_t tool) {
    const int diameter = static_cast<int>(state.range(0));
    Scene scene(tool, diameter, state.range(1) != 0);
    cTes_Tool* t = scene.box->FindTool(tool);
    int64_t stamps = 0;
    int row = 0;
    for (auto _ : state) {
        s_ToolPars pars = scene.Pars();
        t->PaintStroke(pars, scene.Row(row++, diameter));
        stamps += kStampsPerRow;
        state.PauseTiming();
        scene.ink->CommitChanges(); // clears the coverage of the row, as the end of a stroke does
        scene.box->ReleasePickUp();
        state.ResumeTiming();
    }
    SetRates(state, stamps, diameter);
}

void BM_Pen(benchmark::State& state) {
    StampTool(state, 1);
}
void BM_ThreeDeePen(benchmark::State& state) {
    StampTool(state, scribbix::ToolBox::kThreeDeePen);
}
void BM_ProgramSmudge(benchmark::State& state) {
    StampTool(state, scribbix::ToolBox::kSmudge);
}

// The program's Smudge on the AVX2 row kernels, where the processor would choose AVX-512.
void BM_ProgramSmudgeAvx2(benchmark::State& state) {
    if (!tes::UseToolRowLevel(2)) {
        state.SkipWithError("no AVX2");
        return;
    }
    StampTool(state, scribbix::ToolBox::kSmudge);
    tes::UseToolRowLevel(0);
}

void BM_MyPaintDab(benchmark::State& state) {
    omp_set_num_threads(1);
    const int diameter = static_cast<int>(state.range(0));
    MyPaintFixedTiledSurface* fixed = mypaint_fixed_tiled_surface_new(kWidth, kHeight);
    MyPaintSurface* surface = mypaint_fixed_tiled_surface_interface(fixed);
    int64_t stamps = 0;
    int row = 0;
    for (auto _ : state) {
        const float y = 60.0f + (row++ * (diameter + 4)) % (kHeight - 120) + 0.61f;
        mypaint_surface_begin_atomic(surface);
        for (int i = 0; i < kStampsPerRow; ++i)
            mypaint_surface_draw_dab(surface, 100.37f + i * kStampStep, y, diameter * 0.5f, 0.0f, 0.39f, 0.15f, 1.0f,
                                     0.99f, 1.0f, 1.0f, 0.0f, 0.0f, 0.0f);
        MyPaintRectangle roi;
        mypaint_surface_end_atomic(surface, &roi); // the dabs are rendered here
        stamps += kStampsPerRow;
    }
    mypaint_surface_unref(surface);
    SetRates(state, stamps, diameter);
}

// The floor: paint-over of a d × d float mask into float RGBA, no coverage, no mask building.
void BM_PlainPaintOver(benchmark::State& state) {
    const int diameter = static_cast<int>(state.range(0));
    std::vector<float> layer(size_t(kWidth) * 256 * 4, 0.5f), mask(size_t(diameter) * diameter);
    for (int y = 0; y < diameter; ++y)
        for (int x = 0; x < diameter; ++x) {
            const float dx = x - diameter / 2.0f, dy = y - diameter / 2.0f;
            mask[y * diameter + x] = std::hypot(dx, dy) < diameter / 2.0f ? 1.0f : 0.0f;
        }
    const float paint[3] = {0.0f, 0.39f, 0.15f};
    int64_t stamps = 0;
    int x0 = 0;
    for (auto _ : state) {
        for (int i = 0; i < kStampsPerRow; ++i, x0 = (x0 + 1) % (kWidth - diameter)) {
            for (int y = 0; y < diameter; ++y) {
                float* d = &layer[(size_t(y + 8) * kWidth + x0) * 4];
                const float* m = &mask[y * diameter];
                for (int x = 0; x < diameter; ++x, d += 4) {
                    const float a = (1.0f - m[x]) * d[3] + m[x];
                    const float t = a > 0.0f ? m[x] / a : 0.0f, u = 1.0f - t;
                    d[0] = d[0] * u + paint[0] * t, d[1] = d[1] * u + paint[1] * t,
                    d[2] = d[2] * u + paint[2] * t;
                    d[3] = a;
                }
            }
        }
        benchmark::DoNotOptimize(layer.data());
        stamps += kStampsPerRow;
    }
    SetRates(state, stamps, diameter);
}

// A 1000-pixel 3D Pen stroke at size 35 from queued events (one every 4 pixels) to pixels,
// smoothing and sub-pixel coordinates on; includes the commit at its end (no history).
void BM_Stroke1000(benchmark::State& state) {
    Scene scene(scribbix::ToolBox::kThreeDeePen, 35, true);
    double t = 1.0;
    int row = 0;
    for (auto _ : state) {
        const float y = 80.0f + (row++ * 40) % 900 + 0.3f;
        scene.box->QueueEvent(200.25f, y, 1, t += 0.008, kToolEventPress, 1);
        for (int i = 1; i < 250; ++i)
            scene.box->QueueEvent(200.25f + 4.0f * i, y + 6.0f * std::sin(i * 0.05f), 0, t += 0.008,
                                  kToolEventMove, 0);
        scene.box->QueueEvent(1200.25f, y, 0, t += 0.008, kToolEventRelease, 0);
    }
    state.counters["strokes_per_s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["stroke_px_per_s"] =
        benchmark::Counter(1000.0 * state.iterations(), benchmark::Counter::kIsRate);
}

void Diameters(benchmark::internal::Benchmark* b) {
    for (int sub : {0, 1})
        for (int d : {5, 35, 81})
            b->Args({d, sub});
}

} // namespace

BENCHMARK(BM_Pen)->Apply(Diameters)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ThreeDeePen)->Apply(Diameters)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProgramSmudge)->Apply(Diameters)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProgramSmudgeAvx2)->Args({35, 1})->Args({81, 1})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MyPaintDab)->Arg(5)->Arg(35)->Arg(81)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainPaintOver)->Arg(5)->Arg(35)->Arg(81)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Stroke1000)->Unit(benchmark::kMillisecond);
