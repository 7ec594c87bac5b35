// The picture composite: hand-computed cases of every row of the colour table, paper modes, the
// wax overlay, include-hidden, margins on a repeating picture, and a plain per-pixel reference
// composite checked against the banded one on random stacks.
#include <gtest/gtest.h>

#include <cmath>

#include "PictureTestUtil.h"
#include "engine/picture/BlendModes.h"
#include "engine/picture/c_TesLayer_Wax.h"

using namespace pictest;

namespace {

c_TesLayer_Gfx* Layer(c_TesPic& pic) {
    return pic.AddColourLayer();
}

void ExpectPx(const c_TesLayer& l, int x, int y, float r, float g, float b, float a) {
    const float* p = l.Pixels() + (size_t(y - l.y) * l.width + (x - l.x)) * 4;
    EXPECT_EQ(p[0], r) << x << "," << y;
    EXPECT_EQ(p[1], g) << x << "," << y;
    EXPECT_EQ(p[2], b) << x << "," << y;
    EXPECT_EQ(p[3], a) << x << "," << y;
}

} // namespace

TEST(Composite, NoLayersGivesNothing) {
    c_TesPic pic(4, 4);
    EXPECT_EQ(pic.Composite(0, 0, 4, 4, false, 0), nullptr);
}

TEST(Composite, HalfTransparentRedWithoutAndWithWhitePaper) {
    c_TesPic pic(3, 2);
    auto* l = Layer(pic);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            SetPx(*l, x, y, 1, 0, 0, 0.5f);
    auto off = pic.Composite(0, 0, 3, 2, false, 0);
    ASSERT_NE(off, nullptr);
    ExpectPx(*off, 2, 1, 1, 0, 0, 0.5f);
    auto on = pic.Composite(0, 0, 3, 2, false, 1);
    ExpectPx(*on, 2, 1, 1, 0.5f, 0.5f, 1);
    pic.paperOn = 0;
    ExpectPx(*pic.Composite(0, 0, 3, 2, false, -1), 0, 0, 1, 0, 0, 0.5f);
    pic.paperOn = 1;
    ExpectPx(*pic.Composite(0, 0, 3, 2, false, -1), 0, 0, 1, 0.5f, 0.5f, 1);
}

TEST(Composite, PaperShowsWhereNothingIsDrawn) {
    c_TesPic pic(2, 1);
    Layer(pic);
    pic.paperColour[0] = 0.25f, pic.paperColour[1] = 0.5f, pic.paperColour[2] = 0.75f;
    ExpectPx(*pic.Composite(0, 0, 2, 1, false, 1), 1, 0, 0.25f, 0.5f, 0.75f, 1);
}

TEST(Composite, NormalOverBlendsWithSinglePrecisionWeights) {
    c_TesPic pic(2, 1);
    auto* bottom = Layer(pic);
    SetPx(*bottom, 0, 0, 0, 0, 1, 1);
    SetPx(*bottom, 1, 0, 0, 0, 1, 0.5f);
    auto* top = Layer(pic);
    SetPx(*top, 0, 0, 1, 0, 0, 0.5f);
    SetPx(*top, 1, 0, 1, 0, 0, 0.5f);
    auto t = pic.Composite(0, 0, 2, 1, false, 0);
    ExpectPx(*t, 0, 0, 0.5f, 0, 0.5f, 1);
    // outA = 0.75, f = 0.5 / 0.75 in single precision, 1 − f likewise.
    ExpectPx(*t, 1, 0, 0.666666686534881591796875f, 0, 0.333333313465118408203125f, 0.75f);
}

TEST(Composite, OpacityZeroChangesNothing) {
    c_TesPic pic(2, 1);
    auto* bottom = Layer(pic);
    SetPx(*bottom, 0, 0, 0.2f, 0.4f, 0.6f, 0.8f);
    auto* top = Layer(pic);
    SetPx(*top, 0, 0, 1, 1, 1, 1);
    SetPx(*top, 1, 0, 1, 1, 1, 1);
    top->opacity = 0;
    auto t = pic.Composite(0, 0, 2, 1, false, 0);
    ExpectPx(*t, 0, 0, 0.2f, 0.4f, 0.6f, 0.8f);
    ExpectPx(*t, 1, 0, 0, 0, 0, 0);
}

