// The program's tool box: its nine tools, its constructor's settings, the right button in its
// catalogue, and the shaded pens and smear tools it adds.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "ToolTestSupport.h"
#include "app/Highlight3DPenTool.h"
#include "app/ToolBox.h"
#include "engine/tools/cTes_Tool_Smear.h"

namespace {

std::unique_ptr<scribbix::ToolBox> MakeProgramBox(Canvas& c, uint32_t tool) {
    auto box = std::make_unique<scribbix::ToolBox>(1920, 1080);
    if (!box->Initialize()) return nullptr;
    box->SetPicture(c.pic.get());
    box->SetPrimaryTool(tool);
    box->subPixel = 0;
    box->inputSmoothing = 0;
    return box;
}

} // namespace

TEST(ProgramToolBox, NineToolsInOrderWithThe3DPenFirstInHand) {
    scribbix::ToolBox box(1024, 768);
    ASSERT_TRUE(box.Initialize());
    EXPECT_EQ(gVek_ToolBox, &box);
    const uint32_t ids[] = {1, 2, 1020000, 1020001, 1020002, 8, 1020003, 1020004, 1020005};
    const char* names[] = {"Pen",           "Eraser",           "3D Pen", "Light 3D Pen", "Soft Pen",
                           "Sprinkled Pen", "Highlight 3D Pen", "Drag",   "Smudge"};
    ASSERT_EQ(box.ToolCount(), 9);
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(box.tools[i]->id, ids[i]);
        EXPECT_STREQ(box.tools[i]->name, names[i]);
        EXPECT_EQ(box.tools[i]->continuous, 1);
        EXPECT_EQ(box.tools[i]->smoothedSampling, 1);
        EXPECT_EQ(box.tools[i]->frameForcingMode, 2);
    }
    EXPECT_EQ(box.primaryTool->id, 1020000u);
    EXPECT_EQ(box.maxSize, 58);
    EXPECT_EQ(box.softness[0], 1);
    EXPECT_EQ(box.outerEdge[0][2], 0.0f);
    EXPECT_EQ(box.innerEdge[0][0], 1.0f);
    EXPECT_EQ(box.softness[1], 5); // the right values stay the engine's
    EXPECT_EQ(box.FindTool(2)->complementId, 53u);
    EXPECT_EQ(box.FindTool(2)->usesPaint, 0);
    EXPECT_EQ(box.FindTool(1020004)->complementId, 53u);
    EXPECT_FLOAT_EQ(static_cast<cTes_Tool_Smear*>(box.FindTool(1020004))->smearFactor, 1.0f);
    EXPECT_FLOAT_EQ(static_cast<cTes_Tool_Smear*>(box.FindTool(1020005))->smearFactor, 0.85f);
    EXPECT_EQ(box.FindTool(1020003)->usesInnerEdge, 1);
    EXPECT_EQ(box.FindTool(1020003)->usesOuterEdge, 1);
    EXPECT_EQ(box.FindTool(1020000)->usesOuterEdge, 1);
    EXPECT_EQ(box.FindTool(1020001)->usesInnerEdge, 1);
    EXPECT_EQ(box.FindTool(8)->usesHighlight, 1);
    EXPECT_EQ(box.FindTool(1020000)->complementId, 2u);
}

TEST(ProgramToolBox, MaxSizeFollowsTheScreenWithinThreeAnd251) {
    EXPECT_EQ(scribbix::ToolBox::MaxSizeForScreen(1024, 768), 58);
    EXPECT_EQ(scribbix::ToolBox::MaxSizeForScreen(1920, 1080), 82);
    EXPECT_EQ(scribbix::ToolBox::MaxSizeForScreen(7680, 4320), 251);
    EXPECT_EQ(scribbix::ToolBox::MaxSizeForScreen(20, 20), 3);
    EXPECT_EQ(scribbix::ToolBox::MaxSizeForScreen(0, 0), 3);
}

