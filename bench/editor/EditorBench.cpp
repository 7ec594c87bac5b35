// Display-image speed of the picture editor, headless: compositing and encoding the changed
// region of one 81-pixel stamp, and a full rebuild of a screen-sized picture (composite, sRGB
// encode, 8-bit conversion). The baseline is a plain copy of the float layer's bytes in the same
// run; compare the ratios within one run only (the machine is shared).
#include "editor/cTes_PicEditor.h"
#include "engine/picture/c_TesLayer_Gfx.h"
#include "engine/picture/c_TesPic.h"
#include "shell/MemBlock.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

namespace {

// A drawing: soft round strokes of varied colour on transparent ground (paper shows through).
std::unique_ptr<c_TesPic> Drawing(int w, int h) {
    auto pic = std::make_unique<c_TesPic>(w, h);
    c_TesLayer_Gfx* ink = pic->AddColourLayer();
    float* p = ink->Pixels();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x, p += 4) {
            const float d = std::hypot(float(x % 480) - 240.0f, float(y % 360) - 180.0f);
            const float a = d < 150.0f ? 1.0f - d / 150.0f : 0.0f;
            p[0] = 0.8f * a, p[1] = float(x) / w, p[2] = float(y) / h, p[3] = a;
        }
    return pic;
}

// Every pixel a different opaque colour: no flat areas, the encoder's worst case.
std::unique_ptr<c_TesPic> Noise(int w, int h) {
    auto pic = std::make_unique<c_TesPic>(w, h);
    c_TesLayer_Gfx* ink = pic->AddColourLayer();
    float* p = ink->Pixels();
    uint32_t s = 12345;
    for (size_t i = 0; i < size_t(w) * h; ++i, p += 4) {
        for (int c = 0; c < 3; ++c) {
            s = s * 1664525u + 1013904223u;
            p[c] = float(s >> 8) / 16777216.0f;
        }
        p[3] = 1.0f;
    }
    return pic;
}

void BM_Baseline_CopyLayer(benchmark::State& state) {
    auto pic = Drawing(1920, 1080);
    const vek::MemBlock& src = pic->currentLayer->pixels;
    vek::MemBlock dst;
    dst.Alloc(src.Size());
    std::memset(dst.Data(), 0, dst.Size());
    for (auto _ : state) {
        std::memcpy(dst.Data(), src.Data(), src.Size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(src.Size()));
}

void Rebuild(benchmark::State& state, c_TesPic& pic, bool vector) {
    cTes_PicEditor editor;
    editor.encoder.AllowVectorPath(vector);
    editor.SetPicture(&pic);
    for (auto _ : state) {
        editor.pictureRegion = s_TesRegion{1, 0, 0, pic.width, pic.height};
        if (!editor.UpdateDisplayImage(pic)) state.SkipWithError("no memory");
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * pic.width * pic.height);
}

void BM_FullRebuild_Drawing(benchmark::State& state) {
    auto pic = Drawing(1920, 1080);
    Rebuild(state, *pic, true);
}

void BM_FullRebuild_Noise(benchmark::State& state) {
    auto pic = Noise(1920, 1080);
    Rebuild(state, *pic, true);
}

// Two layers (a picture from the engine): the general path, banded composite then encode.
void BM_FullRebuild_TwoLayers(benchmark::State& state) {
    auto pic = Drawing(1920, 1080);
    c_TesLayer_Gfx* top = pic->AddColourLayer();
    float* p = top->Pixels();
    for (int i = 0; i < 1920 * 1080; ++i, p += 4)
        p[0] = 0.5f, p[1] = 0.25f, p[2] = 0.1f, p[3] = (i % 7) / 8.0f;
    Rebuild(state, *pic, true);
}

void BM_FullRebuild_Noise_ScalarEncode(benchmark::State& state) {
    auto pic = Noise(1920, 1080);
    Rebuild(state, *pic, false);
}

// For comparison: the picture's composite, then the plain table lookup channel by channel.
void BM_FullRebuild_Drawing_CompositeThenPlainLookup(benchmark::State& state) {
    auto pic = Drawing(1920, 1080);
    cTes_PicEditor editor;
    c_TesLayer_Gfx target;
    std::vector<uint8_t> out(size_t(1920) * 1080 * 3);
    for (auto _ : state) {
        if (!pic->CompositeInto(target, 0, 0, 1920, 1080, false, -1)) state.SkipWithError("no memory");
        const float* p = target.Pixels();
        for (size_t i = 0; i < size_t(1920) * 1080; ++i, p += 4)
            for (int c = 0; c < 3; ++c)
                out[i * 3 + c] = editor.encoder.Reference(p[c]);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * 1920 * 1080);
}

// The changed square of one stamp (side = pen diameter) on a picture of the given size.
void BM_StampRegion(benchmark::State& state) {
    const int w = int(state.range(0)), h = int(state.range(1)), d = int(state.range(2));
    auto pic = Drawing(w, h);
    cTes_PicEditor editor;
    editor.SetPicture(pic.get());
    editor.pictureRegion = s_TesRegion{1, 0, 0, w, h};
    editor.UpdateDisplayImage(*pic);
    int i = 0;
    for (auto _ : state) {
        const int x = (i * 37) % (w - d), y = (i * 53) % (h - d);
        ++i;
        editor.pictureRegion = s_TesRegion{0, 0, 0, 0, 0};
        editor.MarkPictureChanged(x, y, d, d);
        editor.UpdateDisplayImage(*pic);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * d * d);
}

} // namespace

BENCHMARK(BM_Baseline_CopyLayer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullRebuild_Drawing)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullRebuild_Noise)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullRebuild_Noise_ScalarEncode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullRebuild_TwoLayers)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullRebuild_Drawing_CompositeThenPlainLookup)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StampRegion)
    ->Args({1920, 1080, 9})
    ->Args({1920, 1080, 81})
    ->Args({3840, 2160, 81})
    ->Unit(benchmark::kMicrosecond);
