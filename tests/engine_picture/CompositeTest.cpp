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

struct Rgba {
    float r, g, b, a;
};

c_TesLayer_Gfx* Layer(c_TesPic& pic) {
    return pic.AddColourLayer();
}

void ExpectPx(const c_TesLayer& l, int x, int y, float r, float g, float b, float a) {
    const float* p = l.Pixels() + (size_t(y - l.y) * l.width + (x - l.x)) * 4;
    EXPECT_TRUE(p[0] == r && p[1] == g && p[2] == b && p[3] == a)
        << x << "," << y << ": " << p[0] << " " << p[1] << " " << p[2] << " " << p[3];
}

// One layer of a one-row picture: colour pixels, or wax values when `wax` is given.
struct LayerCase {
    std::vector<Rgba> px;
    int opacity = 100, blendMode = 0, visible = 1;
    std::vector<float> wax = {};
};

} // namespace

TEST(Composite, HandComputedPixelsOfEveryCaseOfTheColourTableThePaperAndTheWax) {
    const float third = 0.666666686534881591796875f,
                rest = 0.333333313465118408203125f; // f, 1 − f of 0.5 / 0.75
    const Rgba clear{0, 0, 0, 0}, red{1, 0, 0, 0.5f}, grey{0.5f, 0.5f, 0.5f, 1}, under{0.2f, 0.4f, 0.6f, 1};
    const float mix = 0.5f * 1.0f + 0.5f * 0.2f; // half wax over an opaque pixel: t = k = 0.5
    const struct {
        const char* what;
        std::vector<LayerCase> layers;
        int paperMode, paperOn;
        bool hidden;
        std::vector<Rgba> want;
    } cases[] = {
        // The paper is (0.5, 0.25, 0): half-transparent red over it is (0.75, 0.125, 0).
        {"half transparent red without paper", {{{red}}}, 0, 1, false, {red}},
        {"... on paper", {{{red}}}, 1, 0, false, {{0.75f, 0.125f, 0, 1}}},
        {"... with the picture's paper switch off", {{{red}}}, -1, 0, false, {red}},
        {"... with the picture's paper switch on", {{{red}}}, -1, 1, false, {{0.75f, 0.125f, 0, 1}}},
        {"paper where nothing is drawn", {{{clear}}}, 1, 0, false, {{0.5f, 0.25f, 0, 1}}},
        {"Normal over, single-precision weights",
         {{{{0, 0, 1, 1}, {0, 0, 1, 0.5f}}}, {{red, red}}},
         0,
         1,
         false,
         {{0.5f, 0, 0.5f, 1}, {third, 0, rest, 0.75f}}},
        {"opacity 0 changes nothing",
         {{{{0.2f, 0.4f, 0.6f, 0.8f}, clear}}, {{grey, grey}, 0}},
         0,
         1,
         false,
         {{0.2f, 0.4f, 0.6f, 0.8f}, clear}},
        {"opacity scales alpha in single precision",
         {{{{0.5f, 0.5f, 0.5f, 0.9f}}, 37}},
         0,
         1,
         false,
         {{0.5f, 0.5f, 0.5f, 0.9f * 0.37f}}},
        {"Multiply leaves transparent areas transparent",
         {{{grey, clear}}, {{{0.5f, 0.25f, 1, 1}, {0.5f, 0.25f, 1, 1}}, 100, kTesBlend_Multiply}},
         0,
         1,
         false,
         {{0.25f, 0.125f, 0.5f, 1}, clear}},
        {"a half-alpha Add mixes its result: 0.5·0.5 + 0.5·0.75",
         {{{grey}}, {{{0.25f, 0.25f, 0.25f, 0.5f}}, 100, kTesBlend_Add}},
         0,
         1,
         false,
         {{0.625f, 0.625f, 0.625f, 1}}},
        {"the lowest blend layer blends against the paper even with paper off",
         {{{{0.25f, 0.25f, 0.25f, 0.5f}, clear}, 100, kTesBlend_Add}},
         0,
         1,
         false,
         {{0.75f, 0.5f, 0.25f, 0.5f}, clear}},
        {"hidden layers are left out", {{{grey}, 100, 0, 0}}, 0, 1, false, {clear}},
        {"... unless asked for", {{{grey}, 100, 0, 0}}, 0, 1, true, {grey}},
        {"wax 0 leaves pixels, wax 1 paints opaque ones yellow, half wax mixes",
         {{{under, under, under}}, {{}, 100, 0, 1, {0, 1, 0.5f}}},
         0,
         1,
         false,
         {under, {1, 0.7f, 0, 1}, {mix, 0.5f * 0.7f + 0.5f * 0.4f, 0.5f * 0.6f, 1}}},
        {"wax over nothing: its own colour, or transparent black",
         {{{clear, clear, clear}}, {{}, 100, 0, 1, {1, 0.25f, 0}}},
         0,
         1,
         false,
         {{1, 0.7f, 0, 1}, {1, 0.7f, 0, 0.25f}, clear}},
        {"full wax over a half-transparent pixel is the wax colour",
         {{{{0, 0, 1, 0.5f}}}, {{}, 100, 0, 1, {1}}},
         0,
         1,
         false,
         {{1, 0.7f, 0, 1}}},
    };
    for (const auto& c : cases) {
        const int32_t w = static_cast<int32_t>(c.want.size());
        c_TesPic pic(w, 1);
        pic.paperColour[0] = 0.5f, pic.paperColour[1] = 0.25f, pic.paperColour[2] = 0.0f;
        pic.paperOn = c.paperOn;
        for (const LayerCase& l : c.layers) {
            c_TesLayer* layer =
                l.wax.empty() ? static_cast<c_TesLayer*>(pic.AddColourLayer()) : pic.AddWaxLayer();
            for (int32_t x = 0; x < w; ++x)
                if (l.wax.empty())
                    SetPx(*layer, x, 0, l.px[x].r, l.px[x].g, l.px[x].b, l.px[x].a);
                else
                    layer->Pixels()[x] = l.wax[x];
            layer->opacity = l.opacity;
            layer->blendMode = l.blendMode;
            layer->blendOn = l.blendMode != 0;
            layer->visible = l.visible;
        }
        auto t = pic.Composite(0, 0, w, 1, c.hidden, c.paperMode);
        ASSERT_NE(t, nullptr) << c.what;
        SCOPED_TRACE(c.what);
        for (int32_t x = 0; x < w; ++x)
            ExpectPx(*t, x, 0, c.want[x].r, c.want[x].g, c.want[x].b, c.want[x].a);
        int i = 0;
        for (c_TesLayer* l = pic.bottomLayer; l; l = l->above)
            EXPECT_EQ(l->visible, c.layers[i++].visible) << "include-hidden changed a flag";
    }
}

