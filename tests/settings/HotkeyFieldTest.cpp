#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include "SettingsFixture.h"
#include "settings/HotkeyField.h"
#include "settings/SwitcherPage.h"

namespace pellucine {
namespace {

using Kind = HotkeyField::Decision::Kind;
using testing::SettingsFixture;

constexpr quint64 shift = KeyCombo::shift;
constexpr quint64 control = KeyCombo::control;
constexpr quint64 command = KeyCombo::command;
constexpr quint64 capsLock = 0x10000;
constexpr quint64 keypad = 0x200000;
constexpr quint64 function = 0x800000;

TEST(HotkeyRecording, EscapeCancelsFirstAndOnlyCommandingCombinationsRecord) {
    struct Case {
        HotkeyPress press;
        HotkeyField::Decision decision;
    };
    const QList<Case> cases{
        {{53, 0, false}, {Kind::cancel, {}}},
        {{53, command | shift, false}, {Kind::cancel, {}}},
        {{0, 0, false}, {Kind::ignore, {}}},
        {{0, shift, false}, {Kind::ignore, {}}},
        {{std::nullopt, command, false}, {Kind::ignore, {}}},
        // A modifier pressed while another is held is not a combination.
        {{std::nullopt, control, true}, {Kind::ignore, {}}},
        {{56, command, true}, {Kind::ignore, {}}},
        {{49, capsLock | command, false}, {Kind::record, {49, command}}},
        {{49, keypad | function | control, false}, {Kind::record, {49, control}}},
        {{96, 0x1E0000, false}, {Kind::record, {96, 0x1E0000}}},
        {{40, shift | control, false}, {Kind::record, {40, shift | control}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HotkeyField::decide(c.press), c.decision)
            << c.press.keyCode.value_or(999) << " " << c.press.modifiers;
    }
}

TEST(HotkeyKeys, QtKeysGoThroughTheSameKeyTable) {
    const auto press = [](int key, Qt::KeyboardModifiers modifiers) {
        const QKeyEvent event(QEvent::KeyPress, key, modifiers);
        return HotkeyKeys::translate(event, nullptr);
    };
    EXPECT_EQ(press(Qt::Key_Space, Qt::MetaModifier | Qt::ShiftModifier),
              (HotkeyPress{49, 0x120000, false}));
    EXPECT_EQ(press(Qt::Key_A, Qt::NoModifier), (HotkeyPress{0, 0, false}));
    EXPECT_EQ(press(Qt::Key_F5, Qt::ControlModifier | Qt::AltModifier),
              (HotkeyPress{96, control | KeyCombo::option, false}));
    EXPECT_EQ(press(Qt::Key_Escape, Qt::MetaModifier).keyCode, 53u);
    EXPECT_EQ(press(Qt::Key_5, Qt::KeypadModifier).keyCode, 87u);
    EXPECT_EQ(press(Qt::Key_Enter, Qt::KeypadModifier).keyCode, 76u);
    EXPECT_EQ(press(Qt::Key_Exclam, Qt::ShiftModifier).keyCode, std::nullopt);
    EXPECT_TRUE(press(Qt::Key_Meta, Qt::MetaModifier).modifierKey);
    EXPECT_TRUE(press(Qt::Key_CapsLock, Qt::NoModifier).modifierKey);
}

class HotkeyFieldTest : public SettingsFixture {
  protected:
    HotkeyField* field() { return page<SwitcherPage>(SettingsView::Bay::switcher)->hotkeyField(); }
};

TEST_F(HotkeyFieldTest, RecordingTakesEveryKeyUntilACombinationOrEscape) {
    shown();
    QApplication::setActiveWindow(&settingsWindow());
    HotkeyField* hotkey = field();
    auto* typing = new QLineEdit(view().page());
    QSignalSpy changes(hotkey, &HotkeyField::onChange);

    hotkey->click();
    EXPECT_TRUE(hotkey->isRecording());
    EXPECT_EQ(hotkey->toolTip(), HotkeyField::recordingToolTip());
    QTest::keyClick(typing, Qt::Key_A);
    QTest::keyClick(typing, Qt::Key_A, Qt::ShiftModifier);
    QTest::keyClick(typing, Qt::Key_Shift, Qt::ControlModifier);
    EXPECT_TRUE(typing->text().isEmpty());
    EXPECT_TRUE(hotkey->isRecording());
    QTest::keyClick(&settingsWindow(), Qt::Key_Escape, Qt::MetaModifier);
    EXPECT_FALSE(hotkey->isRecording());
    EXPECT_TRUE(settingsWindow().isVisible());
    EXPECT_EQ(changes.count(), 0);

    hotkey->click();
    QTest::keyClick(typing, Qt::Key_F5,
                    Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier | Qt::MetaModifier);
    ASSERT_EQ(changes.count(), 1);
    EXPECT_FALSE(hotkey->isRecording());
    EXPECT_EQ(machine().windowSearchHotkey, (KeyCombo{96, 0x1E0000}));
    EXPECT_EQ(commits(), 1);
    EXPECT_EQ(hotkey->combo(), machine().windowSearchHotkey);
    EXPECT_EQ(hotkey->accessibleName(),
              QStringLiteral("Window search hotkey, Control Alt Shift Super F5"));

    // Afterwards keys reach their widgets again.
    QTest::keyClick(typing, Qt::Key_B);
    EXPECT_EQ(typing->text(), QStringLiteral("b"));
}

TEST_F(HotkeyFieldTest, KeysWithAScanCodeAreReadByTheKeyboardAsEachRecordingBegan) {
    int keyboards = 0;
    hotkeyKeyboard = [&keyboards]() -> NativeKeyReader {
        const auto made = static_cast<quint32>(++keyboards);
        return [made](const QKeyEvent&) { return HotkeyPress{made, command, false}; };
    };
    shown();
    HotkeyField* hotkey = field();
    auto* typing = new QLineEdit(view().page());
    const auto record = [&](quint32 scanCode) {
        hotkey->click();
        QKeyEvent event(QEvent::KeyPress, Qt::Key_Space, Qt::MetaModifier, scanCode, 0, 0x40);
        QApplication::sendEvent(typing, &event);
        EXPECT_FALSE(hotkey->isRecording());
        return machine().windowSearchHotkey;
    };
    EXPECT_EQ(record(65), (KeyCombo{1, command}));
    // Without a scan code the Qt key is read.
    EXPECT_EQ(record(0), (KeyCombo{49, command}));
    EXPECT_EQ(record(65), (KeyCombo{3, command}));
    EXPECT_EQ(keyboards, 3);
}

TEST_F(HotkeyFieldTest, ASecondClickOrLeavingThePageEndsRecordingUnchanged) {
    shown();
    HotkeyField* hotkey = field();
    hotkey->click();
    hotkey->click();
    EXPECT_FALSE(hotkey->isRecording());
    EXPECT_EQ(hotkey->toolTip(), HotkeyField::restToolTip());

    hotkey->click();
    ASSERT_TRUE(hotkey->isRecording());
    view().setBay(SettingsView::Bay::dock);
    EXPECT_FALSE(hotkey->isRecording());
    auto* typing = new QLineEdit(view().page());
    QTest::keyClick(typing, Qt::Key_Space, Qt::MetaModifier);
    EXPECT_EQ(typing->text(), QStringLiteral(" "));
    EXPECT_EQ(machine().windowSearchHotkey, MachinePreferences::defaultWindowSearchHotkey);
    EXPECT_EQ(commits(), 0);
}

}  // namespace
}  // namespace pellucine