TEST(ProgramToolBox, PenSizesAboveTheScreenLimitPaintAtTheirSize) {
    // The pen sizes follow the picture (7.5 % of 1600 is 120) while max size, which bounds the
    // settings panel, follows the screen (58 on 1024 × 768).
    Canvas c(300, 200);
    scribbix::ToolBox box(1024, 768);
    ASSERT_TRUE(box.Initialize());
    box.SetPicture(c.pic.get());
    box.SetPrimaryTool(1);
    box.subPixel = 0;
    box.size[0] = 120;
    c.Press(box, 150, 100);
    c.Release(box, 150, 100);
    EXPECT_GT(c.Px(150 + 55, 100)[3], 0.9f);
    EXPECT_EQ(c.Px(150 + 65, 100)[3], 0.0f);
}

TEST(ProgramRightButton, The3DPenGivesTheEraserAndTheOthersThePen) {
    Canvas c(80, 60);
    c.Fill(0.1f, 0.2f, 0.3f, 1.0f);
    auto box = MakeProgramBox(c, scribbix::ToolBox::kThreeDeePen);
    box->size[0] = 7;
    c.Line(*box, 10, 10, 70, 10, 1.0f, 2);
    EXPECT_EQ(c.Px(40, 10)[3], 0.0f); // erased with the left size
    EXPECT_EQ(c.Px(40, 16)[3], 1.0f);
    for (uint32_t tool : {2u, 1020004u, 1020005u}) {
        c.Fill(0, 0, 0, 0);
        box->SetPrimaryTool(tool);
        c.Line(*box, 10, 30, 70, 30, 1.0f, 2);
        EXPECT_EQ(c.Px(40, 30)[3], 1.0f) << tool; // the Pen (53 is not in this catalogue)
        EXPECT_FLOAT_EQ(c.Px(40, 30)[1], box->paint[0][1]) << tool;
    }
    box->complementSplitOff = 0;
    box->SetPrimaryTool(scribbix::ToolBox::kThreeDeePen);
    c.Fill(0, 0, 0, 0);
    c.Line(*box, 10, 40, 70, 40, 1.0f, 2);
    EXPECT_FLOAT_EQ(c.Px(40, 40)[1], box->paint[0][1]); // no pan here: the Pen as well
}

TEST(ThreeDeePen, AStrokeCrossingItselfKeepsAContinuousTube) {
    Canvas c(120, 120);
    auto box = MakeProgramBox(c, scribbix::ToolBox::kThreeDeePen);
    box->size[0] = 21;
    box->paint[0][0] = 0.9f, box->paint[0][1] = 0.4f, box->paint[0][2] = 0.1f;
    // Right along y = 60, up, left, and down through the first leg at (60, 60).
    const float corners[][2] = {{10, 60}, {100, 60}, {100, 20}, {60, 20}, {60, 110}};
    c.Press(*box, 10, 60);
    for (int i = 1; i < 5; ++i)
        for (int k = 1; k <= 40; ++k)
            c.Move(*box, corners[i - 1][0] + (corners[i][0] - corners[i - 1][0]) * k / 40,
                   corners[i - 1][1] + (corners[i][1] - corners[i - 1][1]) * k / 40);
    c.Release(*box, 60, 110);
    // Along both centre lines through the crossing the colour is the tube's middle, not the
    // darkened rim of the other leg.
    for (int k = -8; k <= 8; ++k) {
        EXPECT_NEAR(c.Px(60 + k, 60)[0], 0.9f, 0.03f) << k;
        EXPECT_NEAR(c.Px(60, 60 + k)[0], 0.9f, 0.03f) << k;
        EXPECT_EQ(c.Px(60 + k, 60)[3], 1.0f);
    }
    // Away from the crossing the rim is dark: the outer edge colour is black.
    EXPECT_LT(c.Px(30, 69)[0], 0.4f);
    EXPECT_GT(c.Px(30, 69)[3], 0.0f);
}

