// Shared set-up of the tool tests: a picture with one colour layer ("Ink"), a tool box drawing
// into it, a history that counts its calls, pointer-event helpers, and a random rectangle of a
// stamp with a plain reference for the coverage-rule kernels.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "engine/picture/c_TesLayer.h"
#include "engine/picture/c_TesPic.h"
#include "engine/picture/cTes_PicHistory.h"
#include "engine/tools/cTes_Tool_Smear.h"
#include "engine/tools/cVek_ToolBox.h"

// Counts Record calls, and those made after the changed region was already cleared (the history
// must see the region before the commit).
class CountingHistory : public cTes_PicHistory {
  public:
    explicit CountingHistory(c_TesPic* pic) : pic_(pic) {}
    bool Record(int32_t, int32_t) override {
        ++records;
        if (!pic_->currentLayer || !pic_->currentLayer->changed.valid) ++recordsWithoutRegion;
        return true;
    }
    int records = 0, recordsWithoutRegion = 0;

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
    float Alpha(int32_t x, int32_t y) { return Px(x, y)[3]; }
    // Expects the alpha of each pixel {x, y, alpha}, within the tolerance.
    void ExpectAlphas(std::initializer_list<std::array<float, 3>> probes, float tolerance = 0.0f) {
        for (const auto& p : probes)
            EXPECT_NEAR(Alpha(int32_t(p[0]), int32_t(p[1])), p[2], tolerance) << "at " << p[0] << "," << p[1];
    }
    std::vector<float> Snapshot() {
        return std::vector<float>(ink->Pixels(),
                                  ink->Pixels() + static_cast<size_t>(ink->width) * ink->height * 4);
    }
    // Sets every pixel through f(x, y, pixel) and makes it the stroke-start state.
    template <class F> void FillWith(F f) {
        for (int32_t y = 0; y < ink->height; ++y)
            for (int32_t x = 0; x < ink->width; ++x)
                f(x, y, Px(x, y));
        ink->DropBackup();
    }
    void Fill(float r, float g, float b, float a) {
        FillWith([&](int, int, float* p) { p[0] = r, p[1] = g, p[2] = b, p[3] = a; });
    }
    // Red left of x = edge, blue from there on, opaque.
    void RedBlue(int32_t edge) {
        FillWith([&](int x, int, float* p) { p[0] = x < edge, p[1] = 0.0f, p[2] = x >= edge, p[3] = 1.0f; });
    }
    int32_t Press(cVek_ToolBox& box, float x, float y, uint32_t button = 1) {
        return box.QueueEvent(x, y, button, clock += 0.01, kToolEventPress, button == 2 ? 2 : 1);
    }
    int32_t Move(cVek_ToolBox& box, float x, float y) {
        return box.QueueEvent(x, y, 0, clock += 0.01, kToolEventMove, 0);
    }
    int32_t Release(cVek_ToolBox& box, float x, float y) {
        return box.QueueEvent(x, y, 0, clock += 0.01, kToolEventRelease, 0);
    }
    // A stroke through the corners, with a move every pixel or so; `end` false leaves it open.
    void Path(cVek_ToolBox& box, std::vector<std::vector<float>> corners, uint32_t button = 1,
              bool end = true) {
        Press(box, corners[0][0], corners[0][1], button);
        for (size_t i = 1; i < corners.size(); ++i) {
            const float x0 = corners[i - 1][0], y0 = corners[i - 1][1];
            const float dx = corners[i][0] - x0, dy = corners[i][1] - y0;
            const int n = std::max(1, static_cast<int>(std::hypot(dx, dy)));
            for (int k = 1; k < n || (k == n && i + 1 < corners.size()); ++k)
                Move(box, x0 + dx * k / n, y0 + dy * k / n);
        }
        if (end) Release(box, corners.back()[0], corners.back()[1]);
    }
    void Line(cVek_ToolBox& box, float x0, float y0, float x1, float y1, uint32_t button = 1) {
        Path(box, {{x0, y0}, {x1, y1}}, button);
    }
};

// An engine tool box drawing into the canvas with plain settings: sub-pixel coordinates and
// smoothing off, hard tip, full strength.
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