TEST(Composite, OpacityScalesAlphaInSinglePrecision) {
    c_TesPic pic(1, 1);
    auto* l = Layer(pic);
    SetPx(*l, 0, 0, 0.5f, 0.5f, 0.5f, 0.9f);
    l->opacity = 37;
    ExpectPx(*pic.Composite(0, 0, 1, 1, false, 0), 0, 0, 0.5f, 0.5f, 0.5f, 0.9f * 0.37f);
}

TEST(Composite, BlendModeLayerLeavesTransparentAreasTransparent) {
    c_TesPic pic(2, 1);
    auto* bottom = Layer(pic);
    SetPx(*bottom, 0, 0, 0.5f, 0.5f, 0.5f, 1);
    auto* top = Layer(pic);
    SetPx(*top, 0, 0, 0.5f, 0.25f, 1, 1);
    SetPx(*top, 1, 0, 0.5f, 0.25f, 1, 1);
    top->blendOn = 1;
    top->blendMode = kTesBlend_Multiply;
    auto t = pic.Composite(0, 0, 2, 1, false, 0);
    ExpectPx(*t, 0, 0, 0.25f, 0.125f, 0.5f, 1);
    ExpectPx(*t, 1, 0, 0, 0, 0, 0);
}

TEST(Composite, BlendModeWithPartialAlphaMixesTheBlendResult) {
    c_TesPic pic(1, 1);
    SetPx(*Layer(pic), 0, 0, 0.5f, 0.5f, 0.5f, 1);
    auto* top = Layer(pic);
    SetPx(*top, 0, 0, 0.25f, 0.25f, 0.25f, 0.5f);
    top->blendOn = 1;
    top->blendMode = kTesBlend_Add;
    // X = 0.75; D = 0.5·0.5 + 0.5·0.75 = 0.625; alpha unchanged.
    ExpectPx(*pic.Composite(0, 0, 1, 1, false, 0), 0, 0, 0.625f, 0.625f, 0.625f, 1);
}

TEST(Composite, LowestBlendModeLayerBlendsAgainstThePaperEvenWithPaperOff) {
    c_TesPic pic(2, 1);
    pic.paperColour[0] = 0.5f, pic.paperColour[1] = 0.25f, pic.paperColour[2] = 0.0f;
    auto* l = Layer(pic);
    SetPx(*l, 0, 0, 0.25f, 0.25f, 0.25f, 0.5f);
    l->blendOn = 1;
    l->blendMode = kTesBlend_Add;
    auto t = pic.Composite(0, 0, 2, 1, false, 0);
    ExpectPx(*t, 0, 0, 0.75f, 0.5f, 0.25f, 0.5f);
    ExpectPx(*t, 1, 0, 0, 0, 0, 0);
    // With the switch off the mode number is ignored.
    l->blendOn = 0;
    ExpectPx(*pic.Composite(0, 0, 2, 1, false, 0), 0, 0, 0.25f, 0.25f, 0.25f, 0.5f);
}

TEST(Composite, IncludeHiddenDrawsHiddenLayersAndLeavesTheirFlags) {
    c_TesPic pic(1, 1);
    auto* l = Layer(pic);
    SetPx(*l, 0, 0, 0, 1, 0, 1);
    l->visible = 0;
    l->headerDirty = 0;
    ExpectPx(*pic.Composite(0, 0, 1, 1, false, 0), 0, 0, 0, 0, 0, 0);
    ExpectPx(*pic.Composite(0, 0, 1, 1, true, 0), 0, 0, 0, 1, 0, 1);
    EXPECT_EQ(l->visible, 0);
    EXPECT_EQ(l->headerDirty, 0);
}

