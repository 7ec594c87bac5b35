// Shared set-up of the tool tests: a picture with one colour layer ("Ink"), a tool box drawing
// into it, a history that counts and checks its calls, and short helpers for pointer events.
#pragma once

#include <cmath>
#include <cstdint>
#include <memory>

#include "engine/picture/c_TesLayer.h"
#include "engine/picture/c_TesPic.h"
#include "engine/picture/cTes_PicHistory.h"
#include "engine/tools/cVek_ToolBox.h"

// Counts Record calls and remembers whether the changed region was still valid at the time (the
// history must see the region before the commit clears it).
class CountingHistory : public cTes_PicHistory {
  public:
    explicit CountingHistory(c_TesPic* pic) : pic_(pic) {}
    void Record(int32_t kind, int32_t target) override {
        ++records;
        lastKind = kind;
        lastTarget = target;
        if (!pic_->currentLayer || !pic_->currentLayer->changed.valid) ++recordsWithoutRegion;
    }
    int records = 0, recordsWithoutRegion = 0, lastKind = 0, lastTarget = -1;

  private:
    c_TesPic* pic_;
};

struct Canvas {
    std::unique_ptr<c_TesPic> pic;
    c_TesLayer* ink = nullptr;
    CountingHistory* history = nullptr;
    double clock = 1.0;

    Canvas(int32_t w, int32_t h) : pic(std::make_unique<c_TesPic>(w, h)) {
        auto hist = std::make_unique<CountingHistory>(pic.get());
        history = hist.get();
        pic->history = std::move(hist);
        ink = pic->AddColourLayer();
        ink->SetName("Ink");
    }
    float* Px(int32_t x, int32_t y) { return ink->Pixels() + (static_cast<size_t>(y) * ink->width + x) * 4; }
    // Sets every pixel through f(x, y, pixel) and makes it the stroke-start state.
    template <class F> void FillWith(F f) {
        for (int32_t y = 0; y < ink->height; ++y)
            for (int32_t x = 0; x < ink->width; ++x)
                f(x, y, Px(x, y));
        ink->DropBackup();
    }
    void Fill(float r, float g, float b, float a) {
        for (int32_t y = 0; y < ink->height; ++y)
            for (int32_t x = 0; x < ink->width; ++x) {
                float* p = Px(x, y);
                p[0] = r, p[1] = g, p[2] = b, p[3] = a;
            }
        ink->DropBackup();
    }
    int32_t Press(cVek_ToolBox& box, float x, float y, uint32_t button = 1) {
        clock += 0.01;
        return box.QueueEvent(x, y, button, clock, kToolEventPress, button == 2 ? 2 : 1);
    }
    int32_t Move(cVek_ToolBox& box, float x, float y, uint32_t button = 0) {
        clock += 0.01;
        return box.QueueEvent(x, y, button, clock, kToolEventMove, 0);
    }
    int32_t Release(cVek_ToolBox& box, float x, float y, uint32_t button = 0) {
        clock += 0.01;
        return box.QueueEvent(x, y, button, clock, kToolEventRelease, 0);
    }
    // A stroke through the given points, one event each.
    void Stroke(cVek_ToolBox& box, const float (*pts)[2], int n, uint32_t button = 1) {
        Press(box, pts[0][0], pts[0][1], button);
        for (int i = 1; i < n - 1; ++i)
            Move(box, pts[i][0], pts[i][1]);
        Release(box, pts[n - 1][0], pts[n - 1][1]);
    }
    // A straight stroke with moves every `step` pixels.
    void Line(cVek_ToolBox& box, float x0, float y0, float x1, float y1, float step = 1.0f,
              uint32_t button = 1) {
        Press(box, x0, y0, button);
        const float dx = x1 - x0, dy = y1 - y0;
        const float len = std::sqrt(dx * dx + dy * dy);
        const int n = static_cast<int>(len / step);
        for (int i = 1; i < n; ++i)
            Move(box, x0 + dx * i / n, y0 + dy * i / n);
        Release(box, x1, y1);
    }
};

// An engine tool box drawing into the canvas with plain, predictable settings: sub-pixel
// coordinates and smoothing off, hard tip.
inline std::unique_ptr<cVek_ToolBox> MakeBox(Canvas& c, uint32_t tool) {
    auto box = std::make_unique<cVek_ToolBox>();
    if (!box->Initialize()) return nullptr;
    box->SetPicture(c.pic.get());
    box->SetPrimaryTool(tool);
    box->subPixel = 0;
    box->inputSmoothing = 0;
    box->softness[0] = 0;
    box->strength[0] = 100;
    return box;
}