// The catalogue as "id name →complement" per tool with its colours (P paint, H highlight, I inner,
// O outer edge), "cone" (mask B) and, for a pick-up tool, its smear factor.
inline std::string Catalogue(const cVek_ToolBox& box) {
    std::ostringstream out;
    for (int32_t i = 0; i < box.ToolCount(); ++i) {
        const auto& t = static_cast<const cTes_ToolFreehandTip&>(*box.tools[i]);
        out << (i ? "; " : "") << t.id << ' ' << t.name << " →" << t.complementId << (t.usesPaint ? " P" : "")
            << (t.usesHighlight ? " H" : "") << (t.usesInnerEdge ? " I" : "") << (t.usesOuterEdge ? " O" : "")
            << (t.needsEdgeCone ? " cone" : "");
        if (t.needsPickUp) out << " k" << static_cast<const cTes_Tool_Smear&>(t).smearFactor;
    }
    return out.str();
}

// One clipped rectangle of a stamp (17 × 9 inside a 23-wide layer, masks 19 wide) with random
// pixels, tip values, edge cone and coverage; some transparent pixels and full tips.
struct RandomSpan {
    static constexpr int kLayerW = 23, kCols = 17, kRows = 9, kMaskW = 19;
    std::vector<float> src, dst, cov, maskA, maskB;
    float paint[3] = {0.8f, 0.3f, 1.7f}, outer[3] = {0.0f, 0.05f, 0.1f}, inner[3] = {1.0f, 0.9f, 0.2f},
          high[3] = {2.0f, 1.5f, 0.25f};
    s_ToolPars pars{};
    s_StampPars sp{};

    explicit RandomSpan(uint32_t seed) {
        std::mt19937 rng(seed);
        std::uniform_real_distribution<float> u(0.0f, 1.0f);
        src.resize(4 * kLayerW * kRows), cov.resize(kLayerW * kRows);
        maskA.resize(kMaskW * kRows), maskB.resize(kMaskW * kRows);
        for (int i = 0; i < kLayerW * kRows; ++i) {
            src[4 * i + 3] = i % 7 == 0 ? 0.0f : u(rng);
            for (int c = 0; c < 3; ++c)
                src[4 * i + c] = src[4 * i + 3] > 0.0f ? 1.5f * u(rng) : 0.0f;
            cov[i] = i % 5 == 0 ? 0.0f : 0.6f * u(rng);
        }
        for (int i = 0; i < kMaskW * kRows; ++i)
            maskA[i] = i % 11 == 0 ? 1.0f : (i % 13 == 0 ? 0.0f : u(rng)), maskB[i] = u(rng);
        dst = src;
        sp.pars = &pars;
        sp.source = src.data(), sp.dest = dst.data(), sp.coverage = cov.data();
        sp.maskA = maskA.data(), sp.maskB = maskB.data();
        sp.paint = paint, sp.outerEdge = outer, sp.innerEdge = inner, sp.highlight = high;
        sp.columns = kCols, sp.rows = kRows;
        sp.destRowSkip = kLayerW - kCols, sp.maskRowSkip = kMaskW - kCols;
        sp.strength = 0.7f;
    }
    // Visits the rectangle: f(source, dest, coverage, m, e).
    template <class F> void Each(F f) {
        for (int y = 0; y < kRows; ++y)
            for (int x = 0; x < kCols; ++x) {
                const int at = y * kLayerW + x, mi = y * kMaskW + x;
                f(&src[4 * at], &dst[4 * at], &cov[at], maskA[mi], maskB[mi]);
            }
    }
    // The coverage rule with colour(e, P): where key (m, or the cone e) exceeds the coverage (and,
    // with `shaded`, m > 0): coverage ← key; (P, 1) under a full shaded tip, else P over the source.
    template <class ColourOf> void Reference(bool cone, bool shaded, ColourOf colour) {
        Each([&](const float* s, float* d, float* c, float m, float e) {
            const float key = cone ? e : m;
            if (!(key > *c) || (shaded && !(m > 0))) return;
            *c = key;
            float p[3];
            colour(e, p);
            const double a = shaded && m >= 1 ? 1.0 : (1.0 - m) * s[3] + m,
                         t = shaded && m >= 1 ? 1.0 : m / a;
            for (int k = 0; k < 3; ++k)
                d[k] = a > 0 ? static_cast<float>(s[k] * (1 - t) + p[k] * t) : 0.0f;
            d[3] = a > 0 ? static_cast<float>(a) : 0.0f;
        });
    }
};

inline void ExpectNear(const std::vector<float>& got, const std::vector<float>& want, float tolerance) {
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < got.size(); ++i)
        EXPECT_NEAR(got[i], want[i], tolerance * (1.0f + std::fabs(want[i]))) << "element " << i;
}