TEST(Composite, RectangleIsClippedToThePicture) {
    c_TesPic pic(10, 8);
    Layer(pic);
    auto t = pic.Composite(-3, 6, 5, 10, false, 0);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->x, 0);
    EXPECT_EQ(t->y, 6);
    EXPECT_EQ(t->width, 2);
    EXPECT_EQ(t->height, 2);
    EXPECT_EQ(pic.Composite(10, 0, 3, 3, false, 0), nullptr);
}

TEST(Composite, RepeatingPictureWrapsTheTargetAcrossTheEdge) {
    c_TesPic pic(4, 3);
    pic.repeatX = 1;
    auto* l = Layer(pic);
    for (int x = 0; x < 4; ++x)
        SetPx(*l, x, 1, float(x), 0, 0, 1);
    auto t = pic.Composite(-1, 1, 3, 1, false, 0);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->x, 3);
    EXPECT_EQ(t->width, 3);
    const float* p = t->Pixels();
    EXPECT_EQ(p[0], 3.0f);
    EXPECT_EQ(p[4], 0.0f);
    EXPECT_EQ(p[8], 1.0f);
}

namespace {
// A mono layer that asks for one pixel on every side and records where it was applied.
struct MarginLayer : c_TesLayer_MonoComp_NoType {
    std::vector<std::pair<float*, int>> calls; // (first target pixel, width · 1000 + height)
    void GetCompositeMargins(int32_t& l, int32_t& t, int32_t& r, int32_t& b) const override {
        l = t = r = b = 1;
    }
    void ApplyToComposite(float* target, int32_t, const float*, int32_t, int32_t w, int32_t h,
                          int32_t) override {
        calls.push_back({target, w * 1000 + h});
    }
};
} // namespace

TEST(Composite, MarginsWidenAOnePixelCornerRectangleAcrossTheEdgesOfARepeatingPicture) {
    c_TesPic pic(10, 10);
    pic.repeatX = pic.repeatY = 1;
    auto* l = Layer(pic);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            SetPx(*l, x, y, float(x), float(y), 0, 1);
    auto owned = std::make_unique<MarginLayer>();
    owned->Create(0, 0, 10, 10);
    MarginLayer* m = owned.get();
    pic.InsertLayer(std::move(owned), 3);
    auto target = std::make_unique<c_TesLayer_Gfx>();
    ASSERT_TRUE(pic.CompositeInto(*target, 0, 0, 1, 1, false, 0));
    EXPECT_EQ(target->x, 9);
    EXPECT_EQ(target->y, 9);
    EXPECT_EQ(target->width, 3);
    EXPECT_EQ(target->height, 3);
    // Pixels from the opposite edges took part: (9, 9), (0, 0), (1, 1) along the diagonal.
    ExpectPx(*target, 9, 9, 9, 9, 0, 1);
    ExpectPx(*target, 10, 10, 0, 0, 0, 1);
    ExpectPx(*target, 11, 11, 1, 1, 0, 1);
    // The layer with the margins works on the requested pixel only: the centre of the target.
    ASSERT_EQ(m->calls.size(), 1u);
    EXPECT_EQ(m->calls[0].first, target->Pixels() + (1 * 3 + 1) * 4);
    EXPECT_EQ(m->calls[0].second, 1001);
}

TEST(Composite, MarginLayerOnAWholeRepeatingPictureWorksOnEveryPixel) {
    c_TesPic pic(10, 10);
    pic.repeatX = pic.repeatY = 1;
    Layer(pic);
    auto owned = std::make_unique<MarginLayer>();
    owned->Create(0, 0, 10, 10);
    MarginLayer* m = owned.get();
    pic.InsertLayer(std::move(owned), 3);
    auto t = pic.Composite(0, 0, 10, 10, false, 0);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->width, 10);
    int area = 0;
    for (auto& c : m->calls)
        area += (c.second / 1000) * (c.second % 1000);
    EXPECT_EQ(area, 100);
}

