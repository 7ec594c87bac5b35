// SDL events to pointer and key records, built from hand-made SDL events without a window.
#include "platform/EventTranslator.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace vek;
using vek::platform::EventTranslator;

namespace {

struct Recording : EventTranslator::Sink {
    std::vector<PointerEvent> pointers;
    std::vector<KeyEvent> keys;
    std::vector<int> activations;
    int paints = 0, closes = 0;
    std::vector<char> order; // 'p' pointer, 'k' key
    void Pointer(const PointerEvent& e) override { pointers.push_back(e), order.push_back('p'); }
    void Key(const KeyEvent& e) override { keys.push_back(e), order.push_back('k'); }
    void Activate(bool g) override { activations.push_back(g); }
    void Paint() override { ++paints; }
    void Close() override { ++closes; }
};

SDL_Event Ev(uint32_t type) {
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.type = type;
    return e;
}
SDL_Event Button(bool down, uint8_t button, int x, int y) {
    SDL_Event e = Ev(down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP);
    e.button.button = button, e.button.x = x, e.button.y = y;
    return e;
}
SDL_Event Motion(uint32_t state, int x, int y) {
    SDL_Event e = Ev(SDL_MOUSEMOTION);
    e.motion.state = state, e.motion.x = x, e.motion.y = y;
    return e;
}
SDL_Event Wheel(float notches, int x, int y, bool flipped = false) {
    SDL_Event e = Ev(SDL_MOUSEWHEEL);
    e.wheel.preciseY = notches, e.wheel.y = static_cast<Sint32>(notches);
    e.wheel.direction = flipped ? SDL_MOUSEWHEEL_FLIPPED : SDL_MOUSEWHEEL_NORMAL;
    e.wheel.mouseX = x, e.wheel.mouseY = y;
    return e;
}
SDL_Event Key(SDL_Keycode key, uint16_t mods) {
    SDL_Event e = Ev(SDL_KEYDOWN);
    e.key.keysym.sym = key, e.key.keysym.mod = mods;
    return e;
}
SDL_Event Text(const char* utf8) {
    SDL_Event e = Ev(SDL_TEXTINPUT);
    std::strncpy(e.text.text, utf8, sizeof e.text.text - 1);
    return e;
}
SDL_Event Window(uint8_t what) {
    SDL_Event e = Ev(SDL_WINDOWEVENT);
    e.window.event = what;
    return e;
}

class Translator : public ::testing::Test {
  protected:
    EventTranslator t;
    Recording r;
    void SetUp() override {
        t.SetClientSize(1280, 800);
        t.Reset(KMOD_NONE);
    }
    void Feed(const SDL_Event& e, double time = 1.5) { t.Translate(e, time, r); }
};

} // namespace

// A notch of 120 is -4; partial deltas truncate toward zero.
TEST_F(Translator, WheelNotchAwayFromTheUserIsMinusFourAtThePointer) {
    const int values[][2] = {{120, -4}, {-120, 4}, {29, 0}, {-29, 0}, {30, -1}, {-59, 1}, {240, -8}};
    for (const auto& v : values)
        EXPECT_EQ(v[1], EventTranslator::WheelValue(v[0])) << v[0];
    Feed(Wheel(1.0f, 300, 200));
    Feed(Wheel(-1.0f, 300, 200));
    Feed(Wheel(29.0f / 120.0f, 300, 200));
    Feed(Wheel(1.0f, 300, 200, true)); // "natural" scrolling reports the other sign
    std::vector<int> wheels;
    for (const PointerEvent& p : r.pointers)
        wheels.push_back(p.wheel);
    EXPECT_EQ((std::vector<int>{-4, 4, 0, 4}), wheels);
    const PointerEvent& p = r.pointers[0];
    EXPECT_EQ(kPointerWheel, p.type);
    EXPECT_EQ(0, p.button);
    EXPECT_EQ(300u, p.x);
    EXPECT_EQ(200u, p.y);
    EXPECT_DOUBLE_EQ(1.5, p.time);
}

