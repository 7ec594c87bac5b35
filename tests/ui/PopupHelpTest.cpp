// Popup help: the delay, restarting between elements, the at-once request, and placement.
#include "ui/PopupHelp.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using vek::ui::PopupHelp;
using vek::ui::Rect;

const int kA = 1, kB = 2;
const Rect kRect = Rect::Centred(0.0f, 0.0f, 0.1f, 0.05f);

// The pointer's path, one frame per step: the element offered (none: null) with its entry and part,
// whether it asks for its help at once, and what must follow the frame.
TEST(PopupTimer, ShowsAfterTheDelayRestartsOnAnotherTargetAndAtOnceStaysWhileOnTheElement) {
    const struct {
        const int* element;
        int entry, part;
        bool atOnce;
        double dt;
        bool showing;
        double timer; // -1: any
    } steps[] = {
        {&kA, 1, 0, false, 0.5, false, -1}, // 0, 0.5, 1.0, 1.5 s: not yet
        {&kA, 1, 0, false, 0.5, false, -1},
        {&kA, 1, 0, false, 0.5, false, -1},
        {&kA, 1, 0, false, 0.5, false, -1},
        {&kA, 1, 0, false, 0.5, true, -1},       // past 1.5 s
        {nullptr, 0, 0, false, 0.5, false, 0.0}, // nothing under the pointer
        {&kA, 1, 0, false, 0.5, false, -1},      // 1.0 s on A ...
        {&kA, 1, 0, false, 0.5, false, -1},
        {&kA, 1, 0, false, 0.5, false, -1},
        {&kB, 1, 0, false, 0.5, false, 0.0}, // ... then B restarts the delay,
        {&kB, 2, 0, false, 0.5, false, 0.0}, // and so do another entry
        {&kB, 2, 1, false, 0.5, false, 0.0}, // and another part of it
        {&kA, 1, 0, true, 0.02, true, PopupHelp::kAtOnce},
        {&kA, 1, 0, false, 0.02, true, -1},  // still on the element
        {&kB, 1, 0, false, 0.02, false, -1}, // the next element waits its delay
    };
    PopupHelp p;
    for (size_t i = 0; i < sizeof steps / sizeof steps[0]; ++i) {
        const auto& s = steps[i];
        if (s.element) p.Offer(s.element, s.entry, s.part, "help", kRect, false, s.atOnce);
        p.Frame(s.dt);
        EXPECT_EQ(s.showing, p.Showing()) << "step " << i;
        EXPECT_EQ(s.timer < 0 ? p.Timer() : s.timer, p.Timer()) << "step " << i;
        EXPECT_EQ(s.showing ? std::string("help") : p.Help(), p.Help()) << "step " << i;
    }
    p.SetAlwaysOn(true);
    p.Offer(&kA, 1, 0, "a", kRect);
    p.Frame(0.02);
    EXPECT_TRUE(p.Showing());
}

// A menu may rebuild its entries between the offer and the frame (a choice refreshes it): the
// offered text must not be read from the caller's memory afterwards.
TEST(PopupTimer, OfferedHelpIsKeptWhenTheCallersTextChangesBeforeTheFrame) {
    PopupHelp p;
    std::string help = "Make this\rwindow smaller.";
    p.Offer(&kA, 1, 0, help, kRect);
    help.assign(help.size(), 'x');
    p.Frame(0.5);
    EXPECT_EQ(p.Help(), "Make this\rwindow smaller.");
}

TEST(PopupPlacement, CentredBelowANarrowBlock) {
    const Rect e = Rect::Centred(-0.5f, 0.2f, 0.1f, 0.05f);
    const PopupHelp::Placement p = PopupHelp::Place(e, 0.05f, 0.03f, 0.02f, 1.6f);
    // Box 0.05 + 1.1 x 0.02 wide and 0.03 + 1.2 x 0.02 tall, half a text height below.
    EXPECT_NEAR(p.box.CentreX(), -0.5f, 1e-6);
    EXPECT_NEAR(p.box.Width(), 0.072f, 1e-6);
    EXPECT_NEAR(p.box.Height(), 0.054f, 1e-6);
    EXPECT_NEAR(p.box.y1, 0.165f, 1e-6);
    EXPECT_FALSE(p.above);
}

TEST(PopupPlacement, WideBlockShiftsTowardTheScreenCentre) {
    const float w = 0.2f; // wider than 0.75 x 0.1
    PopupHelp::Placement p = PopupHelp::Place(Rect::Centred(-0.5f, 0.2f, 0.1f, 0.05f), w, 0.03f, 0.02f, 1.6f);
    EXPECT_NEAR(p.box.CentreX(), -0.46f, 1e-6);
    p = PopupHelp::Place(Rect::Centred(0.5f, 0.2f, 0.1f, 0.05f), w, 0.03f, 0.02f, 1.6f);
    EXPECT_NEAR(p.box.CentreX(), 0.46f, 1e-6);
    // At the screen's left edge the box is also kept inside the screen.
    p = PopupHelp::Place(Rect::Centred(-0.75f, 0.2f, 0.1f, 0.05f), w, 0.03f, 0.02f, 1.6f);
    EXPECT_NEAR(p.box.x0, -0.8f, 1e-6);
}

TEST(PopupPlacement, FlipsAboveNearTheBottom) {
    const Rect e = Rect::Centred(0.0f, -0.45f, 0.1f, 0.05f);
    const PopupHelp::Placement p = PopupHelp::Place(e, 0.05f, 0.03f, 0.02f, 1.6f);
    EXPECT_TRUE(p.above);
    EXPECT_NEAR(p.box.y0, -0.415f, 1e-6);
    EXPECT_NEAR(p.arrowY, e.y1, 1e-6);
}

} // namespace