TEST(Wax, OverlayLeavesZeroWaxAndPaintsFullWaxYellowOnOpaque) {
    c_TesPic pic(3, 1);
    auto* l = Layer(pic);
    for (int x = 0; x < 3; ++x)
        SetPx(*l, x, 0, 0.2f, 0.4f, 0.6f, 1);
    auto* wax = pic.AddWaxLayer();
    wax->Pixels()[1] = 1.0f;
    wax->Pixels()[2] = 0.5f;
    auto t = pic.Composite(0, 0, 3, 1, false, 0);
    ExpectPx(*t, 0, 0, 0.2f, 0.4f, 0.6f, 1);
    ExpectPx(*t, 1, 0, 1.0f, 0.7f, 0.0f, 1);
    // Half strength over an opaque pixel: the plain mix (t = 0.5, k = 0.5).
    ExpectPx(*t, 2, 0, (0.5f * 1.0f + 0.5f * 0.2f) / 1.0f, (0.5f * 0.7f + 0.5f * 0.4f) / 1.0f,
             (0.5f * 0.0f + 0.5f * 0.6f) / 1.0f, 1);
}

TEST(Wax, OverlayHandsFiniteColoursToThePaperWhereNothingIsBelow) {
    c_TesPic pic(3, 1);
    Layer(pic); // transparent
    auto* wax = pic.AddWaxLayer();
    wax->Pixels()[0] = 1.0f;
    wax->Pixels()[1] = 0.25f;
    wax->opacity = 100;
    auto t = pic.Composite(0, 0, 3, 1, false, 0);
    ExpectPx(*t, 0, 0, 1.0f, 0.7f, 0.0f, 1);     // full wax on nothing: the wax colour
    ExpectPx(*t, 1, 0, 1.0f, 0.7f, 0.0f, 0.25f); // weaker wax: same colour, less alpha
    ExpectPx(*t, 2, 0, 0, 0, 0, 0);              // no wax, nothing below: transparent black
    auto paper = pic.Composite(0, 0, 3, 1, false, 1);
    for (int i = 0; i < 12; ++i)
        EXPECT_TRUE(std::isfinite(paper->Pixels()[i]));
}

TEST(Wax, FullWaxOverAHalfTransparentPixelIsTheWaxColourNotAnExtrapolation) {
    c_TesPic pic(1, 1);
    SetPx(*Layer(pic), 0, 0, 0, 0, 1, 0.5f);
    pic.AddWaxLayer()->Pixels()[0] = 1.0f;
    ExpectPx(*pic.Composite(0, 0, 1, 1, false, 0), 0, 0, 1.0f, 0.7f, 0.0f, 1);
}

TEST(Wax, CompactedOutsideValueIsDrawnAroundTheContent) {
    c_TesPic pic(4, 1);
    auto* l = Layer(pic);
    for (int x = 0; x < 4; ++x)
        SetPx(*l, x, 0, 0, 0, 0, 1);
    // A wax layer read compacted: content one pixel at x = 1 with value 0, outside value 1.
    auto wax = std::make_unique<c_TesLayer_Wax>();
    wax->pixels.AllocZeroed(4);
    wax->bytesPerChannel = 4;
    wax->compacted = 1;
    wax->x = 1, wax->width = 1, wax->height = 1;
    wax->fullWidth = 4, wax->fullHeight = 1;
    wax->outsideValue = 1.0f;
    pic.InsertLayer(std::move(wax), 3);
    auto t = pic.Composite(0, 0, 4, 1, false, 0);
    ExpectPx(*t, 0, 0, 1.0f, 0.7f, 0.0f, 1);
    ExpectPx(*t, 1, 0, 0, 0, 0, 1);
    ExpectPx(*t, 3, 0, 1.0f, 0.7f, 0.0f, 1);
}

