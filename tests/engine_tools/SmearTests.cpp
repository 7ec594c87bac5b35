// The smear tools: whole stamps against a reference written from the pixel rules at every row
// kernel level, and strokes that drag, fade and survive a failed scratch.
#include "ToolTestSupport.h"
#include "engine/tools/TipEngine.h"
#include "engine/tools/ToolRows.h"
#include "engine/tools/cTes_Tool_Smear.h"
#include "shell/MemBlock.h"

namespace {

constexpr uint32_t kSmear = 11, kSmudge = 12, kFingerpaint = 13, kOilPaint = 14;

// Smear stamps the plain way, in double precision over whole buffers, everything read before
// anything is written: the area under the tip (from one pixel up-left, wrapped or clamped)
// premultiplied and shifted by (−fx, −fy); the pick-up step in straight colour as the tools state
// it; the pick-up shifted back onto the layer's grid; the kernel in straight colour.
struct SmearReference {
    int width, height;
    bool wrapX, wrapY;
    std::vector<double> layer, backup, pick; // straight RGBA

    explicit SmearReference(Canvas& c)
        : width(c.ink->width), height(c.ink->height), wrapX(c.pic->repeatX), wrapY(c.pic->repeatY),
          layer(c.ink->Pixels(), c.ink->Pixels() + size_t(width) * height * 4), backup(layer) {}

    // Σ w·pixel over premultiplied pixels, returned straight.
    static void Mix(std::initializer_list<std::pair<double, const double*>> terms, double* out) {
        for (int k = 0; k < 4; ++k) {
            out[k] = 0;
            for (const auto& t : terms)
                out[k] += t.first * t.second[k] * (k < 3 ? t.second[3] : 1.0);
        }
        for (int k = 0; k < 3; ++k)
            out[k] = out[3] > 0 ? out[k] / out[3] : 0.0;
    }

    void Stamp(cTes_Tool_Smear& tool, const s_TipPars& tip, int left, int top, double strength,
               const float* paint, bool first) {
        const int p = tip.maskSize + 2, w = tip.maskWidth, h = tip.maskHeight;
        const double fx = tip.fx, fy = tip.fy, k = tool.smearFactor;
        std::vector<double> area(size_t(p + 1) * (p + 1) * 4), frame(size_t(p) * p * 4);
        auto at = [](std::vector<double>& v, int stride, int i, int j) {
            return &v[(size_t(j) * stride + i) * 4];
        };
        auto wrap = [](int v, int n, bool repeat) {
            return repeat ? ((v % n) + n) % n : std::min(std::max(v, 0), n - 1);
        };
        for (int j = 0; j <= p; ++j)
            for (int i = 0; i <= p; ++i)
                std::copy_n(
                    at(layer, width, wrap(left - 1 + i, width, wrapX), wrap(top - 1 + j, height, wrapY)), 4,
                    at(area, p + 1, i, j));
        for (int j = 0; j < p; ++j)
            for (int i = 0; i < p; ++i)
                Mix({{(1 - fx) * (1 - fy), at(area, p + 1, i, j)},
                     {fx * (1 - fy), at(area, p + 1, i + 1, j)},
                     {(1 - fx) * fy, at(area, p + 1, i, j + 1)},
                     {fx * fy, at(area, p + 1, i + 1, j + 1)}},
                    at(frame, p, i, j));
        if (first) pick.assign(frame.size(), 0.0);
        const bool oil = tool.id == kOilPaint;
        const double f = first ? 1.0 : k * tool.decayRate; // oil paint's coverage
        for (size_t e = 0; e < pick.size(); e += 4) {
            double* g = &pick[e];
            double a[4] = {frame[e], frame[e + 1], frame[e + 2], frame[e + 3]};
            if (first && !oil) { // the area, or for the finger the paint
                for (int c = 0; c < 4; ++c)
                    g[c] = tool.id == kFingerpaint ? (c < 3 ? paint[c] : 1.0) : a[c];
                continue;
            }
            if (oil) { // the paint laid over the area; on the first stamp mixed into the area itself
                const double a1 = a[3] * (1 - f) + f;
                for (int c = 0; c < 3; ++c)
                    a[c] = a[c] * (1 - f / a1) + paint[c] * (f / a1);
                a[3] = a1;
                if (first) std::copy_n(&frame[e], 4, g);
            }
            const double take = a[3] * (1 - k), n = g[3] * k + take;
            for (int c = 0; c < 3; ++c)
                g[c] = n > 0 ? g[c] * (1 - take / n) + a[c] * (take / n) : 0.0;
            g[3] = n > 0 ? n : 0.0;
        }
        const double wgt = k * tool.decayRate * (1 - strength) * (1 - strength);
        std::vector<double> out = layer;
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i) {
                const double m = tip.maskA->As<float>()[j * w + i];
                int x = left + i, y = top + j;
                if (wrapX) x = wrap(x, width, true);
                if (wrapY) y = wrap(y, height, true);
                if (!(m > 0) || x < 0 || y < 0 || x >= width || y >= height) continue;
                double gs[4];
                Mix({{(1 - fx) * (1 - fy), at(pick, p, i + 1, j + 1)},
                     {fx * (1 - fy), at(pick, p, i, j + 1)},
                     {(1 - fx) * fy, at(pick, p, i + 1, j)},
                     {fx * fy, at(pick, p, i, j)}},
                    gs);
                const double* s = at(backup, width, x, y);
                double* d = at(out, width, x, y);
                const double a = gs[3] * (1 - wgt), n = s[3] * wgt + a, q = n * m, alpha = (1 - m) * d[3] + q;
                for (int c = 0; c < 3; ++c) { // carried transparency thins the pixel and leaves its colour
                    const double xc = n > 0 ? s[c] * (1 - a / n) + gs[c] * (a / n) : s[c];
                    d[c] = alpha > 0 ? d[c] * (1 - q / alpha) + xc * (q / alpha) : 0.0;
                }
                d[3] = alpha > 0 ? alpha : 0.0;
            }
        layer = out;
    }
};

} // namespace

