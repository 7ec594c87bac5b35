// Store and history costs against plain file calls measured in the same run:
//  - saving and loading a 1920 × 1080 picture with one full colour layer (33 MB of pixels) through
//    the portfolio, next to writing (with and without fsync) and reading the same bytes with
//    open/write/read;
//  - Record and Undo of a region step for an 81-pixel (9 × 9) stroke on a 1920 × 1080 layer, next
//    to writing and reading that region's 1296 bytes with plain calls.
// Every run uses a fresh folder under /tmp as its per-user data folder.
#include "engine/history/c_TesUndo.h"
#include "engine/picture/c_TesPic.h"
#include "engine/storage/c_TesPortfolio.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kW = 1920, kH = 1080;

class BenchPortfolio : public c_TesPortfolio {
  public:
    BenchPortfolio() : c_TesPortfolio(kW, kH) {}
    bool EnterPortfolioFolder(bool create) override {
        return folders_.GoTo(3) && folders_.Enter("Vekstal/Scribbix_Stuff/Portfolio", create);
    }
};

struct Scratch {
    std::string root;
    Scratch() {
        char tmpl[] = "/tmp/sx_bench_store_XXXXXX";
        root = mkdtemp(tmpl);
        setenv("XDG_DATA_HOME", root.c_str(), 1);
    }
    ~Scratch() { std::filesystem::remove_all(root); }
};

// A portfolio whose current picture has one colour layer opaque everywhere (nothing to trim).
struct FullPicture {
    Scratch scratch;
    BenchPortfolio portfolio;
    c_TesPic* pic = nullptr;
    FullPicture() {
        pic = portfolio.CreateBlankPicture();
        float* p = pic->currentLayer->Pixels();
        for (size_t i = 0; i < size_t(kW) * kH; ++i) {
            p[i * 4 + 0] = float(i % 255) / 255.0f;
            p[i * 4 + 1] = 0.5f;
            p[i * 4 + 2] = 0.25f;
            p[i * 4 + 3] = 1.0f;
        }
        pic->currentLayer->MarkChanged(0, 0, kW, kH);
        pic->currentLayer->CommitChanges();
        pic->currentLayer->DropBackup();
    }
};

constexpr size_t kLayerBytes = size_t(kW) * kH * 16;

void PlainWrite(const std::string& path, const std::vector<char>& data, bool sync) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    size_t done = 0;
    while (done < data.size()) {
        const ssize_t w = write(fd, data.data() + done, data.size() - done);
        if (w <= 0) break;
        done += size_t(w);
    }
    if (sync) fsync(fd);
    close(fd);
}

void PlainRead(const std::string& path, char* data, size_t size) {
    const int fd = open(path.c_str(), O_RDONLY);
    size_t done = 0;
    while (done < size) {
        const ssize_t r = read(fd, data + done, size - done);
        if (r <= 0) break;
        done += size_t(r);
    }
    close(fd);
}

void BM_PlainWrite(benchmark::State& state) {
    Scratch s;
    std::vector<char> data(kLayerBytes, 7);
    for (auto _ : state)
        PlainWrite(s.root + "/plain", data, state.range(0) != 0);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kLayerBytes));
}
BENCHMARK(BM_PlainWrite)->Arg(0)->Arg(1)->ArgName("fsync")->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PlainRead(benchmark::State& state) {
    Scratch s;
    std::vector<char> data(kLayerBytes, 7);
    PlainWrite(s.root + "/plain", data, false);
    for (auto _ : state) {
        // A fresh block each time, not zero-filled, as the loader's own.
        std::unique_ptr<char[]> in(new char[kLayerBytes]);
        PlainRead(s.root + "/plain", in.get(), kLayerBytes);
        benchmark::DoNotOptimize(in.get());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kLayerBytes));
}
BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond)->UseRealTime();

// Portfolio save of the whole picture: layer header, 33 MB pixel file and "Pic.Head", each through
// a temporary file with fsync and a rename.
void BM_SavePicture(benchmark::State& state) {
    FullPicture f;
    for (auto _ : state) {
        f.pic->currentLayer->pixelsDirty = 1;
        f.pic->headerDirty = 1;
        if (!f.portfolio.SavePicture(*f.pic, false, false)) state.SkipWithError("save failed");
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kLayerBytes));
}
BENCHMARK(BM_SavePicture)->Unit(benchmark::kMillisecond)->UseRealTime();

// Releasing the pixels, then loading the picture's layers again (pixel file read and checked).
void BM_LoadPicture(benchmark::State& state) {
    FullPicture f;
    f.portfolio.SavePicture(*f.pic, false, false);
    for (auto _ : state) {
        state.PauseTiming();
        f.portfolio.SavePicture(*f.pic, false, true);
        state.ResumeTiming();
        f.portfolio.LoadPictureLayers(*f.pic);
        if (!f.pic->currentLayer->HasPixels()) state.SkipWithError("load failed");
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kLayerBytes));
}
BENCHMARK(BM_LoadPicture)->Unit(benchmark::kMillisecond)->UseRealTime();

void Stroke81(c_TesPic& pic, int i) {
    c_TesLayer* l = pic.currentLayer;
    l->EnsureBackup();
    const int x0 = (i * 37) % (kW - 9), y0 = (i * 53) % (kH - 9);
    for (int y = y0; y < y0 + 9; ++y) {
        for (int x = x0; x < x0 + 9; ++x) {
            float* p = l->Pixels() + (size_t(y) * kW + x) * 4;
            p[0] = p[3] = 1.0f;
        }
    }
    l->MarkChanged(x0, y0, 9, 9);
}

void BM_PlainRegionWriteRead(benchmark::State& state) {
    Scratch s;
    std::vector<char> data(81 * 16, 3), in(81 * 16);
    int i = 0;
    for (auto _ : state) {
        // A new file each time, as every record has its own (truncating a file that was just
        // written makes ext4 flush it first, which would flatter the store).
        const std::string path = s.root + "/region" + std::to_string(i++ % 64);
        unlink(path.c_str());
        PlainWrite(path, data, false);
        PlainRead(path, in.data(), in.size());
    }
}
BENCHMARK(BM_PlainRegionWriteRead)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_RecordRegionStep(benchmark::State& state) {
    FullPicture f;
    int i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Stroke81(*f.pic, i++);
        state.ResumeTiming();
        f.pic->history->Record(1, 0);
        state.PauseTiming();
        f.pic->currentLayer->CommitChanges();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_RecordRegionStep)->Unit(benchmark::kMicrosecond)->UseRealTime();

// Undo right after a stroke: keeps the present state of the region, restores the recorded one.
void BM_UndoRegionStep(benchmark::State& state) {
    FullPicture f;
    int i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Stroke81(*f.pic, i++);
        f.pic->history->Record(1, 0);
        f.pic->currentLayer->CommitChanges();
        state.ResumeTiming();
        f.portfolio.currentPicture->history->Undo(0);
    }
}
BENCHMARK(BM_UndoRegionStep)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace
