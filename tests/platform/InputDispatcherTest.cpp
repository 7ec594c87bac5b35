// The input dispatcher's six entries and mode rules.
#include "platform/InputDispatcher.h"

#include <gtest/gtest.h>

#include <vector>

using namespace vek;

namespace {

std::vector<std::pair<int, PointerEvent>> g_calls; // (entry that was called, event it saw)
void Entry1(const PointerEvent& e) { g_calls.push_back({1, e}); }
void Entry2(const PointerEvent& e) { g_calls.push_back({2, e}); }
void Entry3(const PointerEvent& e) { g_calls.push_back({3, e}); }
void Entry4(const PointerEvent& e) { g_calls.push_back({4, e}); }
void Entry5(const PointerEvent& e) { g_calls.push_back({5, e}); }
void Entry6(const PointerEvent& e) { g_calls.push_back({6, e}); }
std::vector<KeyEvent> g_keys;
void OnKey(const KeyEvent& e) { g_keys.push_back(e); }

PointerEvent Event(uint8_t type, uint16_t modifiers = 0) {
    PointerEvent e;
    e.type = type;
    e.modifiers = modifiers;
    e.x = 17;
    return e;
}

class Dispatcher : public ::testing::Test {
protected:
    InputDispatcher d;
    void SetUp() override {
        g_calls.clear();
        g_keys.clear();
        const PointerHandler h[6] = {Entry1, Entry2, Entry3, Entry4, Entry5, Entry6};
        for (uint8_t t = 1; t <= 6; ++t) d.Install(t, h[t - 1], 1);
    }
};

} // namespace

TEST_F(Dispatcher, MoveWithAButtonHeldArrivesAsDragAtTheDragEntry) {
    EXPECT_TRUE(d.Dispatch(Event(kPointerMove, kModLeft)));
    EXPECT_TRUE(d.Dispatch(Event(kPointerMove, kModShift)));
    EXPECT_TRUE(d.Dispatch(Event(kPointerMove, kModExtra2 | kModCtrl)));
    ASSERT_EQ(3u, g_calls.size());
    EXPECT_EQ(4, g_calls[0].first);
    EXPECT_EQ(kPointerDrag, g_calls[0].second.type);
    EXPECT_EQ(17u, g_calls[0].second.x);
    EXPECT_EQ(3, g_calls[1].first); // Shift alone is no button
    EXPECT_EQ(kPointerMove, g_calls[1].second.type);
    EXPECT_EQ(4, g_calls[2].first);
}

TEST_F(Dispatcher, DragTakesTheDragEntrysModeNotTheMoveEntrys) {
    d.SetMode(kPointerDrag, 0);
    d.SetMode(kPointerMove, 2);
    EXPECT_FALSE(d.Dispatch(Event(kPointerMove, kModRight)));
    EXPECT_TRUE(g_calls.empty());
}

TEST_F(Dispatcher, PressAndMoveNeedModeOneToThreeReleaseAlwaysCalls) {
    for (uint8_t mode : {0, 1, 2, 3, 4, 9}) {
        g_calls.clear();
        for (uint8_t t = 1; t <= 6; ++t) d.SetMode(t, mode);
        d.Dispatch(Event(kPointerPress, kModLeft));
        d.Dispatch(Event(kPointerRelease));
        d.Dispatch(Event(kPointerMove));
        const bool on = mode >= 1 && mode <= 3;
        std::vector<int> expected;
        if (on) expected.push_back(1);
        expected.push_back(2);
        if (on) expected.push_back(3);
        std::vector<int> got;
        for (auto& c : g_calls) got.push_back(c.first);
        EXPECT_EQ(expected, got) << "mode " << int(mode);
    }
}

TEST_F(Dispatcher, ArrivingDragFiveAndWheelNeedOnlyANonZeroMode) {
    for (uint8_t t : {4, 5, 6}) d.SetMode(t, 7);
    d.Dispatch(Event(kPointerDrag, kModLeft));
    d.Dispatch(Event(5));
    d.Dispatch(Event(kPointerWheel));
    ASSERT_EQ(3u, g_calls.size());
    EXPECT_EQ(4, g_calls[0].first);
    EXPECT_EQ(5, g_calls[1].first);
    EXPECT_EQ(6, g_calls[2].first);
    g_calls.clear();
    d.SetMode(kPointerWheel, 0);
    EXPECT_FALSE(d.Dispatch(Event(kPointerWheel)));
    EXPECT_TRUE(g_calls.empty());
}

// Types outside 1-6 have no entry (not even after installing one), an empty entry or key handler
// calls nothing.
TEST_F(Dispatcher, TypesOutsideOneToSixAndEmptyEntriesCallNothing) {
    d.Install(7, Entry1, 1);
    for (uint8_t type : {7, 0, 255})
        EXPECT_FALSE(d.Dispatch(Event(type))) << int(type);
    EXPECT_TRUE(g_calls.empty());
    d.Clear();
    EXPECT_FALSE(d.Dispatch(Event(kPointerRelease)));
    KeyEvent k;
    k.keyCode = 67;
    EXPECT_FALSE(d.DispatchKey(k));
    d.SetKeyHandler(OnKey);
    EXPECT_TRUE(d.DispatchKey(k));
    ASSERT_EQ(1u, g_keys.size());
    EXPECT_EQ(67, g_keys[0].keyCode);
}
