// Popup help: the delay, restarting between elements, the at-once request, and placement.
#include "ui/PopupHelp.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using vek::ui::PopupHelp;
using vek::ui::Rect;

const int kA = 1, kB = 2;
const Rect kRect = Rect::Centred(0.0f, 0.0f, 0.1f, 0.05f);

TEST(PopupTimer, ShowsAfterOneAndAHalfSecondsOnTheSameElement) {
    PopupHelp p;
    for (int i = 0; i < 4; ++i) { // 0, 0.5, 1.0, 1.5 s
        p.Offer(&kA, 1, 0, "help", kRect);
        p.Frame(0.5);
        EXPECT_FALSE(p.Showing()) << i;
    }
    p.Offer(&kA, 1, 0, "help", kRect);
    p.Frame(0.5);
    EXPECT_TRUE(p.Showing());
    EXPECT_EQ(p.Help(), "help");
    p.Frame(0.5); // nothing under the pointer
    EXPECT_FALSE(p.Showing());
    EXPECT_EQ(p.Timer(), 0.0);
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

TEST(PopupTimer, MovingToAnotherElementWithinTheDelayRestartsIt) {
    PopupHelp p;
    p.Offer(&kA, 1, 0, "a", kRect);
    p.Frame(0.5);
    p.Offer(&kA, 1, 0, "a", kRect);
    p.Frame(0.5);
    p.Offer(&kA, 1, 0, "a", kRect);
    p.Frame(0.5); // 1.0 s on A
    p.Offer(&kB, 1, 0, "b", kRect);
    p.Frame(0.5);
    EXPECT_EQ(p.Timer(), 0.0);
    // The same element with another entry or part is another target.
    p.Offer(&kB, 2, 0, "b2", kRect);
    p.Frame(0.5);
    EXPECT_EQ(p.Timer(), 0.0);
    p.Offer(&kB, 2, 1, "b3", kRect);
    p.Frame(0.5);
    EXPECT_EQ(p.Timer(), 0.0);
}

TEST(PopupTimer, AtOnceRequestShowsImmediatelyUntilThePointerLeaves) {
    PopupHelp p;
    p.Offer(&kA, 1, 0, "now", kRect, false, true);
    p.Frame(0.02);
    EXPECT_TRUE(p.Showing());
    EXPECT_EQ(p.Timer(), PopupHelp::kAtOnce);
    p.Offer(&kA, 1, 0, "now", kRect);
    p.Frame(0.02);
    EXPECT_TRUE(p.Showing()); // still on the element
    p.Offer(&kB, 1, 0, "next", kRect);
    p.Frame(0.02);
    EXPECT_FALSE(p.Showing()); // the next element waits its delay
    p.SetAlwaysOn(true);
    p.Offer(&kA, 1, 0, "a", kRect);
    p.Frame(0.02);
    EXPECT_TRUE(p.Showing());
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