TEST(CompositeOnto, AFreshTargetIsDrawnOverItsWholeRaster) {
    c_TesPic pic(3, 2);
    auto* l = Layer(pic);
    SetPx(*l, 2, 1, 0.5f, 0.5f, 0.5f, 1);
    c_TesLayer_Gfx target;
    ASSERT_TRUE(target.Create(0, 0, 3, 2));
    l->CompositeOnto(target);
    ExpectPx(target, 2, 1, 0.5f, 0.5f, 0.5f, 1);
    EXPECT_EQ(target.visible, 1);
}

TEST(CompositeInto, ReusesTheTargetBlockAndFailureLeavesTheTargetAlone) {
    c_TesPic pic(64, 32);
    SetPx(*Layer(pic), 1, 1, 1, 1, 1, 1);
    c_TesLayer_Gfx target;
    ASSERT_TRUE(pic.CompositeInto(target, 0, 0, 64, 32, false, 1));
    const void* block = target.pixels.Data();
    ASSERT_TRUE(pic.CompositeInto(target, 0, 0, 64, 32, false, 0));
    EXPECT_EQ(target.pixels.Data(), block);
    const auto before = Bytes(target.pixels);
    vek::MemFailAfter(0, true);
    EXPECT_FALSE(pic.CompositeInto(target, 0, 0, 10, 10, false, 0));
    vek::MemFailAfter(0);
    EXPECT_EQ(target.width, 64);
    EXPECT_EQ(Bytes(target.pixels), before);
    vek::MemFailAfter(0, true);
    EXPECT_EQ(pic.Composite(0, 0, 4, 4, false, 0), nullptr);
    vek::MemFailAfter(0);
}

// ---- the reference: one pixel at a time over the whole rectangle, layers bottom-up ----

namespace {

std::vector<float> Reference(c_TesPic& pic, int32_t x, int32_t y, int32_t w, int32_t h, bool hidden,
                             int paper) {
    std::vector<float> d(size_t(w) * h * 4, 0.0f);
    bool empty = true;
    for (c_TesLayer* l = pic.bottomLayer; l; l = l->above) {
        if (!(l->visible || hidden) || !l->HasPixels()) continue;
        const float op = float(l->opacity) / 100.0f;
        const bool isWax = l->type == 3;
        if (l->type != 1 && !isWax) continue;
        if (isWax && l->opacity == 0) continue;
        t_TesBlendFunction fn = l->blendOn && l->blendMode ? GetBlendFunction(l->blendMode) : nullptr;
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i) {
                int px = x + i, py = y + j;
                if (pic.repeatX) px %= pic.width;
                if (pic.repeatY) py %= pic.height;
                float* D = &d[(size_t(j) * w + i) * 4];
                const bool inside = px >= l->x && py >= l->y && px < l->x + l->width && py < l->y + l->height;
                if (isWax) {
                    float wv =
                        inside ? l->Pixels()[size_t(py - l->y) * l->width + (px - l->x)] : l->outsideValue;
                    if (!inside && !l->compacted) continue;
                    float k = (1.0f - wv) * op, t = 1.0f - k, kd = k * D[3], a = t + kd;
                    if (!(a > 0)) {
                        D[0] = D[1] = D[2] = D[3] = 0;
                        continue;
                    }
                    D[0] = (t * 1.0f + kd * D[0]) / a;
                    D[1] = (t * 0.7f + kd * D[1]) / a;
                    D[2] = (t * 0.0f + kd * D[2]) / a;
                    D[3] = a;
                    continue;
                }
                if (!inside) continue;
                const float* S = l->Pixels() + (size_t(py - l->y) * l->width + (px - l->x)) * 4;
                const float A = S[3] * op;
                if (!(A > 0)) continue;
                float r = S[0], g = S[1], b = S[2];
                if (empty) {
                    if (fn) fn(pic.paperColour[0], pic.paperColour[1], pic.paperColour[2], r, g, b);
                    D[0] = r, D[1] = g, D[2] = b, D[3] = A;
                } else if (!fn) {
                    float outA = A + (1.0f - A) * D[3], f = A / outA, k = 1.0f - f;
                    D[0] = r * f + D[0] * k, D[1] = g * f + D[1] * k, D[2] = b * f + D[2] * k, D[3] = outA;
                } else if (D[3] > 0) {
                    fn(D[0], D[1], D[2], r, g, b);
                    float k = 1.0f - A;
                    D[0] = k * D[0] + A * r, D[1] = k * D[1] + A * g, D[2] = k * D[2] + A * b;
                }
            }
        if (!isWax) empty = false;
    }
    if (paper)
        for (size_t i = 0; i < d.size(); i += 4) {
            float a = d[i + 3], k = 1.0f - a;
            for (int c = 0; c < 3; ++c)
                d[i + c] = d[i + c] * a + k * pic.paperColour[c];
            d[i + 3] = 1.0f;
        }
    return d;
}

} // namespace

