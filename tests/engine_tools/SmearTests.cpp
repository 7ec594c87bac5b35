// The smear tools: whole stamps against a reference written from the pixel rules, at every row
// kernel level; and strokes that drag, fade, build up and fail.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "ToolTestSupport.h"
#include "engine/tools/TipEngine.h"
#include "engine/tools/ToolRows.h"
#include "engine/tools/cTes_Tool_Smear.h"
#include "shell/MemBlock.h"

namespace {

constexpr uint32_t kSmear = 11, kSmudge = 12, kFingerpaint = 13, kOilPaint = 14;

// One smear stamp the plain way, in double precision, over whole buffers: the area under the tip
// (from one pixel up-left, wrapped or clamped) premultiplied and shifted by (−fx, −fy); the pick-up
// step in straight colour as the tools state it; the pick-up shifted back onto the layer's grid;
// the kernel in straight colour. Everything is read before anything is written.
struct SmearReference {
    int width, height;
    bool wrapX, wrapY;
    std::vector<double> layer, backup, pick; // straight RGBA; the pick-up P × P
    int side = 0;

    SmearReference(const Canvas& c)
        : width(c.ink->width), height(c.ink->height), wrapX(c.pic->repeatX), wrapY(c.pic->repeatY),
          layer(c.ink->Pixels(), c.ink->Pixels() + size_t(width) * height * 4), backup(layer) {}

    static void Premultiply(double* p) {
        for (int c = 0; c < 3; ++c)
            p[c] *= p[3];
    }
    static void Straighten(double* p) {
        if (p[3] > 0)
            for (int c = 0; c < 3; ++c)
                p[c] /= p[3];
        else
            p[0] = p[1] = p[2] = p[3] = 0;
    }
    // Bilinear mix of premultiplied pixels a (weight wa), b, c, d into straight colour.
    static void Mix(const double* a, const double* b, const double* c, const double* d, double wa, double wb,
                    double wc, double wd, double* out) {
        double pa[4], pb[4], pc[4], pd[4];
        for (int k = 0; k < 4; ++k)
            pa[k] = a[k], pb[k] = b[k], pc[k] = c[k], pd[k] = d[k];
        Premultiply(pa), Premultiply(pb), Premultiply(pc), Premultiply(pd);
        for (int k = 0; k < 4; ++k)
            out[k] = wa * pa[k] + wb * pb[k] + wc * pc[k] + wd * pd[k];
        Straighten(out);
    }

