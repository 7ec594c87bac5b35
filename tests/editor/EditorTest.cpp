// The editor without GL: only pending regions reach the display image, wrapped regions in all
// their pieces, the display image against the composite on the fused and the general path, rebuilds,
// allocation failure keeping the region pending, the selection outline, the centre written back, the settings
// bytes, and pointer events fed to a real tool box.
#include "editor/cTes_PicEditor.h"
#include "engine/picture/c_TesLayer_MonoComp_NoType.h"
#include "engine/picture/c_TesPic.h"
#include "engine/tools/cVek_ToolBox.h"
#include "shell/MemBlock.h"
#include "shell/ShellState.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

using tes::editor::ScreenRect;

namespace {

// A one-layer picture fitted whole on a screen of its own size (or the given one).
struct Scene {
    std::unique_ptr<c_TesPic> pic;
    c_TesLayer_Gfx* ink;
    cTes_PicEditor editor;

    Scene(int32_t w, int32_t h, int32_t sw, int32_t sh) : pic(std::make_unique<c_TesPic>(w, h)) {
        vek::shell::CurrentScreen() = vek::shell::Screen{sw, sh, 24};
        ink = pic->AddColourLayer();
        pic->display = &editor;
        pic->viewMode = 3;
        editor.fullScreenLayout = 1;
        editor.SetPicture(pic.get());
    }
    ~Scene() { pic->display = nullptr; }
    void Frame() {
        editor.RunFrame(ScreenRect{0, 0, vek::shell::ScreenWidth(), vek::shell::ScreenHeight()}, false, 0.02,
                        false);
    }
    void Paint(int32_t x, int32_t y, float r, float g, float b, float a) {
        float* p = ink->Pixels() + (static_cast<size_t>(y) * pic->width + x) * 4;
        p[0] = r, p[1] = g, p[2] = b, p[3] = a;
    }
    const uint8_t* Shown(int32_t x, int32_t y) const {
        return editor.displayImage.As<uint8_t>() +
               (static_cast<size_t>(y) * pic->width + x) * editor.displayChannels;
    }
};

} // namespace

TEST(Regions, OnlyThePendingRegionReachesTheDisplayImageAcrossTheCornerInAllFourPieces) {
    Scene s(64, 48, 64, 48);
    s.pic->repeatX = s.pic->repeatY = 1;
    s.Frame();
    ASSERT_FALSE(s.editor.displayImage.Empty());
    EXPECT_EQ(s.Shown(5, 5)[0], 255); // paper
    const int32_t xs[] = {62, 1}, ys[] = {46, 2};
    for (int32_t x : xs)
        for (int32_t y : ys)
            s.Paint(x, y, 1, 0, 0, 1);
    s.Paint(5, 5, 1, 0, 0, 1);          // outside the region
    s.pic->RegionChanged(60, 45, 8, 6); // 60..67 × 45..50, wrapping to 0..3 × 0..2
    s.Frame();
    for (int32_t x : xs)
        for (int32_t y : ys)
            EXPECT_TRUE(s.Shown(x, y)[0] == 255 && s.Shown(x, y)[1] == 0) << x << "," << y;
    EXPECT_EQ(s.Shown(5, 5)[1], 255) << "a pixel outside the region was recomposited";
    EXPECT_FALSE(s.editor.pictureRegion.valid);
}

TEST(Regions, TheDisplayImageIsTheCompositeEncodedOnTheFusedAndTheGeneralPath) {
    // Colours and alphas beyond 0..1 and zero alpha (NaNs too on one layer). One layer over paper
    // takes the fused pass, on both encoder paths; a Multiply layer at 60 % on top, with and without
    // paper, the general composite.
    uint32_t seed = 987654321u;
    auto fill = [&seed](c_TesLayer_Gfx* l, int n, bool nans) {
        auto next = [&seed] {
            seed = seed * 1664525u + 1013904223u;
            return float(seed >> 8) / 16777216.0f;
        };
        float* p = l->Pixels();
        for (int i = 0; i < n; ++i, p += 4) {
            for (int c = 0; c < 3; ++c)
                p[c] = next() * 1.6f - 0.3f;
            const float r = next();
            p[3] = r < 0.1f ? 0.0f : r < 0.15f ? -0.2f : r < 0.2f ? 1.25f : next();
            if (nans && i % 29 == 3) p[1] = std::nanf("");
            if (nans && i % 31 == 5) p[3] = std::nanf("");
        }
    };
    for (int run = 0; run < 4; ++run) {
        Scene s(61, 7, 100, 100);
        s.pic->paperColour[0] = 0.9f, s.pic->paperColour[1] = 0.35f, s.pic->paperColour[2] = 0.0625f;
        s.editor.encoder.AllowVectorPath(run != 0);
        fill(s.ink, 61 * 7, run < 2);
        if (run >= 2) {
            c_TesLayer_Gfx* top = s.pic->AddColourLayer(); // becomes current; the ink is compacted
            fill(top, 61 * 7, false);
            top->opacity = 60;
            top->blendOn = 1;
            top->blendMode = 3; // Multiply
        }
        s.pic->paperOn = run != 3;
        s.editor.RequestRebuild();
        s.Frame();
        const int ch = s.editor.displayChannels;
        ASSERT_EQ(ch, run == 3 ? 4 : 3);
        auto ref = s.pic->Composite(0, 0, 61, 7, false, -1);
        for (int i = 0; i < 61 * 7; ++i) {
            const uint8_t* got = s.editor.displayImage.As<uint8_t>() + i * ch;
            const float* want = ref->Pixels() + i * 4;
            for (int c = 0; c < 3; ++c)
                ASSERT_EQ(got[c], s.editor.encoder.Reference(want[c])) << "run " << run << " pixel " << i;
            if (ch == 4) { // alpha stays linear: a × 255 + 0.5
                ASSERT_EQ(got[3], want[3] <= 0 ? 0 : want[3] >= 1 ? 255 : int(want[3] * 255.0f + 0.5f)) << i;
            }
        }
    }
}

