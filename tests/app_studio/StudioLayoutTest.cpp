// The studio's screen: the six panel windows as one strip down the left edge, the picture window
// over the whole screen beneath them, the background window at the back, and the panels toggle.
#include "StudioScene.h"

#include "engine/picture/c_TesPic.h"
#include "platform/InputEvents.h"
#include "shell/ShellState.h"
#include "ui/cVek_Window_Panel.h"

namespace studio_test {
namespace {

using scribbix::Studio;

class StudioLayout : public StudioScene {
  protected:
    float InkAlphaAt(int px, int py) const {
        const c_TesLayer* l = portfolio->currentPicture->currentLayer;
        return l->Pixels()[(size_t(py) * size_t(l->width) + size_t(px)) * 4 + 3];
    }
};

TEST_F(StudioLayout, PanelStripRunsFromTheTopToMinus0165AbovePictureAboveBackground) {
    // Screen 1.6 wide: the strip's left edge is the screen's, -0.8, and it is 0.18 wide. Edges by
    // hand from the centres and heights: 0.5 | 0.43 | 0.31 | 0.135 | 0.0225 | -0.065 | -0.165.
    const float edges[7] = {0.5f, 0.43f, 0.31f, 0.135f, 0.0225f, -0.065f, -0.165f};
    cVek_Window_Panel* pic = studio->PictureWindow();
    ASSERT_NE(pic, nullptr);
    for (int i = 0; i < Studio::kSlots; ++i) {
        cVek_Window_Panel* w = studio->PanelWindow(i);
        ASSERT_NE(w, nullptr) << i;
        const vek::ui::Rect b = w->Bounds();
        EXPECT_NEAR(b.x0, -0.8f, 1e-5f) << i;
        EXPECT_NEAR(b.x1, -0.62f, 1e-5f) << i;
        EXPECT_NEAR(b.y1, edges[i], 1e-5f) << i;
        EXPECT_NEAR(b.y0, edges[i + 1], 1e-5f) << i;
        EXPECT_EQ(w->PanelCount(), 1) << i;
        EXPECT_GT(desktop->IndexOf(w), desktop->IndexOf(pic)) << i;
    }
    // The picture window's inside is the whole screen; the background is behind it, above the root.
    const vek::ui::Rect in = pic->Inner();
    EXPECT_NEAR(in.x0, -0.8f, 1e-5f);
    EXPECT_NEAR(in.x1, 0.8f, 1e-5f);
    EXPECT_NEAR(in.y0, -0.5f, 1e-5f);
    EXPECT_NEAR(in.y1, 0.5f, 1e-5f);
    const int bg = desktop->IndexOf(studio->BackgroundWindow());
    EXPECT_TRUE(bg > 0 && bg < desktop->IndexOf(pic)) << bg;
    // The drawing takes the screen's size and is shown at 1:1.
    EXPECT_EQ(editor->layout.displayWidth, kScreenW);
    EXPECT_EQ(editor->layout.displayHeight, kScreenH);
}

TEST_F(StudioLayout, OnlyNonPlainPressesOnThePictureToggleAllSixPanelsAndNoneDraws) {
    struct Press {
        const char* what;
        float x, y;
        uint8_t button;
        uint16_t keys;
        bool toggles;
    };
    const Press presses[] = {
        {"right on the picture", 0.3f, 0.1f, 2, 0, true},
        {"right again", 0.3f, 0.1f, 2, 0, true},
        {"shift+left", 0.2f, -0.2f, 1, vek::kModShift, true},
        {"middle", 0.2f, -0.2f, 3, 0, true},
        {"ctrl+left", 0.2f, -0.3f, 1, vek::kModCtrl, true},
        {"alt+left", 0.2f, -0.3f, 1, vek::kModAlt, true},
        {"right on a panel's own face", -0.797f, 0.2225f, 2, 0, false},
    };
    for (const Press& p : presses) {
        const int before = VisiblePanels();
        ASSERT_TRUE(before == 0 || before == 6) << p.what;
        Click(p.x, p.y, p.button, p.keys);
        EXPECT_EQ(VisiblePanels(), p.toggles ? 6 - before : before) << p.what;
        EXPECT_TRUE(studio->PictureWindow()->Visible()) << p.what;
    }
    Click(CellRect({Studio::kPenSizes, 2, 1, 3, 2}), 2); // right on a button
    EXPECT_EQ(VisiblePanels(), 6);
    EXPECT_EQ(UndoSteps(), 0); // none of them drew
    Stroke(0.0f, 0.0f, 0.2f, 0.05f);
    EXPECT_EQ(VisiblePanels(), 6);
    EXPECT_EQ(UndoSteps(), 1);
}

TEST_F(StudioLayout, WithThePanelsHiddenTheStripsPlaceIsDrawnOn) {
    // Desktop x -0.7 is pixel 100 on a 1000-pixel-high screen whose left edge is -0.8.
    Stroke(-0.75f, 0.0f, -0.65f, 0.0f);
    EXPECT_EQ(InkAlphaAt(100, 500), 0.0f); // the press landed on a panel, not the picture
    Click(0.3f, 0.3f, 2);
    ASSERT_EQ(VisiblePanels(), 0);
    Stroke(-0.75f, 0.0f, -0.65f, 0.0f);
    EXPECT_GT(InkAlphaAt(100, 500), 0.5f);
}

TEST_F(StudioLayout, NewScreenShapeOrAMovedPanelRebuildsOnceAndNothingWhileClosing) {
    cVek_Window_Panel* tools = studio->PanelWindow(Studio::kTools);
    tools->Place(0.1f, 0.1f);
    Frames(1);
    EXPECT_NEAR(tools->Bounds().x0, -0.8f, 1e-5f);
    EXPECT_NEAR(tools->CentreY(), 0.2225f, 1e-5f);

    const int before = studio->Rebuilds();
    vek::shell::CurrentScreen() = vek::shell::Screen{1000, 1000, 24};
    Frames(1);
    EXPECT_EQ(studio->Rebuilds(), before + 1);
    EXPECT_NEAR(studio->PanelWindow(0)->Bounds().x0, -0.5f, 1e-5f);
    EXPECT_NEAR(studio->PictureWindow()->Bounds().x1, 0.5f, 1e-5f);
    Frames(2);
    EXPECT_EQ(studio->Rebuilds(), before + 1); // nothing changed since

    desktop->Close();
    studio->RequestRebuild();
    studio->Frame(); // the windows may already be gone: this must not touch them
    EXPECT_EQ(studio->Rebuilds(), before + 1);
}

} // namespace
} // namespace studio_test
