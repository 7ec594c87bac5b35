// The engine's pen and eraser kernels against plain references written from the pixel rules on
// random pixels, tip values and coverage over a clipped rectangle; the generator-driven kernels.
#include <functional>

#include "ToolTestSupport.h"
#include "engine/picture/BlendModes.h"
#include "engine/tools/cTes_Tool_Eraser.h"
#include "engine/tools/cTes_Tool_Pastel.h"
#include "engine/tools/cTes_Tool_Pen.h"
#include "engine/tools/cTes_Tool_SprinkledPen.h"
#include "engine/tools/cTes_Tool_TriColorPen.h"
#include "shell/Random.h"

TEST(CoverageKernels, PenTwoAndThreeColourPensAndTheEraserMatchTheReference) {
    cTes_Tool_Pen pen;
    cTes_Tool_DuoColorPen duo;
    cTes_Tool_TriColorPen tri;
    struct Case {
        cTes_Tool* tool;
        bool cone;
        std::function<void(const RandomSpan&, float, float*)> colour;
    } cases[] = {
        {&pen, false, [](const RandomSpan& r, float, float* p) { std::copy(r.paint, r.paint + 3, p); }},
        {&duo, true,
         [](const RandomSpan& r, float e, float* p) {
             for (int k = 0; k < 3; ++k)
                 p[k] = e * r.paint[k] + (1 - e) * r.outer[k];
         }},
        {&tri, true,
         [](const RandomSpan& r, float e, float* p) { // outer half: outer → inner; inner half: inner → paint
             const float e2 = 2 * e;
             for (int k = 0; k < 3; ++k)
                 p[k] = e2 <= 1 ? (1 - e2) * r.outer[k] + e2 * r.inner[k]
                                : (2 - e2) * r.inner[k] + (e2 - 1) * r.paint[k];
         }},
    };
    for (const Case& c : cases)
        for (uint32_t seed = 1; seed <= 10; ++seed) {
            RandomSpan fast(seed), ref(seed);
            c.tool->BlendSpan(fast.sp);
            ref.Reference(c.cone, false, [&](float e, float* p) { c.colour(ref, e, p); });
            ExpectNear(fast.dst, ref.dst, 2e-6f);
            ExpectNear(fast.cov, ref.cov, 0.0f);
        }
    for (uint32_t seed = 1; seed <= 10; ++seed) { // the eraser removes up to m of the stroke-start alpha
        RandomSpan fast(seed), ref(seed);
        cTes_Tool_Eraser().BlendSpan(fast.sp);
        ref.Each([](const float* s, float* d, float* cov, float m, float) {
            if (!(m > *cov)) return;
            *cov = m;
            for (int k = 0; k < 4; ++k) // nothing left: (0, 0, 0, 0), not a coloured transparent pixel
                d[k] = s[3] > m ? (k < 3 ? s[k] : s[3] - m) : 0.0f;
        });
        ExpectNear(fast.dst, ref.dst, 0.0f);
        ExpectNear(fast.cov, ref.cov, 0.0f);
    }
}

TEST(CoverageKernels, BlendModesRecolourOnlyExistingPaintAndKeepItsAlpha) {
    for (int mode :
         {int(kTesBlend_Multiply), int(kTesBlend_Add), int(kTesBlend_ColorKeptSum), 46}) { // 46: none
        RandomSpan fast(7), ref(7);
        fast.sp.blendMode = mode;
        cTes_Tool_Pen().BlendSpan(fast.sp);
        const t_TesBlendFunction f = GetBlendFunction(mode);
        if (f)
            ref.Each([&](const float* s, float* d, float* cov, float m, float) {
                if (!(m > *cov)) return;
                *cov = m;
                if (m <= 0 || s[3] <= 0) return;
                float c[3] = {ref.paint[0], ref.paint[1], ref.paint[2]};
                f(s[0], s[1], s[2], c[0], c[1], c[2]);
                for (int k = 0; k < 3; ++k)
                    d[k] = s[k] * (1 - m) + c[k] * m;
                d[3] = s[3];
            });
        ExpectNear(fast.dst, ref.dst, 2e-6f);
    }
}

TEST(SprinkledKernel, TintsAboutOnePixelInTenFromTheSharedGenerator) {
    RandomSpan fast(5), ref(5);
    for (RandomSpan* r : {&fast, &ref})
        std::fill(r->maskA.begin(), r->maskA.end(), 0.9f), std::fill(r->cov.begin(), r->cov.end(), 0.0f);
    vek::RandomSetState(0x123456789ULL);
    cTes_Tool_SprinkledPen().BlendSpan(fast.sp);
    const uint64_t after = vek::RandomState();
    vek::RandomSetState(0x123456789ULL);
    int sprinkled = 0;
    ref.Reference(false, false, [&](float, float* p) {
        std::copy(ref.paint, ref.paint + 3, p);
        if (vek::RandomPpm() >= 100000) return;
        const float k = vek::RandomAmount();
        for (int c = 0; c < 3; ++c)
            p[c] = ref.paint[c] * (1 - k) + ref.high[c] * k;
        ++sprinkled;
    });
    EXPECT_EQ(vek::RandomState(), after);
    ExpectNear(fast.dst, ref.dst, 2e-6f);
    EXPECT_GT(sprinkled, 3);
    EXPECT_LT(sprinkled, 40);
}

TEST(PastelKernel, DrawsOneGrainPerPixelAndStrokeAndKeepsIt) {
    RandomSpan sp(4);
    std::vector<float> pick(4 * RandomSpan::kMaskW * (RandomSpan::kRows + 1), 0.5f);
    sp.sp.pickUp = pick.data();
    sp.sp.pickUpRowSkip = RandomSpan::kMaskW - RandomSpan::kCols;
    std::fill(sp.cov.begin(), sp.cov.end(), 0.0f);
    std::fill(sp.maskA.begin(), sp.maskA.end(), 0.8f);
    vek::RandomSetState(99);
    tes::SmearSpan(sp.sp, 0.4f, 0.3f, true, 800000, 0.5f);
    int grains = 0, none = 0;
    sp.Each([&](const float*, float*, float* g, float, float) {
        EXPECT_TRUE(*g == -1.0f || (*g > 0.0f && *g <= 0.5f * 0.7f)) << *g;
        (*g > 0 ? grains : none) += 1;
    });
    EXPECT_GT(grains, none * 2); // about four in five
    const std::vector<float> kept = sp.cov;
    const uint64_t state = vek::RandomState();
    tes::SmearSpan(sp.sp, 0.4f, 0.3f, true, 800000, 0.5f);
    EXPECT_EQ(sp.cov, kept);
    EXPECT_EQ(vek::RandomState(), state); // no new draws on later visits
}
