#include <gtest/gtest.h>

#include <QStringList>

#include "base/ManualScheduler.h"
#include "base/RecordingEventLog.h"
#include "coordination/GlobalShortcutMonitor.h"
#include "platform/KeyModifiers.h"
#include "platform/sim/SimulatedDesktop.h"
#include "support/QtPrinters.h"

namespace pellucine {
namespace {

using Keyboard = SimulatedKeyboard;

constexpr quint32 tab = 48;
constexpr quint32 f = 3;
constexpr quint32 a = 0;

class GlobalShortcutMonitorTest : public ::testing::Test {
  protected:
    GlobalShortcutMonitorTest() { wire(*monitor); }

    void wire(GlobalShortcutMonitor& m) {
        m.setOnAdvance([this](bool backward) { log << (backward ? "back" : "forward"); });
        m.setOnSearch([this] { log << "search"; });
        m.setOnCommandDown([this] { log << "command"; });
        m.setOnRelease([this] { log << "release"; });
    }

    // What the monitor reported once its deferred work has run; clears the log.
    QStringList reported() {
        scheduler.runUntilIdle();
        return std::exchange(log, {});
    }

    Keyboard& keyboard() { return desktop.simulatedKeyboard(); }

    ManualScheduler scheduler;
    SimulatedDesktop desktop{scheduler};
    RecordingEventLog events;
    std::unique_ptr<GlobalShortcutMonitor> monitor =
        std::make_unique<GlobalShortcutMonitor>(desktop, scheduler, events);
    QStringList log;
};

TEST_F(GlobalShortcutMonitorTest, StartRecordsWhatCameOfTheTap) {
    monitor->start(false);
    EXPECT_FALSE(monitor->isListening());
    EXPECT_EQ(keyboard().tapCount(), 0);
    ASSERT_EQ(events.names(), QStringList{"shortcut-monitor-started"});
    EXPECT_EQ(events.events().back().fields,
              (EventFields{{"commandTabTap", "false"}, {"commandTabMode", "native"}}));

    events.clear();
    monitor->start(true);
    monitor->start(true);
    EXPECT_TRUE(monitor->isListening());
    EXPECT_EQ(keyboard().tapCount(), 1) << "a restart replaces the tap";
    EXPECT_EQ(events.last("shortcut-monitor-started")->fields,
              (EventFields{{"commandTabTap", "true"}, {"commandTabMode", "native-glance"}}));

    // Without accessibility the wanted tap fails; the failure comes first.
    events.clear();
    desktop.setTrusted(false);
    monitor->start(true);
    EXPECT_FALSE(monitor->isListening());
    EXPECT_EQ(keyboard().tapCount(), 0);
    ASSERT_EQ(events.names(),
              (QStringList{"shortcut-event-tap-failed", "shortcut-monitor-started"}));
    EXPECT_EQ(events.events()[0].fields, (EventFields{{"accessibility", "false"}}));
    EXPECT_EQ(events.events()[1].fields,
              (EventFields{{"commandTabTap", "false"}, {"commandTabMode", "native"}}));

    // Refused with accessibility granted, the failure says so.
    events.clear();
    desktop.setTrusted(true);
    keyboard().setTapCreationFails(true);
    monitor->start(true);
    EXPECT_EQ(events.events().front().fields, (EventFields{{"accessibility", "true"}}));
}

TEST_F(GlobalShortcutMonitorTest, CommandAloneIsReportedOnceThenReleased) {
    monitor->start(true);
    keyboard().keyDown(Keyboard::commandKey);
    EXPECT_TRUE(log.isEmpty()) << "reports run later, never inside the tap";
    EXPECT_EQ(reported(), QStringList{"command"});
    EXPECT_TRUE(monitor->commandIsDown());
    // Caps Lock and the right Command key change the flags while Command stays held alone.
    keyboard().type(Keyboard::capsLockKey);
    keyboard().keyDown(Keyboard::rightCommandKey);
    keyboard().keyUp(Keyboard::rightCommandKey);
    EXPECT_EQ(reported(), QStringList{});
    keyboard().keyUp(Keyboard::commandKey);
    EXPECT_EQ(reported(), QStringList{"release"});
    EXPECT_FALSE(monitor->commandIsDown());
    // With Caps Lock on, every later change without Command is a release too.
    keyboard().type(Keyboard::capsLockKey);
    keyboard().type(Keyboard::shiftKey);
    EXPECT_EQ(reported(), (QStringList{"release", "release", "release"}));
}

TEST_F(GlobalShortcutMonitorTest, ShiftBeforeCommandIsNoCommandDown) {
    monitor->start(true);
    keyboard().keyDown(Keyboard::shiftKey);
    keyboard().keyDown(Keyboard::commandKey);
    keyboard().keyUp(Keyboard::commandKey);
    keyboard().keyUp(Keyboard::shiftKey);
    EXPECT_EQ(reported(), (QStringList{"release", "release", "release"}));
    EXPECT_FALSE(monitor->commandIsDown());
}

TEST_F(GlobalShortcutMonitorTest, TabStepsForwardBackwardAndPerRepeat) {
    monitor->start(true);
    keyboard().keyDown(Keyboard::commandKey);
    keyboard().keyDown(tab);
    keyboard().keyDown(tab);
    keyboard().keyDown(tab);
    keyboard().keyUp(tab);
    keyboard().chord({Keyboard::shiftKey, tab});
    keyboard().chord({Keyboard::optionKey, tab});
    keyboard().keyUp(Keyboard::commandKey);
    EXPECT_EQ(reported(), (QStringList{"command", "forward", "forward", "forward", "back",
                                       "forward", "release"}));
}

TEST_F(GlobalShortcutMonitorTest, OnAFallbackBindingOnlyItsKeysStep) {
    desktop.simulatedSwitcher().setBinding(
        SwitcherBinding{KeyModifiers::command | KeyModifiers::control});
    monitor->start(true);
    // Control pressed before Command still makes a Command down.
    keyboard().keyDown(Keyboard::controlKey);
    keyboard().keyDown(Keyboard::commandKey);
    keyboard().type(tab);
    keyboard().chord({Keyboard::shiftKey, tab});
    keyboard().keyUp(Keyboard::controlKey);
    // Command-Tab alone is the other program's.
    keyboard().type(tab);
    keyboard().keyUp(Keyboard::commandKey);
    EXPECT_EQ(reported(), (QStringList{"release", "command", "forward", "back", "release"}));
}

TEST_F(GlobalShortcutMonitorTest, CommandFHeldSearchesOnce) {
    monitor->start(true);
    keyboard().keyDown(Keyboard::commandKey);
    keyboard().keyDown(f);
    keyboard().keyDown(f);
    keyboard().keyDown(f);
    keyboard().keyUp(f);
    keyboard().chord({Keyboard::shiftKey, f});
    keyboard().type(a);
    keyboard().keyUp(Keyboard::commandKey);
    keyboard().type(f);
    EXPECT_EQ(reported(), (QStringList{"command", "search", "search", "release"}));
}

TEST_F(GlobalShortcutMonitorTest, ADisabledTapIsEnabledAgainWhileItIsInstalled) {
    monitor->start(true);
    keyboard().disableTaps(KeyEvent::Type::tapDisabledByTimeout);
    EXPECT_EQ(keyboard().enabledTapCount(), 0);
    scheduler.runUntilIdle();
    EXPECT_EQ(keyboard().enabledTapCount(), 1);
    EXPECT_EQ(events.count("shortcut-event-tap-reenabled"), 1);

    // Stopped before the re-enabling runs: there is nothing to enable.
    keyboard().disableTaps(KeyEvent::Type::tapDisabledByUserInput);
    monitor->stop();
    scheduler.runUntilIdle();
    EXPECT_EQ(events.count("shortcut-event-tap-reenabled"), 1);
    EXPECT_EQ(keyboard().tapCount(), 0);
}

TEST_F(GlobalShortcutMonitorTest, StopAndStartKeepCommandDownAndUnsetCallbacksStillCount) {
    monitor->start(true);
    keyboard().keyDown(Keyboard::commandKey);
    EXPECT_EQ(reported(), QStringList{"command"});
    monitor->stop();
    monitor->start(true);
    EXPECT_TRUE(monitor->commandIsDown());
    keyboard().keyUp(Keyboard::commandKey);
    keyboard().keyDown(Keyboard::commandKey);
    EXPECT_EQ(reported(), (QStringList{"release", "command"}));

    monitor->setOnRelease(nullptr);
    monitor->setOnCommandDown(nullptr);
    keyboard().keyUp(Keyboard::commandKey);
    scheduler.runUntilIdle();
    EXPECT_FALSE(monitor->commandIsDown());
    keyboard().keyDown(Keyboard::commandKey);
    scheduler.runUntilIdle();
    EXPECT_TRUE(monitor->commandIsDown());
    EXPECT_TRUE(log.isEmpty());
}

TEST_F(GlobalShortcutMonitorTest, ReportsUnderWayNeverReachADestroyedMonitor) {
    monitor->start(true);
    keyboard().keyDown(Keyboard::commandKey);
    keyboard().keyDown(tab);
    monitor.reset();
    EXPECT_EQ(reported(), QStringList{});
    // Its tap went with it.
    EXPECT_EQ(keyboard().tapCount(), 0);
    keyboard().keyDown(tab);
    EXPECT_EQ(scheduler.pendingCount(), 0u);
}

TEST_F(GlobalShortcutMonitorTest, ACallbackMayEndTheMonitor) {
    monitor->start(true);
    monitor->setOnAdvance([this](bool) {
        log << "forward";
        monitor.reset();
    });
    keyboard().keyDown(Keyboard::commandKey);
    keyboard().keyDown(tab);
    keyboard().keyDown(tab);
    EXPECT_EQ(reported(), (QStringList{"command", "forward"}));
}

TEST_F(GlobalShortcutMonitorTest, SecureEntryHidesKeysFromTheTap) {
    monitor->start(true);
    keyboard().setSecureEventInput(true);
    keyboard().keyDown(Keyboard::commandKey);
    keyboard().type(tab);
    EXPECT_EQ(reported(), QStringList{});
    EXPECT_TRUE(desktop.keyboardState().isSecureEventInputEnabled());
    EXPECT_EQ(desktop.keyboardState().modifierFlags(), KeyModifiers::command)
        << "the modifier state is still readable";
}

}  // namespace
}  // namespace pellucine
