// The program's tool box: its nine tools, its constructor's settings, the right button in its
// catalogue, and the shaded pens and the drag it adds (Smudge is the engine's smear with its
// factor, checked by the catalogue; the smear itself is the engine tests').
#include <functional>

#include "ToolTestSupport.h"
#include "app/Highlight3DPenTool.h"
#include "app/ThreeDeePenTool.h"
#include "app/ToolBox.h"
#include "app/White3dPenTool.h"

namespace {

std::unique_ptr<scribbix::ToolBox> MakeProgramBox(Canvas& c, uint32_t tool, int size, int screenW = 1920,
                                                  int screenH = 1080) {
    auto box = std::make_unique<scribbix::ToolBox>(screenW, screenH);
    if (!box->Initialize()) return nullptr;
    box->SetPicture(c.pic.get());
    box->SetPrimaryTool(tool);
    box->subPixel = 0;
    box->inputSmoothing = 0;
    box->size[0] = size;
    return box;
}

} // namespace

TEST(ProgramToolBox, NineToolsInOrderWithThe3DPenFirstInHand) {
    scribbix::ToolBox box(1024, 768);
    ASSERT_TRUE(box.Initialize());
    EXPECT_EQ(gVek_ToolBox, &box);
    EXPECT_EQ(Catalogue(box),
              "1 Pen →2 P; 2 Eraser →53; 1020000 3D Pen →2 P O cone; 1020001 Light 3D Pen →2 P I cone; "
              "1020002 Soft Pen →2 P cone; 8 Sprinkled Pen →2 P H; "
              "1020003 Highlight 3D Pen →2 P I O cone; 1020004 Drag →53 k1; 1020005 Smudge →53 k0.85");
    for (int i = 0; i < box.ToolCount(); ++i)
        EXPECT_EQ(box.tools[i]->continuous + box.tools[i]->smoothedSampling + box.tools[i]->frameForcingMode,
                  4);
    EXPECT_EQ(box.primaryTool->id, 1020000u);
    EXPECT_EQ(box.softness[0] * 10 + box.softness[1], 15); // the right values stay the engine's
    EXPECT_EQ(box.outerEdge[0][2], 0.0f);
    EXPECT_EQ(box.innerEdge[0][0], 1.0f);
}

TEST(ProgramToolBox, MaxSizeFollowsTheScreenWithinThreeAnd251ButPenSizesAboveItPaintAtTheirSize) {
    EXPECT_EQ(scribbix::ToolBox::MaxSizeForScreen(1024, 768), 58);
    EXPECT_EQ(scribbix::ToolBox::MaxSizeForScreen(1920, 1080), 82);
    EXPECT_EQ(scribbix::ToolBox::MaxSizeForScreen(7680, 4320), 251);
    EXPECT_EQ(scribbix::ToolBox::MaxSizeForScreen(20, 20), 3);
    EXPECT_EQ(scribbix::ToolBox::MaxSizeForScreen(0, 0), 3);
    // The brushes set pen sizes from the picture (7.5 % of 1600 is 120) while max size, which
    // bounds the settings panel, follows the screen (58 on 1024 × 768).
    Canvas c(300, 200);
    auto box = MakeProgramBox(c, 1, 120, 1024, 768);
    ASSERT_EQ(box->maxSize, 58);
    c.Line(*box, 150, 100, 150, 100);
    EXPECT_GT(c.Alpha(150 + 55, 100), 0.9f);
    EXPECT_EQ(c.Alpha(150 + 65, 100), 0.0f);
}

