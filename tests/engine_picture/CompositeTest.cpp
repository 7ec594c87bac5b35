// The picture composite: hand-computed cases of every row of the colour table, paper modes, the
// wax overlay, include-hidden, margins on a repeating picture, a plain per-pixel reference
// composite checked against the banded one on random stacks, and the SIMD row kernels checked
// bit for bit against the plain ones.
#include <gtest/gtest.h>

#include <cmath>

#include "PictureTestUtil.h"
#include "engine/picture/BlendModes.h"
#include "engine/picture/CompositeRows.h"
#include "engine/picture/c_TesLayer_Wax.h"

using namespace pictest;

namespace {

struct Rgba {
    float r, g, b, a;
};

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
    const Rgba clear{0, 0, 0, 0}, red{1, 0, 0, 0.5f}, grey{0.5f, 0.5f, 0.5f, 1}, under{0.2f, 0.4f, 0.6f, 1},
        onPaper{0.75f, 0.125f, 0, 1}, yellow{1, 0.7f, 0, 1}, dim{0.2f, 0.4f, 0.6f, 0.8f}, blue{0, 0, 1, 1},
        halfBlue{0, 0, 1, 0.5f}, quarter{0.25f, 0.25f, 0.25f, 0.5f}, tint{0.5f, 0.25f, 1, 1};
    const float mix = 0.5f * 1.0f + 0.5f * 0.2f; // half wax over an opaque pixel: t = k = 0.5
    const struct {
        const char* what;
        std::vector<LayerCase> layers;
        std::vector<Rgba> want;
        int paperMode = 0, paperOn = 1;
        bool hidden = false;
    } cases[] = {
        // The paper is (0.5, 0.25, 0): half-transparent red over it is (0.75, 0.125, 0).
        {"half transparent red without paper", {{{red}}}, {red}},
        {"... on paper", {{{red}}}, {onPaper}, 1, 0},
        {"... with the picture's paper switch off", {{{red}}}, {red}, -1, 0},
        {"... with the picture's paper switch on", {{{red}}}, {onPaper}, -1, 1},
        {"paper where nothing is drawn", {{{clear}}}, {{0.5f, 0.25f, 0, 1}}, 1, 0},
        {"Normal over, single-precision weights",
         {{{blue, halfBlue}}, {{red, red}}},
         {{0.5f, 0, 0.5f, 1}, {third, 0, rest, 0.75f}}},
        {"opacity 0 changes nothing", {{{dim, clear}}, {{grey, grey}, 0}}, {dim, clear}},
        {"opacity scales alpha in single precision",
         {{{{0.5f, 0.5f, 0.5f, 0.9f}}, 37}},
         {{0.5f, 0.5f, 0.5f, 0.9f * 0.37f}}},
        {"Multiply leaves transparent areas transparent",
         {{{grey, clear}}, {{tint, tint}, 100, kTesBlend_Multiply}},
         {{0.25f, 0.125f, 0.5f, 1}, clear}},
        {"a half-alpha Add mixes its result: 0.5·0.5 + 0.5·0.75",
         {{{grey}}, {{quarter}, 100, kTesBlend_Add}},
         {{0.625f, 0.625f, 0.625f, 1}}},
        {"the lowest blend layer blends against the paper even with paper off",
         {{{quarter, clear}, 100, kTesBlend_Add}},
         {{0.75f, 0.5f, 0.25f, 0.5f}, clear}},
        {"hidden layers are left out", {{{grey}, 100, 0, 0}}, {clear}},
        {"... unless asked for", {{{grey}, 100, 0, 0}}, {grey}, 0, 1, true},
        {"wax 0 leaves pixels, wax 1 paints opaque ones yellow, half wax mixes",
         {{{under, under, under}}, {{}, 100, 0, 1, {0, 1, 0.5f}}},
         {under, yellow, {mix, 0.5f * 0.7f + 0.5f * 0.4f, 0.5f * 0.6f, 1}}},
        {"wax over nothing: its own colour, or transparent black",
         {{{clear, clear, clear}}, {{}, 100, 0, 1, {1, 0.25f, 0}}},
         {yellow, {1, 0.7f, 0, 0.25f}, clear}},
        {"full wax over a half-transparent pixel is the wax colour",
         {{{halfBlue}}, {{}, 100, 0, 1, {1}}},
         {yellow}},
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
    auto* l = pic.AddColourLayer();
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
    EXPECT_EQ(m->calls, (std::vector<std::pair<float*, int>>{{target.Pixels() + (1 * 3 + 1) * 4, 1001}}));
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
    auto* l = pic.AddColourLayer();
    for (int x = 0; x < 4; ++x)
        SetPx(*l, x, 0, 0, 0, 0, 1);
    // A wax layer read compacted: content one pixel at x = 1 with value 0, outside value 1.
    auto wax = std::make_unique<c_TesLayer_Wax>();
    wax->pixels.AllocZeroed(4);
    wax->bytesPerChannel = 4, wax->compacted = 1, wax->outsideValue = 1.0f;
    wax->x = 1, wax->width = 1, wax->height = 1, wax->fullWidth = 4, wax->fullHeight = 1;
    pic.InsertLayer(std::move(wax), 3);
    auto t = pic.Composite(0, 0, 4, 1, false, 0);
    ASSERT_NE(t, nullptr);
    ExpectPx(*t, 0, 0, 1.0f, 0.7f, 0.0f, 1);
    ExpectPx(*t, 1, 0, 0, 0, 0, 1);
    ExpectPx(*t, 3, 0, 1.0f, 0.7f, 0.0f, 1);
}

// A fresh target left at its default window is drawn over its whole raster; a reused target
// keeps its block, and a failed composite leaves it as it was.
TEST(CompositeInto, FreshTargetsAreDrawnWholeReusedOnesKeepTheirBlockAndFailureLeavesThemAlone) {
    c_TesPic pic(64, 32);
    auto* l = pic.AddColourLayer();
    SetPx(*l, 2, 1, 0.5f, 0.5f, 0.5f, 1);
    c_TesLayer_Gfx fresh;
    ASSERT_TRUE(fresh.Create(0, 0, 3, 2));
    l->CompositeOnto(fresh);
    ExpectPx(fresh, 2, 1, 0.5f, 0.5f, 0.5f, 1);
    EXPECT_EQ(fresh.visible, 1);
    c_TesLayer_Gfx target;
    ASSERT_TRUE(pic.CompositeInto(target, 0, 0, 64, 32, false, 1));
    const void* block = target.pixels.Data();
    ASSERT_TRUE(pic.CompositeInto(target, 0, 0, 64, 32, false, 0));
    EXPECT_EQ(target.pixels.Data(), block);
    const auto before = Bytes(target.pixels);
    vek::MemFailAfter(0, true);
    EXPECT_FALSE(pic.CompositeInto(target, 0, 0, 10, 10, false, 0));
    EXPECT_EQ(pic.Composite(0, 0, 4, 4, false, 0), nullptr);
    vek::MemFailAfter(0);
    EXPECT_TRUE(target.width == 64 && Bytes(target.pixels) == before);
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
                    const float wc[3] = {1.0f, 0.7f, 0.0f}; // the wax colour
                    for (int c = 0; c < 3; ++c)
                        D[c] = a > 0 ? (t * wc[c] + kd * D[c]) / a : 0.0f;
                    D[3] = a > 0 ? a : 0.0f;
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
        for (int k = 0; k < layers; ++k) {
            if (rng() % 6 == 0) {
                auto* wax = pic.AddWaxLayer();
                for (int i = 0; i < W * H; ++i)
                    wax->Pixels()[i] = (rng() % 3) * 0.5f;
                wax->opacity = rng() % 2 ? 100 : 40;
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

namespace {

// Composite rows: alpha at or below 0, NaN alpha (source) or 1 and 0.25 (target), HDR colour.
std::vector<float> RandomRow(std::mt19937& rng, int n, bool target) {
    std::uniform_real_distribution<float> u(-0.25f, 2.0f);
    const float special[3] = {0.0f, target ? 1.0f : -0.5f, target ? 0.25f : NAN};
    std::vector<float> v(size_t(n) * 4);
    for (int i = 0; i < n; ++i) {
        for (int c = 0; c < 3; ++c)
            v[i * 4 + c] = u(rng);
        const unsigned k = rng() % 6;
        v[i * 4 + 3] = k < 3 ? special[k] : float(rng() % 1000) / 999.0f;
    }
    return v;
}

} // namespace

// Odd lengths reach the AVX tail; NaN results compare by bits too, so both kernels must make the
// same NaN-free choices.
TEST(CompositeRows, EverySimdLevelMatchesThePlainKernelsBitForBit) {
    const tes::s_CompositeKernels* plain = tes::CompositeKernels(0);
    ASSERT_NE(plain, nullptr);
    std::mt19937 rng(99);
    const float ops[] = {1.0f, 0.37f, 0.0f, 0.5f}, paper[3] = {0.9f, 0.8f, 0.3f};
    int levels = 0;
    for (int level = 1; level <= 2; ++level) {
        const tes::s_CompositeKernels* k = tes::CompositeKernels(level);
        if (!k) continue;
        ++levels;
        for (int it = 0; it < 200; ++it) {
            const int n = 1 + rng() % 37;
            const float op = ops[rng() % 4];
            const std::vector<float> s = RandomRow(rng, n, false), d0 = RandomRow(rng, n, true);
            using Row = void (*)(float*, const float*, int32_t, float);
            const Row plainRows[] = {plain->copyFull, plain->copy, plain->over, plain->multiply};
            const Row fastRows[] = {k->copyFull, k->copy, k->over, k->multiply};
            for (int f = 0; f < 6; ++f) {
                std::vector<float> a = d0, b = d0;
                if (f < 4) {
                    plainRows[f](a.data(), s.data(), n, op);
                    fastRows[f](b.data(), s.data(), n, op);
                } else if (f == 4) {
                    plain->paper(a.data(), size_t(n), paper);
                    k->paper(b.data(), size_t(n), paper);
                } else {
                    plain->copyFullPaper(a.data(), s.data(), n, op, paper);
                    k->copyFullPaper(b.data(), s.data(), n, op, paper);
                }
                ASSERT_EQ(0, std::memcmp(a.data(), b.data(), a.size() * 4))
                    << "level " << level << " kernel " << f << " n " << n;
            }
        }
    }
    EXPECT_GE(levels, 1); // x86-64 always has SSE2
}