    void Stamp(cTes_Tool_Smear& tool, const s_TipPars& tip, const float* mask, int left, int top, double fx,
               double fy, double strength, const float* paint, bool first) {
        const int m = tip.maskSize, p = m + 2, w = tip.maskWidth, h = tip.maskHeight;
        std::vector<double> area(size_t(p + 1) * (p + 1) * 4), frame(size_t(p) * p * 4);
        for (int j = 0; j <= p; ++j)
            for (int i = 0; i <= p; ++i) {
                int x = left - 1 + i, y = top - 1 + j;
                x = wrapX ? ((x % width) + width) % width : std::min(std::max(x, 0), width - 1);
                y = wrapY ? ((y % height) + height) % height : std::min(std::max(y, 0), height - 1);
                for (int c = 0; c < 4; ++c)
                    area[(size_t(j) * (p + 1) + i) * 4 + c] = layer[(size_t(y) * width + x) * 4 + c];
            }
        auto at = [&](std::vector<double>& v, int stride, int i, int j) { return &v[(size_t(j) * stride + i) * 4]; };
        for (int j = 0; j < p; ++j)
            for (int i = 0; i < p; ++i)
                Mix(at(area, p + 1, i, j), at(area, p + 1, i + 1, j), at(area, p + 1, i, j + 1),
                    at(area, p + 1, i + 1, j + 1), (1 - fx) * (1 - fy), fx * (1 - fy), (1 - fx) * fy, fx * fy,
                    at(frame, p, i, j));
        const double k = tool.smearFactor;
        if (first) {
            side = p;
            pick.assign(size_t(p) * p * 4, 0.0);
        }
        const bool fingerpaint = tool.id == kFingerpaint, oil = tool.id == kOilPaint;
        const double f = first ? 1.0 : k * tool.decayRate; // oil paint's coverage
        for (int e = 0; e < p * p; ++e) {
            double* g = &pick[4 * size_t(e)];
            double a[4] = {frame[4 * e], frame[4 * e + 1], frame[4 * e + 2], frame[4 * e + 3]};
            if (oil) { // the paint laid over the area first
                const double a1 = a[3] * (1 - f) + f;
                for (int c = 0; c < 3; ++c)
                    a[c] = a1 > 0 ? a[c] * (1 - f / a1) + paint[c] * (f / a1) : a[c];
                a[3] = a1;
            }
            if (first && !oil) {
                for (int c = 0; c < 4; ++c)
                    g[c] = fingerpaint ? (c < 3 ? paint[c] : 1.0) : a[c];
                continue;
            }
            if (first) // oil paint starts from the area itself
                for (int c = 0; c < 4; ++c)
                    g[c] = frame[4 * e + c];
            const double take = a[3] * (1 - k), n = g[3] * k + take;
            if (!(n > 0)) {
                g[0] = g[1] = g[2] = g[3] = 0;
                continue;
            }
            for (int c = 0; c < 3; ++c)
                g[c] = g[c] * (1 - take / n) + a[c] * (take / n);
            g[3] = n;
        }
        const double wgt = k * tool.decayRate * (1 - strength) * (1 - strength);
        std::vector<double> out = layer;
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i) {
                const double mv = mask[j * w + i];
                int x = left + i, y = top + j;
                if (!(mv > 0)) continue;
                if (wrapX) x = ((x % width) + width) % width;
                if (wrapY) y = ((y % height) + height) % height;
                if (x < 0 || y < 0 || x >= width || y >= height) continue;
                double gs[4];
                Mix(at(pick, p, i + 1, j + 1), at(pick, p, i, j + 1), at(pick, p, i + 1, j), at(pick, p, i, j),
                    (1 - fx) * (1 - fy), fx * (1 - fy), (1 - fx) * fy, fx * fy, gs);
                const double* s = &backup[(size_t(y) * width + x) * 4];
                double* d = &out[(size_t(y) * width + x) * 4];
                const double a = gs[3] * (1 - wgt), n = s[3] * wgt + a;
                double xc[3] = {s[0], s[1], s[2]};
                if (n > 0)
                    for (int c = 0; c < 3; ++c)
                        xc[c] = s[c] * (1 - a / n) + gs[c] * (a / n);
                const double q = n * mv, alpha = (1 - mv) * d[3] + q;
                if (!(alpha > 0)) {
                    d[0] = d[1] = d[2] = d[3] = 0;
                    continue;
                }
                // Carried transparency thins the pixel and leaves its colour.
                for (int c = 0; c < 3; ++c)
                    d[c] = d[c] * (1 - q / alpha) + xc[c] * (q / alpha);
                d[3] = alpha;
            }
        layer = out;
    }
};

// The tip parameters of the stroke as PaintStroke makes them.
s_ToolPars StrokePars(Canvas& c, cVek_ToolBox& box) {
    s_ToolPars pars{};
    pars.toolBox = &box;
    pars.picture = c.pic.get();
    pars.layer = c.ink;
    pars.backup = c.ink->EnsureBackup()->As<float>();
    pars.pixels = c.ink->Pixels();
    pars.coverage = c.pic->GetStrokeBuffer();
    pars.width = c.ink->width, pars.height = c.ink->height;
    pars.wrapX = c.pic->repeatX, pars.wrapY = c.pic->repeatY;
    pars.size = float(box.size[0]);
    pars.hardness = (100 - box.softness[0]) / 100.0f;
    pars.tipShape = 1.0f - box.tipProfile[0] / 100.0f;
    pars.strength = box.strength[0] / 100.0f;
    pars.highlight = box.highlight[0], pars.paint = box.paint[0];
    pars.innerEdge = box.innerEdge[0], pars.outerEdge = box.outerEdge[0];
    pars.subPixel = 1;
    return pars;
}

} // namespace