TEST(Highlight3DPen, HighlightOfWhiteSpillsOverAndOfColourDoesNot) {
    float h[3];
    const float white[3] = {1, 1, 1};
    scribbix::Highlight3DPenTool::DeriveHighlight(white, h);
    EXPECT_NEAR(h[0], 1.64995f, 1e-5);
    EXPECT_NEAR(h[1], 1.64995f, 1e-5);
    EXPECT_NEAR(h[2], 1.65010f, 1e-5);
    const float brown[3] = {0.5f, 0.2f, 0.1f};
    scribbix::Highlight3DPenTool::DeriveHighlight(brown, h);
    EXPECT_NEAR(h[0], 0.8525f, 1e-5);
    EXPECT_NEAR(h[1], 0.341f, 1e-5);
    EXPECT_NEAR(h[2], 0.1705f, 1e-5);
    const float black[3] = {0, 0, 0};
    scribbix::Highlight3DPenTool::DeriveHighlight(black, h);
    EXPECT_NEAR(h[0], 0.3333f * 0.06f, 1e-7);
    EXPECT_NEAR(h[2], 0.3334f * 0.06f, 1e-7);
}

TEST(Highlight3DPen, CentreTakesTheHighlightAndTheRimNearlyTheOuterEdge) {
    Canvas c(80, 40);
    auto box = MakeProgramBox(c, scribbix::ToolBox::kHighlight3DPen);
    box->size[0] = 21;
    box->paint[0][0] = 0.5f, box->paint[0][1] = 0.2f, box->paint[0][2] = 0.1f;
    c.Line(*box, 10, 20, 70, 20);
    EXPECT_NEAR(c.Px(40, 20)[0], 0.8525f, 0.05f); // odd size: the centre row has e close to 1
    // One pixel inside the rim (e ≈ 0.05): w ≈ 0.81 of the black outer edge.
    EXPECT_LT(c.Px(40, 30)[0], 0.15f);
    EXPECT_GT(c.Px(40, 30)[3], 0.99f);
}

TEST(Light3DPen, WhiteAlongTheMiddleAndThePaintColourTowardsTheRim) {
    Canvas c(80, 40);
    auto box = MakeProgramBox(c, scribbix::ToolBox::kLight3DPen);
    box->size[0] = 21;
    box->paint[0][0] = 0.0f, box->paint[0][1] = 0.0f, box->paint[0][2] = 1.0f;
    c.Line(*box, 10, 20, 70, 20);
    EXPECT_NEAR(c.Px(40, 20)[0], 1.0f, 0.03f);
    EXPECT_LT(c.Px(40, 29)[0], 0.3f);
    EXPECT_GT(c.Px(40, 29)[2], 0.9f);
}

TEST(SoftPen, TipFollowsOneMinusOneMinusTSquared) {
    Canvas c(80, 40);
    auto box = MakeProgramBox(c, scribbix::ToolBox::kSoftPen);
    box->size[0] = 21;
    box->strength[0] = 100;
    c.Press(*box, 40, 20);
    c.Release(*box, 40, 20);
    // Odd size 21, D = 23.1, M = 25: distance 0 at the centre, 5 → r = 0.43290 (pixel mean 5.00625).
    EXPECT_FLOAT_EQ(c.Px(40, 20)[3], 1.0f);
    const float r = 5.006251f / 11.55f, t = 1.0f - r;
    EXPECT_NEAR(c.Px(45, 20)[3], 1.0f - (1.0f - t) * (1.0f - t), 2e-4);
}