TEST(Regions, ANewSizeOrReleasedResourcesRebuildTheDisplayImageWhole) {
    Scene s(64, 48, 64, 48);
    s.Paint(20, 20, 0, 0, 1, 1);
    s.Frame();
    s.editor.ReleaseDisplayResources(); // deactivation
    EXPECT_TRUE(s.editor.displayImage.Empty());
    s.Paint(30, 30, 0, 1, 0, 1); // changed while away, never reported
    s.Frame();
    EXPECT_TRUE(s.Shown(20, 20)[2] == 255 && s.Shown(20, 20)[0] == 0);
    EXPECT_TRUE(s.Shown(30, 30)[1] == 255 && s.Shown(30, 30)[0] == 0);
    ASSERT_TRUE(s.pic->ScalePicture(32, 24));
    s.Frame();
    EXPECT_EQ(s.editor.displayImageWidth, 32);
    EXPECT_EQ(s.editor.displayImageHeight, 24);
}

TEST(Regions, ADisplayImageThatCannotBeAllocatedLeavesTheRegionPendingForTheNextFrame) {
    Scene s(64, 48, 64, 48);
    s.Paint(3, 3, 0, 0, 0, 1);
    vek::MemFailAfter(1);
    s.Frame();
    vek::MemFailAfter(0);
    EXPECT_TRUE(s.editor.displayImage.Empty());
    EXPECT_TRUE(s.editor.pictureRegion.valid);
    s.Frame();
    ASSERT_FALSE(s.editor.displayImage.Empty());
    EXPECT_EQ(s.Shown(3, 3)[0], 0);
}

TEST(Overlay, AVisibleSelectionIsOutlinedOnAllItsEdgesAndAHiddenOneDropsTheOverlay) {
    Scene s(16, 4, 16, 4);
    cTes_Layer_Selection* sel = s.pic->GetSelection();
    ASSERT_TRUE(sel);
    sel->Clear(); // nothing selected
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 4; x < 8; ++x)
            sel->Pixels()[y * 16 + x] = 0.0f; // columns 4..7 selected
    s.Frame();
    ASSERT_TRUE(s.editor.overlay);
    const uint8_t* o = s.editor.overlay->pixels.As<uint8_t>();
    // 1 | 0 edges, inside, the top row (the missing row above counts as not selected), outside.
    const int32_t at[] = {3, 4, 8, 16 + 5, 5, 12}, want[] = {255, 255, 255, 0, 255, 0};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(o[at[i]], want[i]) << at[i];
    // Selecting a pixel marks its neighbours on both axes once the picture reports the change.
    sel->Pixels()[2 * 16 + 12] = 0.0f;
    s.pic->RegionChanged(12, 2, 1, 1);
    s.Frame();
    for (int32_t i : {2 * 16 + 11, 2 * 16 + 13, 1 * 16 + 12, 3 * 16 + 12})
        EXPECT_EQ(o[i], 255) << i;
    EXPECT_EQ(o[0 * 16 + 12], 0);
    sel->Hide();
    s.Frame();
    EXPECT_FALSE(s.editor.overlay);
}