TEST(SmearStamp, MatchesTheReferenceAtEveryKernelLevelAcrossEdgesAndWrapping) {
    struct Case {
        uint32_t tool;
        int size, softness, strength;
        bool wrap;
        float x0, y0; // the first stamp, near an edge
    } cases[] = {{kSmear, 9, 40, 100, false, 2.3f, 3.6f},
                 {kSmudge, 4, 0, 55, true, -1.4f, 20.2f},
                 {kFingerpaint, 7, 70, 80, false, 30.7f, 26.1f},
                 {kOilPaint, 12, 20, 100, true, 33.5f, 1.5f},
                 {kSmear, 2, 0, 30, false, 15.0f, 15.0f}};
    for (int level : {1, 2, 3}) {
        if (!tes::UseToolRowLevel(level)) continue;
        for (const Case& k : cases) {
            Canvas c(40, 31);
            c.pic->repeatX = c.pic->repeatY = k.wrap;
            std::mt19937 rng(k.size * 7 + level);
            std::uniform_real_distribution<float> u(0.0f, 1.0f);
            c.FillWith([&](int, int, float* p) {
                p[3] = u(rng) < 0.2f ? 0.0f : u(rng);
                for (int ch = 0; ch < 3; ++ch)
                    p[ch] = p[3] > 0 ? 1.5f * u(rng) : 0.0f;
            });
            auto box = MakeBox(c, k.tool);
            box->size[0] = k.size, box->softness[0] = k.softness, box->strength[0] = k.strength;
            box->paint[0][0] = 0.9f, box->paint[0][1] = 0.2f, box->paint[0][2] = 1.3f;
            auto& tool = *static_cast<cTes_Tool_Smear*>(box->primaryTool);
            // Eleven stamps about a pixel apart, one on whole pixels and two on a whole column or
            // row as the sampler places them, painted as one batch of an open stroke.
            std::vector<s_StrokePoint> points;
            for (int i = 0; i < 11; ++i) {
                const float x = k.x0 + 1.1f * i + 0.3f * u(rng), y = k.y0 + 0.7f * i + 0.3f * u(rng);
                points.push_back({i == 3 || i == 5 ? std::floor(x) : x, i == 3 || i == 8 ? std::floor(y) : y,
                                  1, 0.01f, 1, 0});
            }
            points.push_back({0, 0, 1, -1.0f, 0, 0});
            SmearReference ref(c);
            s_ToolPars pars{};
            pars.toolBox = box.get(), pars.picture = c.pic.get(), pars.layer = c.ink;
            pars.backup = c.ink->EnsureBackup()->As<float>(), pars.pixels = c.ink->Pixels();
            pars.coverage = c.pic->GetStrokeBuffer(), pars.width = 40, pars.height = 31;
            pars.wrapX = pars.wrapY = k.wrap;
            pars.size = float(k.size), pars.hardness = (100 - k.softness) / 100.0f, pars.tipShape = 0.5f;
            pars.strength = k.strength / 100.0f, pars.paint = box->paint[0], pars.subPixel = 1;
            tool.PaintStroke(pars, points.data());
            // The reference takes its masks from the tip engine (tested on its own) with the tool
            // box's distance table.
            s_TipPars tip{};
            tip.size = pars.size, tip.hardness = pars.hardness, tip.tipShape = 0.5f,
            tip.strength = pars.strength;
            tes::ComputeTipGeometry(tip);
            const int parity = tip.maskSize & 1, side = tip.maskSize + 2;
            vek::MemBlock mask;
            ASSERT_TRUE(mask.Alloc(sizeof(float) * side * side));
            std::vector<float> quadrant(2 * side * side), plane(side * side), cone(side * side);
            tip.maskA = &mask;
            for (size_t i = 0; i + 1 < points.size(); ++i) {
                const int ix = int(points[i].x), iy = int(points[i].y);
                tip.fx = points[i].x - ix, tip.fy = points[i].y - iy;
                const int left = ix - tip.halfWidth - (tip.fx < 0), top = iy - tip.halfHeight - (tip.fy < 0);
                tes::BuildTipMasks(tip, box->distanceTable[parity].As<float>(), box->distanceN[parity],
                                   quadrant.data(), plane.data(), cone.data());
                ref.Stamp(tool, tip, left, top, pars.strength, pars.paint, i == 0);
            }
            const float* got = c.ink->Pixels();
            for (size_t i = 0; i < ref.layer.size(); i += 4) {
                const double* r = &ref.layer[i];
                for (int ch = 0; ch < 4; ++ch) // premultiplied, where the colour matters
                    EXPECT_NEAR(got[i + ch] * (ch < 3 ? got[i + 3] : 1.0f), r[ch] * (ch < 3 ? r[3] : 1.0),
                                2e-5)
                        << "level " << level << " tool " << k.tool << " pixel " << i / 4 << " channel " << ch;
                EXPECT_TRUE(r[3] > 0 || got[i] + got[i + 1] + got[i + 2] + got[i + 3] == 0.0f) << i / 4;
            }
        }
    }
    tes::UseToolRowLevel(0);
}