TEST(Drag, CarriesThePressedPatchUnchangedAndTransparencyAsWell) {
    Canvas c(100, 50);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 100; ++x) {
            float* p = c.Px(x, y);
            p[0] = 0.01f * x, p[1] = 0.02f * y, p[2] = (x * 7 + y * 3) % 11 / 10.0f, p[3] = 1.0f;
        }
    c.ink->DropBackup();
    std::vector<float> before(c.ink->Pixels(), c.ink->Pixels() + 100 * 50 * 4);
    auto box = MakeProgramBox(c, scribbix::ToolBox::kDrag);
    box->size[0] = 15;
    box->softness[0] = 0;
    c.Line(*box, 20, 25, 60, 25);
    for (int dy = -5; dy <= 5; ++dy)
        for (int dx = -5; dx <= 5; ++dx) {
            if (dx * dx + dy * dy > 25) continue;
            const float* now = c.Px(60 + dx, 25 + dy);
            const float* was = &before[((25 + dy) * 100 + 20 + dx) * 4];
            for (int ch = 0; ch < 4; ++ch)
                EXPECT_FLOAT_EQ(now[ch], was[ch]) << dx << "," << dy;
        }
    // Pressed on a transparent hole, the drag carries the hole into the paint.
    for (int y = 10; y < 40; ++y)
        for (int x = 75; x < 95; ++x)
            c.Px(x, y)[3] = 0.0f, c.Px(x, y)[0] = c.Px(x, y)[1] = c.Px(x, y)[2] = 0.0f;
    c.ink->DropBackup();
    c.Line(*box, 85, 25, 55, 25);
    EXPECT_EQ(c.Px(55, 25)[3], 0.0f);
    EXPECT_EQ(c.Px(55, 25)[0], 0.0f);
}

TEST(Drag, AtFractionalPositionsTheCarriedPatchStaysAlignedWithThePointer) {
    // A linear ramp survives the shift into the tip's frame and back exactly (up to rounding), so
    // any misalignment of the pick-up shows as an offset of whole steps of the ramp.
    Canvas c(120, 60);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 120; ++x) {
            float* p = c.Px(x, y);
            p[0] = 0.01f * x, p[1] = 0.013f * y, p[2] = 0.5f, p[3] = 1.0f;
        }
    c.ink->DropBackup();
    auto box = MakeProgramBox(c, scribbix::ToolBox::kDrag);
    box->size[0] = 15;
    box->softness[0] = 0;
    box->subPixel = 1;
    c.Press(*box, 20.5f, 30.25f);
    for (int i = 1; i < 30; ++i)
        c.Move(*box, 20.5f + i, 30.25f);
    c.Release(*box, 50.5f, 30.25f);
    // The patch pressed around (20.5, 30.25) now lies around (50.5, 30.25): 30 pixels on.
    for (int dy = -4; dy <= 4; ++dy)
        for (int dx = -4; dx <= 4; ++dx) {
            const float* p = c.Px(50 + dx, 30 + dy);
            EXPECT_NEAR(p[0], 0.01f * (20 + dx), 2e-4f) << dx << "," << dy;
            EXPECT_NEAR(p[1], 0.013f * (30 + dy), 2e-4f) << dx << "," << dy;
            EXPECT_NEAR(p[3], 1.0f, 1e-5f);
        }
}

TEST(ProgramSmudge, SmearsPaintAlongTheStrokeFadingAsItGoes) {
    Canvas c(120, 40);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 50; ++x)
            c.Px(x, y)[0] = 1.0f, c.Px(x, y)[3] = 1.0f;
    c.ink->DropBackup();
    auto box = MakeProgramBox(c, scribbix::ToolBox::kSmudge);
    box->size[0] = 15;
    c.Line(*box, 40, 20, 100, 20);
    EXPECT_GT(c.Px(55, 20)[3], 0.3f); // paint pushed past its edge
    for (int x = 52; x < 100; ++x)
        EXPECT_GE(c.Px(x, 20)[3] + 1e-4f, c.Px(x + 1, 20)[3]) << x;
    EXPECT_LT(c.Px(100, 20)[3], c.Px(60, 20)[3] - 0.1f);
    EXPECT_EQ(c.Px(115, 20)[3], 0.0f);
    EXPECT_EQ(c.history->records, 1);
}
