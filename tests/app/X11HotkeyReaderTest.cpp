#include <gtest/gtest.h>

#include <QKeyEvent>

#include "app/X11HotkeyReader.h"
#include "platform/FakeKeyboard.h"
#include "platform/KeyModifiers.h"

namespace pellucine {
namespace {

using testing::FakeKeyboard;

TEST(X11HotkeyReader, NativeKeysAreReadAtTheirPositionsAndQtKeysOtherwise) {
    struct Case {
        const char* name;
        quint32 keycode;
        int qtKey;
        Qt::KeyboardModifiers qtModifiers;
        quint32 state;
        HotkeyPress press;
    };
    const QList<Case> cases{
        {"Super+Shift+Space",
         65,
         Qt::Key_Space,
         Qt::MetaModifier | Qt::ShiftModifier,
         XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_4,
         {49, KeyModifiers::shift | KeyModifiers::command}},
        // A French layout's Q sits where a US A does; the grabs take it as A.
        {"French Q at A's position",
         38,
         Qt::Key_Q,
         Qt::ControlModifier,
         XCB_MOD_MASK_CONTROL,
         {0, KeyModifiers::control}},
        {"no X key code: Qt's key",
         0,
         Qt::Key_Q,
         Qt::ControlModifier,
         XCB_MOD_MASK_CONTROL,
         {12, KeyModifiers::control}},
        {"locks and buttons are no modifiers",
         9,
         Qt::Key_Escape,
         Qt::MetaModifier,
         XCB_MOD_MASK_4 | XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2 | XCB_KEY_BUT_MASK_BUTTON_1,
         {53, KeyModifiers::command}},
        {"Alt is Option",
         71,
         Qt::Key_F5,
         Qt::AltModifier,
         XCB_MOD_MASK_1,
         {96, KeyModifiers::option}},
        {"Super itself", 133, Qt::Key_Super_L, Qt::NoModifier, 0, {std::nullopt, 0, true}},
        {"a code no key has", 255, Qt::Key_unknown, Qt::NoModifier, 0, {std::nullopt, 0, false}},
    };
    FakeKeyboard keyboard = FakeKeyboard::evdev();
    keyboard.put(24, 'a').put(38, 'q');
    const X11HotkeyReader reader(keyboard.map());
    const NativeKeyReader native = [&reader](const QKeyEvent& event) { return reader.read(event); };
    for (const Case& c : cases) {
        const QKeyEvent event(QEvent::KeyPress, c.qtKey, c.qtModifiers, c.keycode, 0, c.state);
        EXPECT_EQ(HotkeyKeys::translate(event, native), c.press) << c.name;
    }
}

}  // namespace
}  // namespace pellucine