TEST(SmearStamp, MatchesTheReferenceAtEveryKernelLevelAcrossEdgesAndWrapping) {
    struct Case {
        uint32_t tool;
        int size, softness, strength;
        bool wrap;
        float x0, y0; // first stamp, near an edge
    };
    const Case cases[] = {{kSmear, 9, 40, 100, false, 2.3f, 3.6f},     {kSmudge, 4, 0, 55, true, -1.4f, 20.2f},
                          {kFingerpaint, 7, 70, 80, false, 30.7f, 26.1f}, {kOilPaint, 12, 20, 100, true, 33.5f, 1.5f},
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
            // A stroke of eleven stamps about a pixel apart, one of them on whole pixels and two on
            // a whole column or row, as the sampler places them.
            std::vector<s_StrokePoint> points;
            for (int i = 0; i < 11; ++i) {
                float x = k.x0 + 1.1f * i + 0.3f * u(rng), y = k.y0 + 0.7f * i + 0.3f * u(rng);
                if (i == 3) x = std::floor(x), y = std::floor(y);
                if (i == 5) x = std::floor(x);
                if (i == 8) y = std::floor(y);
                points.push_back({x, y, 1.0f, 0.01f, 1, 0});
            }
            points.push_back({0, 0, 1.0f, -1.0f, 0, 0});
            SmearReference ref(c);
            s_ToolPars pars = StrokePars(c, *box);
            tool.PaintStroke(pars, points.data());
            // The reference stamps with masks from the tip engine (tested on their own) and the
            // tool box's distance table.
            s_TipPars tip{};
            tip.size = pars.size, tip.hardness = pars.hardness, tip.tipShape = pars.tipShape;
            tip.strength = pars.strength;
            tes::ComputeTipGeometry(tip);
            const int parity = tip.maskSize & 1, n = box->distanceN[parity], msize = tip.maskSize + 2;
            vek::MemBlock maskA;
            ASSERT_TRUE(maskA.Alloc(sizeof(float) * msize * msize));
            std::vector<float> quadrant(2 * msize * msize), plane(msize * msize), cone(msize * msize);
            tip.maskA = &maskA;
            for (size_t i = 0; i + 1 < points.size(); ++i) {
                const int ix = int(points[i].x), iy = int(points[i].y);
                float fx = points[i].x - ix, fy = points[i].y - iy;
                int left = ix - tip.halfWidth, top = iy - tip.halfHeight;
                if (fx < 0) fx += 1, --left;
                if (fy < 0) fy += 1, --top;
                tip.fx = fx, tip.fy = fy;
                tes::BuildTipMasks(tip, box->distanceTable[parity].As<float>(), n, quadrant.data(), plane.data(),
                                   cone.data());
                ref.Stamp(tool, tip, maskA.As<float>(), left, top, fx, fy, pars.strength, pars.paint, i == 0);
            }
            const float* got = c.ink->Pixels();
            for (size_t i = 0; i < ref.layer.size(); i += 4) {
                const double* r = &ref.layer[i];
                for (int ch = 0; ch < 4; ++ch) // premultiplied, where the colour matters
                    EXPECT_NEAR(got[i + ch] * (ch < 3 ? got[i + 3] : 1.0f), r[ch] * (ch < 3 ? r[3] : 1.0), 2e-5)
                        << "level " << level << " tool " << k.tool << " pixel " << i / 4 << " channel " << ch;
                if (r[3] == 0) {
                    EXPECT_EQ(got[i] + got[i + 1] + got[i + 2], 0.0f) << i / 4;
                }
            }
        }
    }
    tes::UseToolRowLevel(0);
}
