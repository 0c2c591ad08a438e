#include <gtest/gtest.h>

#include <QtTest/QTest>
#include <cstdlib>

#include "X11TestDesktop.h"
#include "X11TestKeyboard.h"
#include "base/Clock.h"
#include "base/QtScheduler.h"
#include "base/RecordingEventLog.h"
#include "platform/linux/shortcuts/OpenboxKeyBindings.h"
#include "platform/x11/X11GlobalHotkeys.h"
#include "platform/x11/X11KeyboardShortcutSettings.h"
#include "preferences/HotkeyCenter.h"
#include "preferences/HotkeyConflicts.h"
#include "support/FileTraps.h"
#include "support/TempFolder.h"

namespace pellucine {
namespace {

using testing::capsLock;
using testing::controlL;
using testing::settle;
using testing::shiftL;
using testing::superL;
using testing::X11Test;
using testing::X11TestDesktop;

constexpr quint32 space = 49;
constexpr quint32 f12 = 111;
constexpr quint64 shiftCommand = KeyCombo::shift | KeyCombo::command;

class X11GlobalHotkeysTest : public X11Test {
  protected:
    void SetUp() override {
        X11Test::SetUp();
        if (IsSkipped()) {
            return;
        }
        hotkeys = std::make_unique<X11GlobalHotkeys>(*connection);
        center = std::make_unique<HotkeyCenter>(*hotkeys, scheduler, events);
        keyboard.emplace(*desktop);
        map = X11KeyboardMap(keyboard->layout());
    }
    void TearDown() override {
        center.reset();
        hotkeys.reset();
    }

    xcb_keycode_t keycodeOf(xcb_keysym_t keysym) const { return keyboard->keycodeOf(keysym); }
    void type(const QList<xcb_keycode_t>& keys) const { keyboard->type(keys); }
    QList<xcb_keycode_t> shiftSuperSpace() const {
        return {keycodeOf(shiftL), keycodeOf(superL), *map.keycode(space)};
    }

    // Whether another client may grab the combination now; it lets it go again at once.
    bool otherClientCanGrab(quint16 mask, xcb_keycode_t key) {
        // Everything the backend asked for has been carried out first.
        settle(*connection);
        xcb_generic_error_t* error = xcb_request_check(
            desktop->get(), xcb_grab_key_checked(desktop->get(), 0, desktop->root(), mask, key,
                                                 XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        const bool granted = error == nullptr;
        std::free(error);
        if (granted) {
            xcb_ungrab_key(desktop->get(), key, desktop->root(), mask);
            desktop->sync();
        }
        return granted;
    }

    FakeContinuousClock clock;
    QtScheduler scheduler{clock};
    RecordingEventLog events;
    std::unique_ptr<X11GlobalHotkeys> hotkeys;
    std::unique_ptr<HotkeyCenter> center;
    std::optional<testing::X11TestKeyboard> keyboard;
    X11KeyboardMap map;
};

TEST_F(X11GlobalHotkeysTest, ShiftCommandSpaceRunsItsHandlerOncePerPress) {
    int presses = 0;
    int markers = 0;
    ASSERT_TRUE(center->registerHotkey(space, shiftCommand, [&] { ++presses; }));
    ASSERT_TRUE(center->registerHotkey(f12, KeyCombo::control, [&] { ++markers; }));

    type(shiftSuperSpace());
    // A later press of another hotkey: once it has arrived, so has everything before it.
    type({keycodeOf(controlL), *map.keycode(f12)});
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return markers == 1; }, 5000));
    EXPECT_EQ(presses, 1);

    // With Caps Lock on the combination still counts.
    type({keycodeOf(capsLock)});
    type(shiftSuperSpace());
    type({keycodeOf(capsLock)});
    type({keycodeOf(controlL), *map.keycode(f12)});
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return markers == 2; }, 5000));
    EXPECT_EQ(presses, 2);
    EXPECT_EQ(events.count("hotkey-register-failed"), 0);
}

