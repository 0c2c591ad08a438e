#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QTest>
#include <QWindow>

#include "SettingsFixture.h"
#include "X11TestDesktop.h"
#include "X11TestKeyboard.h"
#include "app/X11HotkeyReader.h"
#include "base/QtScheduler.h"
#include "base/RecordingEventLog.h"
#include "design/YardText.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11GlobalHotkeys.h"
#include "preferences/HotkeyCenter.h"
#include "settings/HotkeyField.h"
#include "settings/SwitcherPage.h"

namespace pellucine {
namespace {

using testing::controlL;
using testing::shiftL;
using testing::superL;
using testing::X11TestDesktop;

constexpr xcb_keysym_t space = ' ';
constexpr xcb_keysym_t f12 = 0xffc9;

// The settings window on the fixture's X server, typed into through XTest and read as the
// program reads it.
class HotkeyRecorderX11Test : public testing::SettingsFixture {
  protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != QLatin1String("xcb")) {
            GTEST_SKIP() << "No X server to test against";
        }
        server = std::make_unique<X11TestDesktop>();
        keyboard.emplace(*server);
        backend = std::make_unique<X11Connection>(*X11TestDesktop::connectDisplay());
        hotkeys = std::make_unique<X11GlobalHotkeys>(*backend);
        center = std::make_unique<HotkeyCenter>(*hotkeys, qtScheduler, hotkeyEvents);

        hotkeyKeyboard = X11HotkeyReader::applicationKeyboard();
        shown();
        settingsWindow().activateWindow();
        const auto id = static_cast<xcb_window_t>(settingsWindow().windowHandle()->winId());
        ASSERT_TRUE(X11TestDesktop::waitUntil([&] {
            return server->activeWindow() == id && QApplication::activeWindow() == window.get();
        }));
        switcher = page<SwitcherPage>(SettingsView::Bay::switcher);
    }
    void TearDown() override {
        center.reset();
        hotkeys.reset();
    }

    void type(const QList<xcb_keysym_t>& keysyms) const {
        keyboard->type(keyboard->keycodesOf(keysyms));
    }
    // Starts recording and types the keys; the combination the page stored.
    KeyCombo record(const QList<xcb_keysym_t>& keysyms) {
        const KeyCombo before = machine().windowSearchHotkey;
        switcher->hotkeyField()->click();
        EXPECT_TRUE(switcher->hotkeyField()->isRecording());
        type(keysyms);
        EXPECT_TRUE(
            X11TestDesktop::waitUntil([&] { return !switcher->hotkeyField()->isRecording(); }));
        EXPECT_NE(machine().windowSearchHotkey, before);
        return machine().windowSearchHotkey;
    }

    std::unique_ptr<X11TestDesktop> server;
    std::optional<testing::X11TestKeyboard> keyboard;
    std::unique_ptr<X11Connection> backend;
    QtScheduler qtScheduler{systemContinuousClock()};
    RecordingEventLog hotkeyEvents;
    std::unique_ptr<X11GlobalHotkeys> hotkeys;
    std::unique_ptr<HotkeyCenter> center;
    SwitcherPage* switcher = nullptr;
};

TEST_F(HotkeyRecorderX11Test, ARecordedSuperShiftSpaceFiresAsTheHotkey) {
    model->machinePreferences().modify([](MachinePreferences& m) {
        m.windowSearchHotkey = {0, KeyCombo::control};
    });
    const KeyCombo combo = record({superL, shiftL, space});
    EXPECT_EQ(combo, (KeyCombo{49, KeyCombo::shift | KeyCombo::command}));
    EXPECT_EQ(combo.keycapLabels(), QStringList({"Shift", "Super", "Space"}));
    EXPECT_EQ(commits(), 1);

    int pressed = 0;
    ASSERT_TRUE(center->registerHotkey(combo.keyCode, combo.modifiers, [&] { ++pressed; }));
    testing::settle(*backend);
    type({superL, shiftL, space});
    EXPECT_TRUE(X11TestDesktop::waitUntil([&] {
        testing::settle(*backend);
        return pressed == 1;
    }));
}

TEST_F(HotkeyRecorderX11Test, ACombinationAnotherClientHoldsShowsTheConflict) {
    const KeyCombo combo = record({controlL, superL, f12});
    EXPECT_EQ(combo, (KeyCombo{111, KeyCombo::control | KeyCombo::command}));

    // Another client takes the combination before the program registers it.
    X11TestDesktop other;
    const X11KeyboardMap map(keyboard->layout());
    const xcb_void_cookie_t grab =
        xcb_grab_key_checked(other.get(), 1, other.root(), map.modifierMask(combo.modifiers),
                             *map.keycode(combo.keyCode), XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    ASSERT_EQ(xcb_request_check(other.get(), grab), nullptr);

    const std::optional<HotkeyCenter::Id> id =
        center->registerHotkey(combo.keyCode, combo.modifiers, [] {});
    EXPECT_FALSE(id);
    // What the window-search registration publishes when the desktop refuses and names nobody.
    model->windowSearchHotkeyProblem().set(
        id ? std::nullopt : std::optional<QString>(QStringLiteral("another app")));
    EXPECT_TRUE(switcher->conflictLine()->isVisible());
    EXPECT_EQ(switcher->conflictLabel()->text(),
              QStringLiteral("Also held by another app. Pick another combination, or change it "
                             "there."));
}

}  // namespace
}  // namespace pellucine
