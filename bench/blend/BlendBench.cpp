// Blend functions alone, per pixel through the function pointer as the composite calls them,
// against a plain copy of the same colours measured in the same run. Prints each mode's time as a
// ratio to the copy after the run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "engine/picture/BlendModes.h"

namespace {

constexpr int kPixels = 1 << 16;

struct Colours {
    std::vector<float> base, blend, out;
    Colours() : base(kPixels * 3), blend(kPixels * 3), out(kPixels * 3) {
        std::mt19937 rng(1);
        std::uniform_real_distribution<float> u(-0.2f, 1.5f);
        for (float& v : base)
            v = u(rng);
        for (float& v : blend)
            v = u(rng);
    }
};

Colours& Data() {
    static Colours c;
    return c;
}

// Baseline: the blend colours copied to the output, three floats a pixel.
void BM_Copy(benchmark::State& state) {
    Colours& c = Data();
    for (auto _ : state) {
        const float* s = c.blend.data();
        float* d = c.out.data();
        for (int i = 0; i < kPixels * 3; ++i)
            d[i] = s[i];
        benchmark::DoNotOptimize(c.out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kPixels);
}
BENCHMARK(BM_Copy);

void BM_Blend(benchmark::State& state) {
    Colours& c = Data();
    const t_TesBlendFunction fn = GetBlendFunction(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const float* b = c.base.data();
        const float* l = c.blend.data();
        float* d = c.out.data();
        for (int i = 0; i < kPixels; ++i, b += 3, l += 3, d += 3) {
            d[0] = l[0], d[1] = l[1], d[2] = l[2];
            fn(b[0], b[1], b[2], d[0], d[1], d[2]);
        }
        benchmark::DoNotOptimize(c.out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kPixels);
    state.SetLabel(GetBlendModeName(static_cast<int>(state.range(0)), false));
}
BENCHMARK(BM_Blend)
    ->Arg(kTesBlend_Multiply)
    ->Arg(kTesBlend_Divide)
    ->Arg(kTesBlend_Screen)
    ->Arg(kTesBlend_SoftLight)
    ->Arg(kTesBlend_VividLight)
    ->Arg(kTesBlend_PickNearComboBrightness)
    ->Arg(kTesBlend_MultiplyBrightnessDifferences)
    ->Arg(kTesBlend_Color)
    ->Arg(kTesBlend_Luminance)
    ->Arg(kTesBlend_ColorKeptSum);

// Collects CPU time per pixel (less disturbed by other work on a shared machine) so the ratios to the copy
// can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Iteration && r.iterations > 0)
                times_[r.benchmark_name() + " " + r.report_label] = r.GetAdjustedCPUTime();
    }
    void PrintRatios() const {
        double copy = 0;
        for (const auto& t : times_)
            if (t.first.rfind("BM_Copy", 0) == 0) copy = t.second;
        if (copy <= 0) return;
        std::printf("\nTime per pixel as a ratio to the plain copy:\n");
        for (const auto& t : times_)
            std::printf("  %-60s %8.2f\n", t.first.c_str(), t.second / copy);
    }

  private:
    std::map<std::string, double> times_;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
