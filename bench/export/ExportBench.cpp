// Export speed for a screen-sized drawing: the composite alone is the baseline; flatten and encode
// (composite, sRGB curve, 8-bit conversion), the PNG encoder and the whole export are compared
// with it. Pixels per second; compare the ratios within one run only.
#include "engine/picture/c_TesLayer_Gfx.h"
#include "engine/picture/c_TesPic.h"
#include "engine/storage/c_TesExport.h"
#include "platform/ImageCodec.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

namespace {

constexpr int kW = 1920, kH = 1080;

// Paper with a few soft round strokes: flat areas and gradients, like a real drawing.
std::unique_ptr<c_TesPic> Drawing() {
    auto pic = std::make_unique<c_TesPic>(kW, kH);
    c_TesLayer_Gfx* ink = pic->AddColourLayer();
    float* p = ink->Pixels();
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x, p += 4) {
            const float d = std::hypot(float(x % 480) - 240.0f, float(y % 360) - 180.0f);
            const float a = d < 150.0f ? 1.0f - d / 150.0f : 0.0f;
            p[0] = 0.8f * a, p[1] = float(x) / kW, p[2] = float(y) / kH, p[3] = a;
        }
    ink->MarkChanged(0, 0, kW, kH);
    return pic;
}

void Pixels(benchmark::State& state) {
    state.SetItemsProcessed(int64_t(state.iterations()) * kW * kH);
}

void BM_Baseline_Composite(benchmark::State& state) {
    auto pic = Drawing();
    for (auto _ : state)
        benchmark::DoNotOptimize(pic->Composite(0, 0, kW, kH, false, 1));
    Pixels(state);
}

void BM_FlattenAndEncode(benchmark::State& state) {
    auto pic = Drawing();
    cTes_Export exporter;
    vek::MemBlock out;
    int32_t w, h, c;
    for (auto _ : state)
        benchmark::DoNotOptimize(exporter.FlattenAndEncode(*pic, false, false, out, w, h, c));
    Pixels(state);
}

void BM_PngEncode(benchmark::State& state) {
    auto pic = Drawing();
    cTes_Export exporter;
    vek::MemBlock rgb, png;
    int32_t w, h, c;
    exporter.FlattenAndEncode(*pic, false, false, rgb, w, h, c);
    vek::ImageView v;
    v.pixels = rgb.As<uint8_t>(), v.width = w, v.height = h, v.channels = c;
    for (auto _ : state)
        benchmark::DoNotOptimize(vek::EncodePng(v, png));
    state.counters["png_bytes"] = double(png.Size());
    Pixels(state);
}

void BM_WholeExportInMemory(benchmark::State& state) {
    auto pic = Drawing();
    cTes_Export exporter;
    vek::MemBlock rgb, png;
    for (auto _ : state) {
        int32_t w, h, c;
        exporter.FlattenAndEncode(*pic, false, false, rgb, w, h, c);
        benchmark::DoNotOptimize(
            vek::PlatformImageEncoder().Encode(3, rgb.As<uint8_t>(), w, h, c, size_t(w) * size_t(c), 0, png));
    }
    Pixels(state);
}

BENCHMARK(BM_Baseline_Composite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FlattenAndEncode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PngEncode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WholeExportInMemory)->Unit(benchmark::kMillisecond);

} // namespace
