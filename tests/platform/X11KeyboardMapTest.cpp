#include <gtest/gtest.h>

#include <QSet>

#include "FakeKeyboard.h"
#include "platform/KeyModifiers.h"
#include "platform/linux/LinuxKeyTable.h"
#include "platform/x11/X11KeyboardMap.h"
#include "preferences/KeyCombo.h"

namespace pellucine {
namespace {

using namespace testing;

void expectEveryKeyMapsBothWays(const X11KeyboardMap& map) {
    QSet<xcb_keycode_t> used;
    for (const LinuxKeyTable::Key& key : LinuxKeyTable::keys()) {
        const auto keycode = map.keycode(key.virtualKey);
        ASSERT_TRUE(keycode) << "virtual key " << key.virtualKey;
        EXPECT_FALSE(used.contains(*keycode)) << "virtual key " << key.virtualKey;
        used.insert(*keycode);
        EXPECT_EQ(map.virtualKey(*keycode), key.virtualKey);
    }
}

TEST(X11KeyTableTest, CoversEveryNamedKeyOnceWithDistinctPositionsAndKeysyms) {
    QSet<quint32> virtualKeys;
    QSet<quint16> positions;
    QSet<xcb_keysym_t> keysyms;
    for (const LinuxKeyTable::Key& key : LinuxKeyTable::keys()) {
        EXPECT_FALSE(virtualKeys.contains(key.virtualKey)) << key.virtualKey;
        EXPECT_FALSE(positions.contains(key.inputEventCode)) << key.virtualKey;
        EXPECT_FALSE(keysyms.contains(key.keysym)) << key.virtualKey;
        virtualKeys.insert(key.virtualKey);
        positions.insert(key.inputEventCode);
        keysyms.insert(key.keysym);
        EXPECT_EQ(LinuxKeyTable::keysymNamed(QString::fromLatin1(key.keysymName)), key.keysym);
        EXPECT_EQ(LinuxKeyTable::virtualKeyForKeysym(key.keysym), key.virtualKey);
        EXPECT_EQ(LinuxKeyTable::virtualKeyAtPosition(key.inputEventCode + 8), key.virtualKey);
    }
    // Every key that has a name of its own can be stored, so the table must know it.
    for (quint32 code = 0; code < 256; ++code) {
        if (!KeyCombo::keyName(code).startsWith("Key ")) {
            EXPECT_TRUE(virtualKeys.contains(code)) << "virtual key " << code;
        }
    }
    EXPECT_EQ(LinuxKeyTable::positionalKeycode(49), 65);
    EXPECT_EQ(LinuxKeyTable::positionalKeycode(0), 38);
    EXPECT_EQ(LinuxKeyTable::positionalKeycode(105), 191);
    EXPECT_EQ(LinuxKeyTable::positionalKeycode(10), std::nullopt);
    EXPECT_EQ(LinuxKeyTable::virtualKeyForKeysym('K'), 40u);
    EXPECT_EQ(LinuxKeyTable::keysymNamed(u"Page_Down"), 0xff56u);
    EXPECT_EQ(LinuxKeyTable::keysymNamed(u"E"), xcb_keysym_t('e'));
    EXPECT_EQ(LinuxKeyTable::keysymNamed(u"Print"), std::nullopt);
    EXPECT_EQ(LinuxKeyTable::keysymNamed(u"SPACE"), std::nullopt);
}

TEST(X11KeyboardMapTest, EvdevServersMapByPositionWhateverTheLayout) {
    FakeKeyboard keyboard = FakeKeyboard::evdev();
    // A French layout: A and Q trade places, as do Z and W.
    keyboard.put(24, 'a').put(38, 'q').put(25, 'z').put(52, 'w');
    const X11KeyboardMap map = keyboard.map();
    EXPECT_TRUE(map.isPositional());
    EXPECT_EQ(map.keycode(0), 38) << "A stays at its position";
    EXPECT_EQ(map.keycode(12), 24);
    EXPECT_EQ(map.virtualKey(38), 0u);
    EXPECT_EQ(map.keycode(49), 65);
    EXPECT_EQ(map.virtualKey(9), 53u);
    EXPECT_EQ(map.virtualKey(50), std::nullopt) << "Shift is no storable key";
    expectEveryKeyMapsBothWays(map);
}

TEST(X11KeyboardMapTest, KeysMissingAtTheirPositionAreFoundByKeysym) {
    FakeKeyboard keyboard = FakeKeyboard::evdev();
    // F13 lives elsewhere; Help's position (Insert) is empty and Insert sits on a free code.
    keyboard.clear(191).put(200, 0xffca);
    keyboard.clear(118).put(201, 0xff63);
    // A keysym also found on a claimed position does not take that key away.
    keyboard.put(38, 0xff8d, 1);  // KP_Enter on A's second level
    keyboard.clear(104).put(202, 0xff8d);
    const X11KeyboardMap map = keyboard.map();
    ASSERT_TRUE(map.isPositional());
    EXPECT_EQ(map.keycode(105), 200);
    EXPECT_EQ(map.keycode(114), 201);
    EXPECT_EQ(map.keycode(76), 202);
    EXPECT_EQ(map.virtualKey(38), 0u);
    expectEveryKeyMapsBothWays(map);

    // A key found nowhere does not map, and nothing maps to it.
    keyboard.clear(200);
    const X11KeyboardMap without = keyboard.map();
    EXPECT_EQ(without.keycode(105), std::nullopt);
    EXPECT_EQ(without.virtualKey(191), std::nullopt);
}

TEST(X11KeyboardMapTest, OtherServersMapByKeysym) {
    FakeKeyboard keyboard;
    // Key codes unrelated to positions: the table's keysyms in reverse order from 9 up.
    const auto keys = LinuxKeyTable::keys();
    for (std::size_t i = 0; i < keys.size(); ++i) {
        keyboard.put(int(9 + i), keys[keys.size() - 1 - i].keysym);
    }
    // Capital letters on the second level change nothing.
    keyboard.put(9 + int(keys.size()) - 1, 'A', 1);
    const X11KeyboardMap map = keyboard.map();
    EXPECT_FALSE(map.isPositional());
    EXPECT_EQ(map.keycode(keys.back().virtualKey), 9);
    EXPECT_EQ(map.keycode(0), 9 + int(keys.size()) - 1);
    expectEveryKeyMapsBothWays(map);
}

TEST(X11KeyboardMapTest, CommandIsSuperAndOptionIsAlt) {
    const X11KeyboardMap usual = FakeKeyboard::evdev().map();
    EXPECT_EQ(usual.modifierMask(KeyModifiers::shift | KeyModifiers::command),
              XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_4);
    EXPECT_EQ(usual.modifierMask(KeyModifiers::all),
              XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4);
    EXPECT_EQ(usual.modifierMask(0x10000 | 0x800000), 0);
    // Locks and mouse buttons in a key state are not modifiers of the combination.
    EXPECT_EQ(usual.modifiers(XCB_MOD_MASK_4 | XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2 |
                              XCB_KEY_BUT_MASK_BUTTON_1),
              KeyModifiers::command);
    EXPECT_EQ(usual.modifiers(XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_SHIFT),
              KeyModifiers::control | KeyModifiers::option | KeyModifiers::shift);

    // Super on Mod3 and Alt on Mod5 are followed.
    FakeKeyboard moved = FakeKeyboard::evdev();
    moved.layout.modifierKeycodes[6 * 2] = 0;
    moved.layout.modifierKeycodes[3 * 2] = 0;
    moved.bind(5, 133).bind(7, 64);
    const X11KeyboardMap map = moved.map();
    EXPECT_EQ(map.modifierMask(KeyModifiers::command | KeyModifiers::option),
              XCB_MOD_MASK_3 | XCB_MOD_MASK_5);
    EXPECT_EQ(map.modifiers(XCB_MOD_MASK_3), KeyModifiers::command);
    EXPECT_EQ(map.modifiers(XCB_MOD_MASK_4), 0u);

    // A server that binds neither: Mod4 and Mod1.
    EXPECT_EQ(FakeKeyboard().map().modifierMask(KeyModifiers::command | KeyModifiers::option),
              XCB_MOD_MASK_4 | XCB_MOD_MASK_1);
}

TEST(X11KeyboardMapTest, LockVariantsCoverEveryCombinationOfTheBoundLocks) {
    FakeKeyboard keyboard = FakeKeyboard::evdev();
    EXPECT_EQ(keyboard.map().lockMask(), XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2);
    EXPECT_EQ(keyboard.map().lockVariants(), (QList<quint16>{0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2,
                                                             XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2}));
    keyboard.put(78, scrollLock).bind(7, 78);
    const QList<quint16> variants = keyboard.map().lockVariants();
    EXPECT_EQ(variants.size(), 8);
    EXPECT_EQ(QSet<quint16>(variants.begin(), variants.end()).size(), 8);
    EXPECT_TRUE(variants.contains(XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2 | XCB_MOD_MASK_5));

    // Without Num Lock on a modifier only Caps Lock varies; a lock sharing Super's modifier is
    // not ignored, or Command would be.
    FakeKeyboard plain = FakeKeyboard::evdev();
    plain.layout.modifierKeycodes[4 * 2] = 0;
    EXPECT_EQ(plain.map().lockVariants(), (QList<quint16>{0, XCB_MOD_MASK_LOCK}));
    plain.bind(6, 77);
    EXPECT_EQ(plain.map().lockMask(), XCB_MOD_MASK_LOCK);
}

}  // namespace
}  // namespace pellucine