TEST(Composite, BandedCompositeMatchesAPlainReferenceOnRandomStacks) {
    std::mt19937 rng(2024);
    const int modes[] = {
        0, kTesBlend_Multiply, kTesBlend_Add, kTesBlend_Screen, kTesBlend_Color, kTesBlend_Divide};
    for (int it = 0; it < 120; ++it) {
        const bool tall = it % 10 == 0; // several bands
        const int W = tall ? 1100 : 3 + rng() % 30, H = tall ? 40 : 3 + rng() % 20;
        c_TesPic pic(W, H);
        pic.repeatX = rng() % 3 == 0;
        pic.repeatY = rng() % 3 == 0;
        pic.paperColour[0] = 0.9f, pic.paperColour[1] = 0.8f, pic.paperColour[2] = 0.3f;
        const int layers = 1 + rng() % 4;
        std::vector<c_TesLayer*> made;
        for (int k = 0; k < layers; ++k) {
            if (rng() % 6 == 0) {
                auto* wax = pic.AddWaxLayer();
                for (int i = 0; i < W * H; ++i)
                    wax->Pixels()[i] = (rng() % 3) * 0.5f;
                wax->opacity = rng() % 2 ? 100 : 40;
                made.push_back(wax);
                continue;
            }
            auto* l = pic.AddColourLayer();
            // Content over most of the picture, so that layers overlap.
            const int x0 = rng() % (W / 3 + 1), y0 = rng() % (H / 3 + 1);
            const int cw = (W - x0) - rng() % ((W - x0) / 3 + 1), ch = (H - y0) - rng() % ((H - y0) / 3 + 1);
            FillRandom(*l, rng, x0, y0, cw, ch);
            const int opac[] = {100, 100, 50, 0, 37};
            l->opacity = opac[rng() % 5];
            l->blendMode = modes[rng() % 6];
            l->blendOn = rng() % 2;
            l->visible = rng() % 5 != 0;
            made.push_back(l);
        }
        pic.SetCurrent(pic.bottomLayer); // the others are compacted now
        const bool hidden = rng() % 4 == 0;
        const int paper = int(rng() % 2);
        int32_t x = int32_t(rng() % (W + 6)) - 3, y = int32_t(rng() % (H + 6)) - 3;
        int32_t w = 1 + rng() % (W + 2), h = 1 + rng() % (H + 2);
        auto t = pic.Composite(x, y, w, h, hidden, paper);
        int32_t cx = x, cy = y, cw = w, ch = h;
        pic.ClipRect(cx, cy, cw, ch);
        if (cw == 0) {
            EXPECT_EQ(t, nullptr);
            continue;
        }
        ASSERT_NE(t, nullptr);
        ASSERT_EQ(t->x, cx);
        ASSERT_EQ(t->width, cw);
        ASSERT_EQ(t->height, ch);
        const std::vector<float> ref = Reference(pic, cx, cy, cw, ch, hidden, paper);
        for (size_t i = 0; i < ref.size(); ++i)
            ASSERT_EQ(t->Pixels()[i], ref[i]) << "iteration " << it << " float " << i;
    }
}