TEST(Composite, NothingForNoLayersOrARectangleOutsideAndRepeatingPicturesWrapTheTarget) {
    c_TesPic pic(10, 8);
    EXPECT_EQ(pic.Composite(0, 0, 4, 4, false, 0), nullptr);
    pic.AddColourLayer();
    auto t = pic.Composite(-3, 6, 5, 10, false, 0);
    ASSERT_NE(t, nullptr);
    EXPECT_TRUE(t->x == 0 && t->y == 6 && t->width == 2 && t->height == 2);
    EXPECT_EQ(pic.Composite(10, 0, 3, 3, false, 0), nullptr);
    c_TesPic tiles(4, 3);
    tiles.repeatX = 1;
    auto* l = tiles.AddColourLayer();
    for (int x = 0; x < 4; ++x)
        SetPx(*l, x, 1, float(x), 0, 0, 1);
    t = tiles.Composite(-1, 1, 3, 1, false, 0);
    ASSERT_NE(t, nullptr);
    EXPECT_TRUE(t->x == 3 && t->width == 3);
    EXPECT_TRUE(t->Pixels()[0] == 3.0f && t->Pixels()[4] == 0.0f && t->Pixels()[8] == 1.0f);
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
    c_TesLayer_Gfx target;
    ASSERT_TRUE(pic.CompositeInto(target, 0, 0, 1, 1, false, 0));
    EXPECT_TRUE(target.x == 9 && target.y == 9 && target.width == 3 && target.height == 3);
    // Pixels from the opposite edges took part: (9, 9), (0, 0), (1, 1) along the diagonal.
    ExpectPx(target, 9, 9, 9, 9, 0, 1);
    ExpectPx(target, 10, 10, 0, 0, 0, 1);
    ExpectPx(target, 11, 11, 1, 1, 0, 1);
    // The layer with the margins works on the requested pixel only: the centre of the target.
    ASSERT_EQ(m->calls.size(), 1u);
    EXPECT_TRUE(m->calls[0].first == target.Pixels() + (1 * 3 + 1) * 4 && m->calls[0].second == 1001);
    // Over the whole picture it works on every pixel once.
    m->calls.clear();
    ASSERT_TRUE(pic.CompositeInto(target, 0, 0, 10, 10, false, 0));
    int area = 0;
    for (auto& c : m->calls)
        area += (c.second / 1000) * (c.second % 1000);
    EXPECT_TRUE(target.width == 10 && area == 100);
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
