#include <gtest/gtest.h>

#include "FakeKeyboard.h"
#include "platform/KeyModifiers.h"
#include "platform/x11/X11KeyTranslator.h"

namespace pellucine {
namespace {

using testing::FakeKeyboard;
using Type = KeyEvent::Type;

constexpr quint64 cmd = KeyModifiers::command;
constexpr quint64 shift = KeyModifiers::shift;
constexpr quint64 caps = KeyModifiers::capsLock;

// Evdev key codes of the US layout.
constexpr xcb_keycode_t tabKey = 23;
constexpr xcb_keycode_t fKey = 41;
constexpr xcb_keycode_t superLeft = 133;
constexpr xcb_keycode_t superRight = 134;
constexpr xcb_keycode_t shiftLeft = 50;
constexpr xcb_keycode_t shiftRight = 62;
constexpr xcb_keycode_t capsKey = 66;
constexpr xcb_keycode_t altLeft = 64;
constexpr xcb_keycode_t unmapped = 200;

class X11KeyTranslatorTest : public ::testing::Test {
  protected:
    X11KeyTranslatorTest() {
        keyboard.put(superRight, testing::superR).put(shiftRight, testing::shiftR);
        translator.setLayout(keyboard.layout);
    }

    FakeKeyboard keyboard = FakeKeyboard::evdev();
    X11KeyTranslator translator;
};

TEST_F(X11KeyTranslatorTest, ModifierKeysHoldTheirBitWhileAnyKeyOfItIsDown) {
    EXPECT_EQ(translator.press(superLeft), (KeyEvent{Type::flagsChanged, 55, cmd}));
    EXPECT_EQ(translator.press(shiftLeft), (KeyEvent{Type::flagsChanged, 56, cmd | shift}));
    EXPECT_EQ(translator.press(shiftRight), (KeyEvent{Type::flagsChanged, 60, cmd | shift}));
    EXPECT_EQ(translator.release(shiftLeft), (KeyEvent{Type::flagsChanged, 56, cmd | shift}))
        << "the right Shift still holds Shift";
    EXPECT_EQ(translator.release(shiftRight), (KeyEvent{Type::flagsChanged, 60, cmd}));
    EXPECT_EQ(translator.press(superRight), (KeyEvent{Type::flagsChanged, 54, cmd}));
    EXPECT_EQ(translator.release(superLeft), (KeyEvent{Type::flagsChanged, 55, cmd}));
    EXPECT_EQ(translator.release(superRight), (KeyEvent{Type::flagsChanged, 54, 0}));
    EXPECT_EQ(translator.press(altLeft), (KeyEvent{Type::flagsChanged, 58, KeyModifiers::option}));
}

TEST_F(X11KeyTranslatorTest, CapsLockTogglesOnEachPressOnly) {
    EXPECT_EQ(translator.press(capsKey), (KeyEvent{Type::flagsChanged, 57, caps}));
    EXPECT_EQ(translator.release(capsKey), std::nullopt);
    EXPECT_EQ(translator.press(superLeft), (KeyEvent{Type::flagsChanged, 55, cmd | caps}));
    EXPECT_EQ(translator.press(capsKey), (KeyEvent{Type::flagsChanged, 57, cmd}));
    EXPECT_EQ(translator.release(capsKey), std::nullopt);
}

TEST_F(X11KeyTranslatorTest, APressOfAKeyAlreadyDownIsARepeat) {
    translator.press(superLeft);
    EXPECT_EQ(translator.press(tabKey), (KeyEvent{Type::keyDown, 48, cmd, false}));
    EXPECT_EQ(translator.press(tabKey), (KeyEvent{Type::keyDown, 48, cmd, true}));
    EXPECT_EQ(translator.release(tabKey), (KeyEvent{Type::keyUp, 48, cmd}));
    EXPECT_EQ(translator.press(fKey), (KeyEvent{Type::keyDown, 3, cmd, false}));
    EXPECT_EQ(translator.press(fKey, true), (KeyEvent{Type::keyDown, 3, cmd, true}))
        << "a press the server marks as a repeat";
    // A modifier held down repeats nothing.
    EXPECT_EQ(translator.press(superLeft), std::nullopt);
    EXPECT_EQ(translator.modifiers(), cmd);
}

TEST_F(X11KeyTranslatorTest, KeysTheTableDoesNotNameAreUnknown) {
    EXPECT_EQ(translator.press(unmapped), (KeyEvent{Type::keyDown, KeyEvent::unknownKey, 0}));
    EXPECT_EQ(translator.release(unmapped), (KeyEvent{Type::keyUp, KeyEvent::unknownKey, 0}));
    // Without any layout every key is unknown and no key is a modifier.
    X11KeyTranslator blank;
    EXPECT_EQ(blank.press(superLeft), (KeyEvent{Type::keyDown, KeyEvent::unknownKey, 0}));
}

TEST_F(X11KeyTranslatorTest, StartsFromTheServersModifiersAndKeepsKeysAcrossAMappingChange) {
    // Super was held before listening began: its release still ends Command.
    translator.reset(cmd | caps);
    EXPECT_EQ(translator.press(tabKey), (KeyEvent{Type::keyDown, 48, cmd | caps}));
    EXPECT_EQ(translator.release(superLeft), (KeyEvent{Type::flagsChanged, 55, caps}));

    translator.press(shiftLeft);
    translator.setLayout(keyboard.layout);
    EXPECT_EQ(translator.press(shiftLeft), std::nullopt) << "still down after the change";
    EXPECT_EQ(translator.release(shiftLeft), (KeyEvent{Type::flagsChanged, 56, caps}));
}

}  // namespace
}  // namespace pellucine