TEST_F(Translator, WheelOutsideTheClientAreaIsDropped) {
    Feed(Wheel(1.0f, 1280, 10));
    Feed(Wheel(1.0f, 10, 800));
    Feed(Wheel(1.0f, -1, 10));
    EXPECT_TRUE(r.pointers.empty());
    Feed(Wheel(1.0f, 1279, 799));
    EXPECT_EQ(1u, r.pointers.size());
}

TEST_F(Translator, RightPressSendsPointerPressWithButtonTwoThenKeyCode68) {
    Feed(Key(SDLK_LSHIFT, KMOD_LSHIFT));
    Feed(Button(true, SDL_BUTTON_RIGHT, 10, 20), 2.25);
    ASSERT_EQ(1u, r.pointers.size());
    ASSERT_EQ(1u, r.keys.size());
    EXPECT_EQ((std::vector<char>{'p', 'k'}), r.order);
    const PointerEvent& p = r.pointers[0];
    EXPECT_EQ(kPointerPress, p.type);
    EXPECT_EQ(2, p.button);
    EXPECT_EQ(kModShift | kModRight, p.modifiers);
    EXPECT_EQ(10u, p.x);
    EXPECT_EQ(20u, p.y);
    EXPECT_EQ(68, r.keys[0].keyCode);
    EXPECT_EQ(0, r.keys[0].character);
    EXPECT_EQ(kModShift, r.keys[0].modifiers); // key events carry only Alt, Ctrl, Shift
    EXPECT_DOUBLE_EQ(2.25, r.keys[0].time);
}

TEST_F(Translator, ButtonNumbersAndHeldBitsFollowThePointerConvention) {
    Feed(Button(true, SDL_BUTTON_MIDDLE, 0, 0));
    Feed(Button(true, SDL_BUTTON_X2, 0, 0));
    Feed(Button(false, SDL_BUTTON_MIDDLE, 0, 0));
    ASSERT_EQ(3u, r.pointers.size());
    EXPECT_EQ(3, r.pointers[0].button);
    EXPECT_EQ(kModMiddle, r.pointers[0].modifiers);
    EXPECT_EQ(5, r.pointers[1].button);
    EXPECT_EQ(kModMiddle | kModExtra2, r.pointers[1].modifiers);
    EXPECT_EQ(kPointerRelease, r.pointers[2].type);
    EXPECT_EQ(kModExtra2, r.pointers[2].modifiers); // the released button no longer counts
    EXPECT_EQ(69, r.keys[0].keyCode);
    EXPECT_EQ(71, r.keys[1].keyCode);
    EXPECT_EQ(2u, r.keys.size()); // releases send no key
}

TEST_F(Translator, MoveCarriesHeldButtonsAndKeyModifiers) {
    Feed(Key(SDLK_LCTRL, KMOD_LCTRL));
    Feed(Motion(SDL_BUTTON_LMASK, 5, 6));
    Feed(Motion(0, 7, 8));
    ASSERT_EQ(2u, r.pointers.size());
    EXPECT_EQ(kPointerMove, r.pointers[0].type);
    EXPECT_EQ(kModCtrl | kModLeft, r.pointers[0].modifiers);
    EXPECT_EQ(kModCtrl, r.pointers[1].modifiers);
}

// Each character of a text event is one key event in the font encoding; the euro is not in the font.
TEST_F(Translator, TypedAccentedLettersArriveInTheFontEncodingOneEventPerCharacter) {
    Feed(Text("\xC3\xA9"));     // é
    Feed(Text("\xC2\xA4"));     // currency sign
    Feed(Text("\xE2\x82\xAC")); // euro
    Feed(Text("a\xC3\xBC"));    // a ü
    std::vector<std::pair<int, int>> got;
    for (const KeyEvent& k : r.keys)
        got.push_back({k.character, k.keyCode});
    EXPECT_EQ((std::vector<std::pair<int, int>>{{0x8E, 0}, {0xDB, 0}, {'a', 0}, {0x9F, 0}}), got);
}

