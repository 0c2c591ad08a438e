#include <gtest/gtest.h>
#include <xcb/xtest.h>

#include <QGuiApplication>
#include <QTest>
#include <QWindow>

#include "SettingsFixture.h"
#include "X11TestDesktop.h"
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

using testing::X11TestDesktop;

constexpr xcb_keysym_t shiftL = 0xffe1;
constexpr xcb_keysym_t controlL = 0xffe3;
constexpr xcb_keysym_t superL = 0xffeb;
constexpr xcb_keysym_t space = ' ';
constexpr xcb_keysym_t f12 = 0xffc9;

// The settings window on the fixture's X server, typed into through XTest.
class HotkeyRecorderX11Test : public testing::SettingsFixture {
  protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != QLatin1String("xcb")) {
            GTEST_SKIP() << "No X server to test against";
        }
        server = std::make_unique<X11TestDesktop>();
        layout = X11KeyboardLayout::read(server->get());
        backend = std::make_unique<X11Connection>(*X11TestDesktop::connectDisplay());
        hotkeys = std::make_unique<X11GlobalHotkeys>(*backend);
        center = std::make_unique<HotkeyCenter>(*hotkeys, qtScheduler, hotkeyEvents);

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

    xcb_keycode_t keycodeOf(xcb_keysym_t keysym) const {
        for (int code = layout.minKeycode; code <= layout.maxKeycode; ++code) {
            if (layout.keysym(xcb_keycode_t(code), 0) == keysym) {
                return xcb_keycode_t(code);
            }
        }
        ADD_FAILURE() << "no key carries keysym " << keysym;
        return 0;
    }
    // Presses the keys in order and releases them in reverse, as a user would.
    void type(const QList<xcb_keysym_t>& keysyms) {
        QList<xcb_keycode_t> keys;
        for (const xcb_keysym_t keysym : keysyms) {
            keys.append(keycodeOf(keysym));
        }
        for (const xcb_keycode_t key : keys) {
            xcb_test_fake_input(server->get(), XCB_KEY_PRESS, key, XCB_CURRENT_TIME, XCB_NONE, 0, 0,
                                0);
        }
        for (auto it = keys.rbegin(); it != keys.rend(); ++it) {
            xcb_test_fake_input(server->get(), XCB_KEY_RELEASE, *it, XCB_CURRENT_TIME, XCB_NONE, 0,
                                0, 0);
        }
        server->sync();
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
    X11KeyboardLayout layout;
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
    EXPECT_EQ(combo.keycapLabels(), QStringList({"⇧", "⌘", "Space"}));
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
    const X11KeyboardMap map(layout);
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