TEST(Smear, AColourEdgeIsDraggedAlongAndFadesOverAboutATipDiameter) {
    Canvas c(320, 60);
    c.RedBlue(100);
    auto box = MakeBox(c, kSmear);
    box->size[0] = 20;
    c.Line(*box, 80, 30, 300, 30);
    auto red = [&](int x) { return c.Px(x, 30)[0] / (c.Px(x, 30)[0] + c.Px(x, 30)[2]); };
    EXPECT_GT(red(110), 0.9f); // the first colour is dragged into the second
    int from = 0, to = 0;
    for (int x = 100; x < 300; ++x) {
        EXPECT_TRUE(x >= 260 || red(x) + 1e-4f >= red(x + 1)) << x;
        if (!from && red(x) < 0.9f) from = x;
        if (!to && red(x) < 0.1f) to = x;
    }
    EXPECT_GT(to - from, 10); // a gradual fade, not a cut
    EXPECT_LT(to - from, 60); // within a few tip diameters
    EXPECT_EQ(c.Px(310, 10)[0], 0.0f);
    EXPECT_TRUE(box->pickUp.Empty()); // released at the end of the stroke
}

TEST(Smear, AScratchThatCannotBeMadeSkipsStampsButTheStrokeEnds) {
    Canvas c(120, 40);
    c.Fill(0.3f, 0.3f, 0.9f, 1.0f);
    auto box = MakeBox(c, 1);
    box->size[0] = 9;
    c.Line(*box, 10, 35, 100, 35); // backup, coverage and masks exist from here on
    box->SetPrimaryTool(kSmear);
    const auto before = c.Snapshot();
    vek::MemFailAfter(0, true); // the pick-up and the smear scratch cannot be made
    c.Path(*box, {{10, 20}, {59, 20}}, 1, false);
    vek::MemFailAfter(0);
    EXPECT_EQ(c.Snapshot(), before); // every stamp so far was skipped
    for (int x = 60; x < 100; ++x)
        c.Move(*box, x, 20);
    c.Release(*box, 100, 20);
    EXPECT_EQ(c.history->records, 2);
    EXPECT_FALSE(c.ink->changed.valid);
    EXPECT_TRUE(box->pickUp.Empty());
}