TEST_F(Translator, CtrlLettersArePlainLettersPlainLettersWaitForTheirTextAndNothingIsDoubled) {
    Feed(Key(SDLK_a, KMOD_NONE));
    EXPECT_TRUE(r.keys.empty());
    Feed(Text("a"));
    Feed(Key(SDLK_z, KMOD_LCTRL));
    Feed(Key(SDLK_z, KMOD_LCTRL | KMOD_LSHIFT));
    Feed(Key(SDLK_1, KMOD_LCTRL));
    Feed(Text("1")); // some layouts still send the digit as text with Ctrl held
    ASSERT_EQ(4u, r.keys.size());
    const int expected[4][2] = {{'a', 0}, {'z', kModCtrl}, {'Z', kModCtrl | kModShift}, {'1', kModCtrl}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(expected[i][0], r.keys[i].character) << i;
        EXPECT_EQ(expected[i][1], r.keys[i].modifiers) << i;
        EXPECT_EQ(0, r.keys[i].keyCode) << i;
    }
}

// Enter, Backspace, Escape and a pad digit carry both code and character in one event; a later 7
// typed on the main keys still arrives.
TEST_F(Translator, ControlKeysAndPadDigitsAreOneEventWithCodeAndCharacter) {
    Feed(Key(SDLK_RETURN, KMOD_NONE));
    Feed(Key(SDLK_BACKSPACE, KMOD_NONE));
    Feed(Key(SDLK_ESCAPE, KMOD_NONE));
    Feed(Key(SDLK_KP_7, KMOD_NUM));
    Feed(Text("7"));
    Feed(Text("7"));
    std::vector<std::pair<int, int>> got;
    for (const KeyEvent& k : r.keys)
        got.push_back({k.keyCode, k.character});
    EXPECT_EQ((std::vector<std::pair<int, int>>{{37, 13}, {36, 8}, {1, 27}, {45, '7'}, {0, '7'}}), got);
}

// Without Num Lock the pad moves the caret like the arrow block.
TEST(KeyCodeTable, NonCharacterKeys) {
    const struct {
        SDL_Keycode key;
        uint16_t mods, code;
    } keys[] = {
        {SDLK_ESCAPE, 0, 1},       {SDLK_F1, 0, 2},
        {SDLK_F12, 0, 13},         {SDLK_F13, 0, 14},
        {SDLK_F24, 0, 25},         {SDLK_UP, 0, 26},
        {SDLK_RIGHT, 0, 29},       {SDLK_PAGEDOWN, 0, 31},
        {SDLK_END, 0, 33},         {SDLK_DELETE, 0, 35},
        {SDLK_KP_ENTER, 0, 37},    {SDLK_KP_0, KMOD_NUM, 38},
        {SDLK_KP_9, KMOD_NUM, 47}, {SDLK_KP_PLUS, 0, 54},
        {SDLK_KP_DIVIDE, 0, 57},   {SDLK_KP_PERIOD, KMOD_NUM, 59},
        {SDLK_PAUSE, 0, 61},       {SDLK_a, 0, 0},
        {SDLK_SPACE, 0, 0},        {SDLK_TAB, 0, 0},
        {SDLK_KP_0, 0, 34},        {SDLK_KP_8, 0, 26},
        {SDLK_KP_5, 0, 0},         {SDLK_KP_PERIOD, 0, 35},
    };
    for (const auto& k : keys)
        EXPECT_EQ(k.code, EventTranslator::KeyCode(k.key, k.mods)) << SDL_GetKeyName(k.key) << " " << k.mods;
}

TEST_F(Translator, WindowEventsBecomeActivationPaintAndClose) {
    Feed(Window(SDL_WINDOWEVENT_FOCUS_LOST));
    Feed(Window(SDL_WINDOWEVENT_FOCUS_GAINED));
    Feed(Window(SDL_WINDOWEVENT_EXPOSED));
    Feed(Window(SDL_WINDOWEVENT_RESTORED));
    Feed(Window(SDL_WINDOWEVENT_CLOSE));
    EXPECT_EQ((std::vector<int>{0, 1}), r.activations);
    EXPECT_EQ(2, r.paints);
    EXPECT_EQ(1, r.closes);
}