TEST_F(X11GlobalHotkeysTest, ACombinationAnotherClientHoldsIsRefusedAndReported) {
    const xcb_keycode_t key = *map.keycode(space);
    const quint16 mask = map.modifierMask(shiftCommand);
    // The other client holds only the Caps Lock variant: the variants granted before the
    // refusal must be released again.
    ASSERT_TRUE(otherClientCanGrab(mask | XCB_MOD_MASK_LOCK, key));
    xcb_grab_key(desktop->get(), 0, desktop->root(), mask | XCB_MOD_MASK_LOCK, key,
                 XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    desktop->sync();

    EXPECT_EQ(center->registerHotkey(space, shiftCommand, [] {}), std::nullopt);
    ASSERT_EQ(events.count("hotkey-register-failed"), 1);
    EXPECT_EQ(events.last("hotkey-register-failed")->fields["errorCode"], "10");
    EXPECT_TRUE(otherClientCanGrab(mask, key)) << "no partial grab is left behind";
    xcb_ungrab_key(desktop->get(), key, desktop->root(), mask | XCB_MOD_MASK_LOCK);
    desktop->sync();

    // The window manager's own bindings are refused too, and the desktop names their owner.
    const X11KeyboardShortcutSettings settings(
        *connection, OpenboxKeyBindings::configFolders(qEnvironmentVariable("XDG_CONFIG_HOME")));
    const QList<DesktopShortcut> bindings = settings.desktopShortcuts();
    ASSERT_FALSE(bindings.isEmpty()) << "the fixture's window manager binds keys";
    const DesktopShortcut& taken = bindings.first();
    EXPECT_EQ(center->registerHotkey(taken.keyCode, taken.modifiers, [] {}), std::nullopt);
    EXPECT_EQ(events.count("hotkey-register-failed"), 2);
    const testing::TempFolder noOtherApplications;
    const auto sources = HotkeyConflicts::readSources(settings, noOtherApplications.paths());
    EXPECT_EQ(HotkeyConflicts::owner(taken.keyCode, taken.modifiers, sources), taken.owner);
}

class X11KeyboardShortcutSettingsTest : public X11Test {
  protected:
    void SetUp() override {
        X11Test::SetUp();
        if (IsSkipped()) {
            return;
        }
        const xcb_get_property_cookie_t cookie =
            xcb_get_property(desktop->get(), 0, desktop->root(), atoms()._OB_CONFIG_FILE,
                             XCB_GET_PROPERTY_TYPE_ANY, 0, 4096);
        xcb_get_property_reply_t* reply = xcb_get_property_reply(desktop->get(), cookie, nullptr);
        if (reply != nullptr && reply->type != XCB_NONE) {
            saved = QByteArray(static_cast<const char*>(xcb_get_property_value(reply)),
                               xcb_get_property_value_length(reply));
            savedType = reply->type;
        }
        std::free(reply);
    }
    void TearDown() override {
        if (!desktop) {
            return;
        }
        if (saved) {
            setConfigFile(*saved, savedType);
        } else {
            xcb_delete_property(desktop->get(), desktop->root(), atoms()._OB_CONFIG_FILE);
            desktop->sync();
        }
    }
    const X11Atoms& atoms() const { return connection->atoms(); }
    void setConfigFile(const QByteArray& path, xcb_atom_t type) {
        xcb_change_property(desktop->get(), XCB_PROP_MODE_REPLACE, desktop->root(),
                            atoms()._OB_CONFIG_FILE, type, 8, quint32(path.size()),
                            path.constData());
        desktop->sync();
    }

    testing::TempFolder temp;
    std::optional<QByteArray> saved;
    xcb_atom_t savedType = XCB_NONE;
};

TEST_F(X11KeyboardShortcutSettingsTest, TheConfigurationAnyClientNamesIsReadOnlyWhenARegularFile) {
    const X11KeyboardShortcutSettings settings(*connection, {});
    const QString rc = temp.file("rc.xml");
    testing::putFile(rc, R"(<openbox_config><keyboard><keybind key="W-F12">)"
                         R"(<action name="Execute"><command>x</command></action>)"
                         R"(</keybind></keyboard></openbox_config>)");
    setConfigFile(QFile::encodeName(rc), atoms().UTF8_STRING);
    ASSERT_EQ(settings.desktopShortcuts().size(), 1);

    // Opening a pipe for reading would block the program for good.
    const QString pipe = temp.file("pipe.xml");
    testing::makePipe(pipe);
    setConfigFile(QFile::encodeName(pipe), atoms().UTF8_STRING);
    EXPECT_TRUE(settings.desktopShortcuts().isEmpty());
    setConfigFile("/dev/zero", atoms().UTF8_STRING);
    EXPECT_TRUE(settings.desktopShortcuts().isEmpty());
}

TEST_F(X11GlobalHotkeysTest, UnregisteringReleasesTheGrabForOtherClients) {
    const xcb_keycode_t key = *map.keycode(space);
    const quint16 mask = map.modifierMask(shiftCommand);
    int first = 0;
    int second = 0;
    const auto a = center->registerHotkey(space, shiftCommand, [&] { ++first; });
    const auto b = center->registerHotkey(space, shiftCommand, [&] { ++second; });
    ASSERT_TRUE(a && b);
    EXPECT_FALSE(otherClientCanGrab(mask, key));
    EXPECT_FALSE(otherClientCanGrab(mask | XCB_MOD_MASK_LOCK, key));

    // The second registration keeps the grab and keeps working.
    center->unregister(*a);
    EXPECT_FALSE(otherClientCanGrab(mask, key));
    type(shiftSuperSpace());
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return second == 1; }, 5000));
    EXPECT_EQ(first, 0);

    center->unregister(*b);
    for (const quint16 variant : map.lockVariants()) {
        EXPECT_TRUE(otherClientCanGrab(mask | variant, key)) << "variant " << variant;
    }
}