TEST(ProgramRightButton, The3DPenGivesTheEraserAndTheOthersThePen) {
    Canvas c(80, 60);
    c.Fill(0.1f, 0.2f, 0.3f, 1.0f);
    auto box = MakeProgramBox(c, scribbix::ToolBox::kThreeDeePen, 7);
    c.Line(*box, 10, 10, 70, 10, 2);
    EXPECT_EQ(c.Alpha(40, 10), 0.0f); // erased with the left size
    EXPECT_EQ(c.Alpha(40, 16), 1.0f);
    for (uint32_t tool : {2u, 1020004u, 1020005u}) {
        c.Fill(0, 0, 0, 0);
        box->SetPrimaryTool(tool);
        c.Line(*box, 10, 30, 70, 30, 2);
        EXPECT_FLOAT_EQ(c.Px(40, 30)[1], box->paint[0][1]) << tool; // the Pen: 53 is not in this catalogue
    }
    box->complementSplitOff = 0;
    box->SetPrimaryTool(scribbix::ToolBox::kThreeDeePen);
    c.Fill(0, 0, 0, 0);
    c.Line(*box, 10, 40, 70, 40, 2);
    EXPECT_FLOAT_EQ(c.Px(40, 40)[1], box->paint[0][1]); // no pan here: the Pen as well
}

TEST(ShadedPenKernels, MatchTheReferenceOnRandomTipsConesAndCoverage) {
    // The highlight of (0.8, 0.3, 1.7): sum 2.8, L = 4.624; H = (1.321143, 0.495429, 2.807429) before
    // the spill, which pulls red back by 0.240857 and blue by 1.355571 and shares out 0.764434.
    const float h[3] = {1.080286f + 0.3333f * 0.764434f, 0.495429f + 0.3333f * 0.764434f,
                        1.451857f + 0.3334f * 0.764434f};
    scribbix::ThreeDeePenTool tube;
    scribbix::White3dPenTool light;
    scribbix::Highlight3DPenTool highlight;
    const struct {
        cTes_Tool* tool;
        std::function<void(const RandomSpan&, float, float*)> colour;
    } cases[] = {
        {&tube,
         [](const RandomSpan& r, float e, float* p) {
             for (int k = 0; k < 3; ++k)
                 p[k] = (1 - e) * (1 - e) * r.outer[k] + (1 - (1 - e) * (1 - e)) * r.paint[k];
         }},
        {&light,
         [](const RandomSpan& r, float e, float* p) {
             for (int k = 0; k < 3; ++k)
                 p[k] = (1 - e) * r.paint[k] + e * r.inner[k];
         }},
        // Outer half: towards the outer edge; inner half: towards the highlight.
        {&highlight,
         [&h](const RandomSpan& r, float e, float* p) {
             const float e2 = 2 * e, a = (1 - e2) * 0.8f + 0.2f, w = a * a - 0.04f;
             for (int k = 0; k < 3; ++k)
                 p[k] = e2 <= 1 ? w * r.outer[k] + (1 - w) * r.paint[k]
                                : (2 - e2) * r.paint[k] + (e2 - 1) * h[k];
         }},
    };
    for (const auto& c : cases)
        for (uint32_t seed = 1; seed <= 8; ++seed) {
            RandomSpan fast(seed), ref(seed);
            c.tool->BlendSpan(fast.sp);
            ref.Reference(true, true, [&](float e, float* p) { c.colour(ref, e, p); });
            ExpectNear(fast.dst, ref.dst, 2e-5f);
            ExpectNear(fast.cov, ref.cov, 0.0f);
        }
}

TEST(Highlight3DPen, HighlightOfWhiteSpillsOverOfColourDoesNotAndOfBlackIsGrey) {
    const struct {
        float paint[3], highlight[3];
    } cases[] = {{{1, 1, 1}, {1.64995f, 1.64995f, 1.65010f}},
                 {{0.5f, 0.2f, 0.1f}, {0.8525f, 0.341f, 0.1705f}},
                 {{0, 0, 0}, {0.3333f * 0.06f, 0.3333f * 0.06f, 0.3334f * 0.06f}}};
    for (const auto& c : cases) {
        float h[3];
        scribbix::Highlight3DPenTool::DeriveHighlight(c.paint, h);
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(h[k], c.highlight[k], 1e-5) << c.paint[0] << " channel " << k;
    }
}

