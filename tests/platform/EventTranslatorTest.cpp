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

SDL_Event Button(bool down, uint8_t button, int x, int y) {
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    e.button.button = button;
    e.button.x = x;
    e.button.y = y;
    return e;
}

SDL_Event Motion(uint32_t state, int x, int y) {
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.type = SDL_MOUSEMOTION;
    e.motion.state = state;
    e.motion.x = x;
    e.motion.y = y;
    return e;
}

SDL_Event Wheel(float notches, int x, int y, bool flipped = false) {
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.type = SDL_MOUSEWHEEL;
    e.wheel.preciseY = notches;
    e.wheel.y = static_cast<Sint32>(notches);
    e.wheel.direction = flipped ? SDL_MOUSEWHEEL_FLIPPED : SDL_MOUSEWHEEL_NORMAL;
    e.wheel.mouseX = x;
    e.wheel.mouseY = y;
    return e;
}

SDL_Event Key(SDL_Keycode key, uint16_t mods, bool down = true) {
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.keysym.sym = key;
    e.key.keysym.mod = mods;
    return e;
}

SDL_Event Text(const char* utf8) {
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.type = SDL_TEXTINPUT;
    std::strncpy(e.text.text, utf8, sizeof e.text.text - 1);
    return e;
}

SDL_Event Window(uint8_t what) {
    SDL_Event e;
    std::memset(&e, 0, sizeof e);
    e.type = SDL_WINDOWEVENT;
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

TEST(WheelValue, NotchOf120GivesMinusFourAndPartialDeltasTruncateTowardZero) {
    EXPECT_EQ(-4, EventTranslator::WheelValue(120));
    EXPECT_EQ(4, EventTranslator::WheelValue(-120));
    EXPECT_EQ(0, EventTranslator::WheelValue(29));
    EXPECT_EQ(0, EventTranslator::WheelValue(-29));
    EXPECT_EQ(-1, EventTranslator::WheelValue(30));
    EXPECT_EQ(1, EventTranslator::WheelValue(-59));
    EXPECT_EQ(-8, EventTranslator::WheelValue(240));
}

TEST_F(Translator, WheelNotchAwayFromTheUserIsMinusFourAtThePointer) {
    Feed(Wheel(1.0f, 300, 200));
    Feed(Wheel(-1.0f, 300, 200));
    Feed(Wheel(29.0f / 120.0f, 300, 200)); // a partial delta of +29
    Feed(Wheel(1.0f, 300, 200, true));     // "natural" scrolling reports the other sign
    ASSERT_EQ(4u, r.pointers.size());
    EXPECT_EQ(-4, r.pointers[0].wheel);
    EXPECT_EQ(4, r.pointers[1].wheel);
    EXPECT_EQ(0, r.pointers[2].wheel);
    EXPECT_EQ(4, r.pointers[3].wheel);
    EXPECT_EQ(kPointerWheel, r.pointers[0].type);
    EXPECT_EQ(0, r.pointers[0].button);
    EXPECT_EQ(300u, r.pointers[0].x);
    EXPECT_EQ(200u, r.pointers[0].y);
    EXPECT_DOUBLE_EQ(1.5, r.pointers[0].time);
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

TEST_F(Translator, TypedAccentedLettersArriveInTheFontEncoding) {
    Feed(Text("\xC3\xA9"));     // é
    Feed(Text("\xC2\xA4"));     // currency sign
    Feed(Text("\xE2\x82\xAC")); // euro: not in the font
    ASSERT_EQ(2u, r.keys.size());
    EXPECT_EQ(0x8E, r.keys[0].character);
    EXPECT_EQ(0xDB, r.keys[1].character);
    EXPECT_EQ(0, r.keys[0].keyCode);
}

TEST_F(Translator, TwoCharactersOfOneTextEventGiveTwoKeyEvents) {
    Feed(Text("a\xC3\xBC"));
    ASSERT_EQ(2u, r.keys.size());
    EXPECT_EQ('a', r.keys[0].character);
    EXPECT_EQ(0x9F, r.keys[1].character); // ü
}

TEST_F(Translator, CtrlLettersArePlainLettersAndTextInputIsNotDoubled) {
    Feed(Key(SDLK_z, KMOD_LCTRL));
    Feed(Key(SDLK_z, KMOD_LCTRL | KMOD_LSHIFT));
    Feed(Key(SDLK_1, KMOD_LCTRL));
    Feed(Text("1")); // some layouts still send the digit as text with Ctrl held
    ASSERT_EQ(3u, r.keys.size());
    EXPECT_EQ('z', r.keys[0].character);
    EXPECT_EQ(kModCtrl, r.keys[0].modifiers);
    EXPECT_EQ(0, r.keys[0].keyCode);
    EXPECT_EQ('Z', r.keys[1].character);
    EXPECT_EQ(kModCtrl | kModShift, r.keys[1].modifiers);
    EXPECT_EQ('1', r.keys[2].character);
}

TEST_F(Translator, PlainLetterKeysWaitForTheirTextInput) {
    Feed(Key(SDLK_a, KMOD_NONE));
    EXPECT_TRUE(r.keys.empty());
    Feed(Text("a"));
    ASSERT_EQ(1u, r.keys.size());
    EXPECT_EQ('a', r.keys[0].character);
}

TEST_F(Translator, EnterBackspaceAndEscapeCarryCodeAndControlCharacter) {
    Feed(Key(SDLK_RETURN, KMOD_NONE));
    Feed(Key(SDLK_BACKSPACE, KMOD_NONE));
    Feed(Key(SDLK_ESCAPE, KMOD_NONE));
    ASSERT_EQ(3u, r.keys.size());
    EXPECT_EQ(37, r.keys[0].keyCode);
    EXPECT_EQ(13, r.keys[0].character);
    EXPECT_EQ(36, r.keys[1].keyCode);
    EXPECT_EQ(8, r.keys[1].character);
    EXPECT_EQ(1, r.keys[2].keyCode);
    EXPECT_EQ(27, r.keys[2].character);
}

TEST_F(Translator, NumericPadDigitIsOneEventWithCodeAndCharacter) {
    Feed(Key(SDLK_KP_7, KMOD_NUM));
    Feed(Text("7"));
    ASSERT_EQ(1u, r.keys.size());
    EXPECT_EQ(45, r.keys[0].keyCode);
    EXPECT_EQ('7', r.keys[0].character);
    Feed(Text("7")); // a later 7 typed on the main keys still arrives
    EXPECT_EQ(2u, r.keys.size());
}

TEST(KeyCodeTable, NonCharacterKeys) {
    EXPECT_EQ(1, EventTranslator::KeyCode(SDLK_ESCAPE, 0));
    EXPECT_EQ(2, EventTranslator::KeyCode(SDLK_F1, 0));
    EXPECT_EQ(13, EventTranslator::KeyCode(SDLK_F12, 0));
    EXPECT_EQ(14, EventTranslator::KeyCode(SDLK_F13, 0));
    EXPECT_EQ(25, EventTranslator::KeyCode(SDLK_F24, 0));
    EXPECT_EQ(26, EventTranslator::KeyCode(SDLK_UP, 0));
    EXPECT_EQ(29, EventTranslator::KeyCode(SDLK_RIGHT, 0));
    EXPECT_EQ(31, EventTranslator::KeyCode(SDLK_PAGEDOWN, 0));
    EXPECT_EQ(33, EventTranslator::KeyCode(SDLK_END, 0));
    EXPECT_EQ(35, EventTranslator::KeyCode(SDLK_DELETE, 0));
    EXPECT_EQ(37, EventTranslator::KeyCode(SDLK_KP_ENTER, 0));
    EXPECT_EQ(38, EventTranslator::KeyCode(SDLK_KP_0, KMOD_NUM));
    EXPECT_EQ(47, EventTranslator::KeyCode(SDLK_KP_9, KMOD_NUM));
    EXPECT_EQ(54, EventTranslator::KeyCode(SDLK_KP_PLUS, 0));
    EXPECT_EQ(57, EventTranslator::KeyCode(SDLK_KP_DIVIDE, 0));
    EXPECT_EQ(59, EventTranslator::KeyCode(SDLK_KP_PERIOD, KMOD_NUM));
    EXPECT_EQ(61, EventTranslator::KeyCode(SDLK_PAUSE, 0));
    EXPECT_EQ(0, EventTranslator::KeyCode(SDLK_a, 0));
    EXPECT_EQ(0, EventTranslator::KeyCode(SDLK_SPACE, 0));
    EXPECT_EQ(0, EventTranslator::KeyCode(SDLK_TAB, 0));
    // Without Num Lock the pad moves the caret like the arrow block.
    EXPECT_EQ(34, EventTranslator::KeyCode(SDLK_KP_0, 0));
    EXPECT_EQ(26, EventTranslator::KeyCode(SDLK_KP_8, 0));
    EXPECT_EQ(0, EventTranslator::KeyCode(SDLK_KP_5, 0));
    EXPECT_EQ(35, EventTranslator::KeyCode(SDLK_KP_PERIOD, 0));
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