TEST_F(X11GlobalHotkeysTest, AKeyHeldDownToRepeatCountsOnce) {
    int presses = 0;
    const HotkeyRegistrationResult registered =
        hotkeys->registerHotkey(space, shiftCommand, [&] { ++presses; });
    ASSERT_TRUE(registered.isRegistered());
    const xcb_keycode_t key = *map.keycode(space);
    const auto event = [&](uint8_t type, xcb_timestamp_t time, quint16 extraState = 0) {
        xcb_key_press_event_t e{};
        e.response_type = type;
        e.detail = key;
        e.time = time;
        e.root = desktop->root();
        e.event = desktop->root();
        e.state = quint16(map.modifierMask(shiftCommand) | extraState);
        hotkeys->handleEvent(reinterpret_cast<const xcb_generic_event_t&>(e));
    };
    event(XCB_KEY_PRESS, 1000);
    // The server repeats a held key as a release and a press at the same time.
    event(XCB_KEY_RELEASE, 1500);
    event(XCB_KEY_PRESS, 1500);
    event(XCB_KEY_RELEASE, 1530);
    event(XCB_KEY_PRESS, 1530);
    event(XCB_KEY_RELEASE, 1600);
    EXPECT_EQ(presses, 1);
    // A new press, with Caps Lock and Num Lock on.
    event(XCB_KEY_PRESS, 2000, map.lockMask());
    EXPECT_EQ(presses, 2);
    // Another modifier held as well makes it another combination.
    event(XCB_KEY_PRESS, 2500, XCB_MOD_MASK_CONTROL);
    EXPECT_EQ(presses, 2);
    hotkeys->unregisterHotkey(registered.handle);
}

TEST_F(X11GlobalHotkeysTest, AKeyboardChangeKeepsEveryGrab) {
    int presses = 0;
    ASSERT_TRUE(center->registerHotkey(space, shiftCommand, [&] { ++presses; }));
    // The server announces the mapping whenever keys come from another keyboard, unchanged.
    xcb_mapping_notify_event_t notify{};
    notify.response_type = XCB_MAPPING_NOTIFY;
    notify.request = XCB_MAPPING_KEYBOARD;
    hotkeys->handleEvent(reinterpret_cast<const xcb_generic_event_t&>(notify));
    notify.request = XCB_MAPPING_MODIFIER;
    hotkeys->handleEvent(reinterpret_cast<const xcb_generic_event_t&>(notify));

    EXPECT_FALSE(otherClientCanGrab(map.modifierMask(shiftCommand), *map.keycode(space)));
    type(shiftSuperSpace());
    ASSERT_TRUE(X11TestDesktop::waitUntil([&] { return presses == 1; }, 5000));
}

}  // namespace
}  // namespace pellucine