TEST(ShadedPens, AStrokeCrossingItselfKeepsAContinuousTubeAndEachPenItsCentreAndRim) {
    Canvas c(120, 120);
    auto box = MakeProgramBox(c, scribbix::ToolBox::kThreeDeePen, 21);
    box->paint[0][0] = 0.9f, box->paint[0][1] = 0.4f, box->paint[0][2] = 0.1f;
    // Right along y = 60, up, left, and down through the first leg at (60, 60).
    c.Path(*box, {{10, 60}, {100, 60}, {100, 20}, {60, 20}, {60, 110}});
    for (int k = -8; k <= 8; ++k) { // both centre lines keep the middle's colour, not the other leg's rim
        EXPECT_NEAR(c.Px(60 + k, 60)[0], 0.9f, 0.03f) << k;
        EXPECT_NEAR(c.Px(60, 60 + k)[0], 0.9f, 0.03f) << k;
        EXPECT_EQ(c.Alpha(60 + k, 60), 1.0f);
    }
    EXPECT_LT(c.Px(30, 69)[0], 0.4f); // away from the crossing the rim is dark (black outer edge)
    EXPECT_GT(c.Alpha(30, 69), 0.0f);
    // Centre and one pixel inside the rim: Light 3D white to blue, Highlight 3D highlight to nearly black.
    const struct {
        uint32_t tool;
        float paint[3], centre;
        int rimRow;
        float rim;
    } pens[] = {{scribbix::ToolBox::kLight3DPen, {0, 0, 1}, 1.0f, 29, 0.3f},
                {scribbix::ToolBox::kHighlight3DPen, {0.5f, 0.2f, 0.1f}, 0.8525f, 30, 0.15f}};
    for (const auto& p : pens) {
        Canvas d(80, 40);
        auto pen = MakeProgramBox(d, p.tool, 21);
        std::copy(p.paint, p.paint + 3, pen->paint[0]);
        d.Line(*pen, 10, 20, 70, 20);
        EXPECT_NEAR(d.Px(40, 20)[0], p.centre, 0.05f) << p.tool;
        EXPECT_LT(d.Px(40, p.rimRow)[0], p.rim) << p.tool;
        EXPECT_GT(d.Alpha(40, p.rimRow), 0.9f) << p.tool;
    }
}

TEST(SoftPen, TipFollowsOneMinusOneMinusTSquared) {
    Canvas c(80, 40);
    auto box = MakeProgramBox(c, scribbix::ToolBox::kSoftPen, 21);
    c.Line(*box, 40, 20, 40, 20);
    // Odd size 21, D = 23.1, M = 25: distance 0 at the centre, 5 → r = 0.43290 (pixel mean 5.00625).
    EXPECT_FLOAT_EQ(c.Alpha(40, 20), 1.0f);
    const float t = 1.0f - 5.006251f / 11.55f;
    EXPECT_NEAR(c.Alpha(45, 20), 1.0f - (1.0f - t) * (1.0f - t), 2e-4);
}

TEST(Drag, CarriesThePressedPatchUnchangedAndTransparencyAsWell) {
    Canvas c(100, 50);
    c.FillWith([](int x, int y, float* p) {
        p[0] = 0.01f * x, p[1] = 0.02f * y, p[2] = (x * 7 + y * 3) % 11 / 10.0f, p[3] = 1.0f;
    });
    const auto before = c.Snapshot();
    auto box = MakeProgramBox(c, scribbix::ToolBox::kDrag, 15);
    box->softness[0] = 0;
    c.Line(*box, 20, 25, 60, 25);
    for (int dy = -5; dy <= 5; ++dy)
        for (int dx = -5; dx <= 5; ++dx)
            for (int ch = 0; dx * dx + dy * dy <= 25 && ch < 4; ++ch)
                EXPECT_FLOAT_EQ(c.Px(60 + dx, 25 + dy)[ch], before[((25 + dy) * 100 + 20 + dx) * 4 + ch])
                    << dx << "," << dy;
    // Pressed on a transparent hole, the drag carries the hole into the paint.
    c.FillWith([](int x, int y, float* p) {
        if (x >= 75 && x < 95 && y >= 10 && y < 40) p[0] = p[1] = p[2] = p[3] = 0.0f;
    });
    c.Line(*box, 85, 25, 55, 25);
    EXPECT_EQ(c.Px(55, 25)[0] + c.Alpha(55, 25), 0.0f);
}