TEST(View, TheCentreIsWrittenBackOnceAndTheSourcesIntegerFitSwitchDecidesTheFit) {
    Scene s(300, 100, 100, 100);
    s.pic->viewMode = 0;
    s.pic->centreX = 10; // the view cannot start left of the picture
    s.Frame();
    EXPECT_EQ(s.pic->centreX, 50);
    EXPECT_EQ(s.pic->viewChanged, 1);
    s.pic->viewChanged = 0;
    s.Frame();
    EXPECT_EQ(s.pic->viewChanged, 0); // stable: nothing moves on the next frame
    // 300 × 100 on 1000 × 500 in fit whole: whole numbers give 3 (900 × 300), exact 1000 × 333.
    vek::shell::CurrentScreen() = vek::shell::Screen{1000, 500, 24};
    s.pic->viewMode = 3;
    uint8_t fit = 0;
    cTes_PicEditor::PictureSource source;
    source.current = [](void* p) { return static_cast<c_TesPic*>(p); };
    source.user = s.pic.get();
    source.integerFit = &fit;
    s.editor.SetPictureSource(source);
    s.Frame();
    EXPECT_EQ(s.editor.layout.displayWidth, 1000);
    fit = 1;
    s.Frame();
    EXPECT_EQ(s.editor.layout.displayWidth, 900);
}

TEST(View, SubPixelMappingIsUsedOnlyWhenItsFlagIsOnAndTheSettingsKeepIt) {
    Scene s(100, 50, 400, 200); // magnified by 4 at (0, 0)
    s.Frame();
    float x = 0, y = 0;
    EXPECT_TRUE(s.editor.ScreenToPictureSubPixel(10, 7, x, y));
    EXPECT_TRUE(x == 2.0f && y == 1.0f);
    const uint8_t bytes[2] = {1, 0}; // flag on, magnifier 0: no magnification would be none at all
    s.editor.SetStateBytes(bytes);
    EXPECT_EQ(s.editor.magnifier, 16);
    EXPECT_TRUE(s.editor.ScreenToPictureSubPixel(10, 7, x, y));
    EXPECT_TRUE(x == 2.5f && y == 1.75f);
    s.editor.magnifier = 0x108; // only the low byte is kept
    uint8_t kept[2];
    s.editor.GetStateBytes(kept);
    EXPECT_TRUE(kept[0] == 1 && kept[1] == 8);
}

// ---- pointer events through the editor into a tool box

namespace {

// 100 × 50 on 400 × 100: magnified by 2, shown 200 × 100 at (100, 0). A black pen of size 5.
struct Drawing : Scene {
    cVek_ToolBox box;
    double t = 10.0;

    Drawing() : Scene(100, 50, 400, 100) {
        EXPECT_TRUE(box.Initialize());
        box.SetPrimaryTool(1); // Pen
        box.size[0] = 5;
        box.softness[0] = 0;
        const float black[3] = {0, 0, 0};
        box.SetColour(cVek_ToolBox::kPaint, black, 1);
        editor.SetToolBox(&box);
        Frame();
    }
    void Event(uint8_t type, int32_t x, int32_t y, uint8_t button, uint16_t mods) {
        vek::PointerEvent e;
        e.time = (t += 0.008);
        e.x = static_cast<uint32_t>(x), e.y = static_cast<uint32_t>(y);
        e.button = button;
        e.modifiers = mods;
        e.type = type;
        editor.HandlePointer(e);
    }
    void Drag(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint8_t button = 1) {
        const uint16_t held = button == 1 ? vek::kModLeft : button == 2 ? vek::kModRight : vek::kModMiddle;
        Event(vek::kPointerPress, x0, y0, button, held);
        for (int i = 1; i <= 20; ++i)
            Event(vek::kPointerDrag, x0 + (x1 - x0) * i / 20, y0 + (y1 - y0) * i / 20, 0, held);
        Event(vek::kPointerRelease, x1, y1, button, 0);
    }
    float Alpha(int32_t x, int32_t y) const {
        return ink->Pixels()[(static_cast<size_t>(y) * pic->width + x) * 4 + 3];
    }
};

} // namespace

TEST(Pointer, APressBesideThePictureOrWithTheMiddleButtonStartsNoStroke) {
    Drawing d;
    ASSERT_EQ(d.editor.layout.screenX, 100);
    d.Drag(50, 50, 250, 50);     // starts left of the picture
    d.Drag(150, 20, 250, 20, 3); // middle button
    for (int32_t x = 0; x < 100; ++x)
        ASSERT_TRUE(d.Alpha(x, 25) == 0.0f && d.Alpha(x, 10) == 0.0f) << x;
}

TEST(Pointer, AStrokeContinuesPastTheEdgeWhileCapturedAndALostReleaseDoesNotBlockTheNext) {
    Drawing d;
    d.Drag(200, 50, 20, 50); // from picture (50, 25) to far left of the picture
    EXPECT_GT(d.Alpha(0, 25), 0.5f);
    EXPECT_FALSE(d.editor.DragCaptured());
    d.Event(vek::kPointerPress, 150, 20, 1, vek::kModLeft);
    d.Event(vek::kPointerDrag, 170, 20, 0, vek::kModLeft);
    // The release went elsewhere (focus change); the next press arrives with no button held.
    d.Drag(150, 80, 250, 80);
    EXPECT_GT(d.Alpha(40, 40), 0.5f);
}
