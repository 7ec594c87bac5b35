// Menu lists as data: capacity, group scanning, check boxes with and without data, choosing.
#include "ui/MenuList.h"

#include <gtest/gtest.h>

namespace {

using vek::ui::MenuChoice;
using vek::ui::MenuList;

int g_calls = 0;
int g_lastValue = 0;
void CountCall(const MenuChoice& c) {
    ++g_calls;
    g_lastValue = c.value;
}

TEST(MenuListBuild, AddingBeyondCapacityOverwritesTheLastEntry) {
    MenuList list("T", 3);
    list.AddAction("a", "", nullptr);
    list.AddAction("b", "", nullptr);
    list.AddAction("c", "", nullptr);
    EXPECT_EQ(list.AddAction("d", "", nullptr), 2);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.At(2).label, "d");
    EXPECT_EQ(list.At(1).label, "b");
}

TEST(MenuListBuild, GroupScanningSetsStatesOnlyInsideTheGroup) {
    MenuList list;
    list.AddAction("a", "", nullptr, nullptr, 0, 1);
    list.AddSeparator();
    list.AddAction("b", "", nullptr, nullptr, 0, 2);
    list.AddAction("c", "", nullptr, nullptr, 0, 1);
    ASSERT_EQ(list.FindGroup(1), 0);
    list.SetHidden(true);
    ASSERT_EQ(list.NextInGroup(), 3);
    list.SetEnabled(false);
    EXPECT_EQ(list.NextInGroup(), -1);
    EXPECT_EQ(list.Cursor(), 3); // the end of the group leaves the cursor where it was
    EXPECT_EQ(list.FindGroup(7), -1);
    EXPECT_TRUE(list.At(0).hidden);
    EXPECT_FALSE(list.At(3).enabled);
    EXPECT_FALSE(list.At(2).hidden);
    EXPECT_TRUE(list.At(2).enabled);
}

// Without data a box keeps its stored state; with its own callback the callback replaces the toggle.
TEST(MenuListCheckBox, DefaultToggleFlipsThirtyTwoAndEightBitFlagsOnlyWithDataAndNoOwnCallback) {
    int32_t wide = 0x100; // only bit 0 flips: other bits stay
    uint8_t narrow = 1;
    MenuList list;
    list.AddCheckBox("w", "", nullptr, &wide, -1);
    list.AddCheckBox("n", "", nullptr, &narrow, 1);
    EXPECT_TRUE(list.At(0).checked);
    list.Choose(0, MenuChoice{});
    list.Choose(1, MenuChoice{});
    EXPECT_EQ(wide, 0x101);
    EXPECT_EQ(narrow, 0);
    EXPECT_FALSE(list.At(1).checked);
    // The program changes the flags behind the menu's back; refresh shows them.
    wide = 0;
    narrow = 7;
    list.RefreshCheckBoxes();
    EXPECT_FALSE(list.At(0).checked);
    EXPECT_TRUE(list.At(1).checked);

    int32_t flag = 0;
    list.AddCheckBox("x", "", nullptr, nullptr, -1);
    list.SetChecked(true);
    list.AddCheckBox("y", "", CountCall, &flag, -1);
    list.RefreshCheckBoxes();
    g_calls = 0;
    list.Choose(2, MenuChoice{});
    list.Choose(3, MenuChoice{});
    EXPECT_TRUE(list.At(2).checked);
    EXPECT_EQ(g_calls, 1);
    EXPECT_EQ(flag, 0);
}

TEST(MenuListChoose, DisabledHiddenAndSeparatorEntriesDoNothing) {
    MenuList list;
    list.AddAction("a", "", CountCall, nullptr, 0, 0, 5);
    list.SetEnabled(false);
    list.AddAction("b", "", CountCall);
    list.SetHidden(true);
    list.AddSeparator();
    list.AddSubMenu("s", "", CountCall, 42);
    g_calls = 0;
    for (int i = 0; i < 3; ++i)
        list.Choose(i, MenuChoice{});
    list.Choose(99, MenuChoice{});
    EXPECT_EQ(g_calls, 0);
    list.Choose(3, MenuChoice{});
    EXPECT_EQ(g_calls, 1);
    EXPECT_EQ(g_lastValue, 42); // a sub-menu builder gets its value
}

} // namespace
