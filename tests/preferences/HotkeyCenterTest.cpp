#include <gtest/gtest.h>

#include <memory>

#include "base/ManualScheduler.h"
#include "base/RecordingEventLog.h"
#include "platform/sim/SimulatedGlobalHotkeys.h"
#include "preferences/HotkeyCenter.h"
#include "preferences/KeyCombo.h"

namespace pellucine {
namespace {

constexpr quint64 shiftCommand = KeyCombo::shift | KeyCombo::command;
constexpr quint64 capsLock = 0x10000;
using Status = HotkeyRegistrationResult::Status;

class HotkeyCenterTest : public ::testing::Test {
  protected:
    std::optional<HotkeyCenter::Id> registerCounting(quint32 keyCode, quint64 modifiers,
                                                     int& counter) {
        return center->registerHotkey(keyCode, modifiers, [&counter] { ++counter; });
    }

    ManualScheduler scheduler;
    RecordingEventLog events;
    SimulatedGlobalHotkeys desktop;
    std::unique_ptr<HotkeyCenter> center =
        std::make_unique<HotkeyCenter>(desktop, scheduler, events);
};

TEST_F(HotkeyCenterTest, NumbersCountUpFromOneAndAreNeverReused) {
    int presses = 0;
    EXPECT_EQ(registerCounting(49, shiftCommand, presses), 1u);
    center->unregister(1);
    EXPECT_EQ(registerCounting(49, shiftCommand, presses), 2u);
    EXPECT_EQ(registerCounting(0, KeyCombo::command, presses), 3u);
    EXPECT_EQ(center->registrationCount(), 2u);
}

TEST_F(HotkeyCenterTest, RefusalsAreRecordedWithTheDesktopsCodeAndUseUpTheirNumber) {
    int presses = 0;
    desktop.holdByAnotherClient(49, shiftCommand);
    EXPECT_EQ(registerCounting(49, shiftCommand, presses), std::nullopt);
    ASSERT_EQ(events.count("hotkey-register-failed"), 1);
    EXPECT_EQ(events.last("hotkey-register-failed")->fields,
              (EventFields{{"errorCode", QString::number(SimulatedGlobalHotkeys::heldErrorCode)}}));

    // The code is signed.
    desktop.failNextRegistration({Status::failed, 0, -9878});
    EXPECT_EQ(registerCounting(3, KeyCombo::command, presses), std::nullopt);
    EXPECT_EQ(events.last("hotkey-register-failed")->fields["errorCode"], "-9878");

    // No error but no registration either: a failure with code 0.
    desktop.failNextRegistration({Status::registered, 0, 0});
    EXPECT_EQ(registerCounting(3, KeyCombo::command, presses), std::nullopt);
    EXPECT_EQ(events.last("hotkey-register-failed")->fields["errorCode"], "0");

    EXPECT_EQ(registerCounting(3, KeyCombo::command, presses), 4u);
    EXPECT_EQ(center->registrationCount(), 1u);
    EXPECT_EQ(events.count("hotkey-register-failed"), 3);
    // A refused registration leaves no handler behind: its number never runs anything.
    EXPECT_FALSE(center->isRegistered(1));
}

TEST_F(HotkeyCenterTest, APressRunsItsHandlerOnceAfterTheDesktopsDeliveryReturns) {
    int presses = 0;
    registerCounting(49, shiftCommand, presses);
    EXPECT_EQ(desktop.press(49, shiftCommand), 1);
    EXPECT_EQ(presses, 0) << "never inside the desktop's callback";
    scheduler.runUntilIdle();
    EXPECT_EQ(presses, 1);
    // Lock keys do not matter; other combinations run nothing.
    desktop.press(49, shiftCommand | capsLock);
    desktop.press(49, KeyCombo::command);
    desktop.press(48, shiftCommand);
    scheduler.runUntilIdle();
    EXPECT_EQ(presses, 2);
}

TEST_F(HotkeyCenterTest, OnlyTheFourModifiersReachTheDesktop) {
    int presses = 0;
    registerCounting(49, shiftCommand | capsLock | 0x800000, presses);
    ASSERT_EQ(desktop.registrations().size(), 1);
    EXPECT_EQ(desktop.registrations().first().modifiers, shiftCommand);
}

TEST_F(HotkeyCenterTest, UnregisteringIsHarmlessForUnknownAndEndedNumbers) {
    int presses = 0;
    const auto id = registerCounting(49, shiftCommand, presses);
    center->unregister(99);
    center->unregister(0);
    center->unregister(*id);
    center->unregister(*id);
    EXPECT_TRUE(desktop.registrations().isEmpty());
    EXPECT_EQ(desktop.requests().filter("unregister").size(), 1);
    EXPECT_EQ(desktop.press(49, shiftCommand), 0);
}

TEST_F(HotkeyCenterTest, APressPendingWhenItsRegistrationEndsRunsNothing) {
    int presses = 0;
    const auto id = registerCounting(49, shiftCommand, presses);
    desktop.press(49, shiftCommand);
    center->unregister(*id);
    scheduler.runUntilIdle();
    EXPECT_EQ(presses, 0);
}

TEST_F(HotkeyCenterTest, HandlersMayReregisterTheirOwnHotkey) {
    int presses = 0;
    std::optional<HotkeyCenter::Id> current;
    std::function<void()> handler = [&] {
        ++presses;
        center->unregister(*current);
        current = center->registerHotkey(49, shiftCommand, handler);
    };
    current = center->registerHotkey(49, shiftCommand, handler);
    for (int i = 0; i < 3; ++i) {
        desktop.press(49, shiftCommand);
        scheduler.runUntilIdle();
    }
    EXPECT_EQ(presses, 3);
    EXPECT_EQ(current, 4u);
    EXPECT_EQ(desktop.registrations().size(), 1);
}

TEST_F(HotkeyCenterTest, TwoRegistrationsOfOneCombinationStandApart) {
    int first = 0;
    int second = 0;
    const auto a = registerCounting(49, shiftCommand, first);
    const auto b = registerCounting(49, shiftCommand, second);
    ASSERT_TRUE(a && b);
    desktop.press(49, shiftCommand);
    scheduler.runUntilIdle();
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 1);

    center->unregister(*a);
    desktop.press(49, shiftCommand);
    scheduler.runUntilIdle();
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 2) << "the other registration keeps working";
    EXPECT_TRUE(center->isRegistered(*b));
}

TEST_F(HotkeyCenterTest, EndingTheCentreEndsItsRegistrationsAndDropsPendingPresses) {
    int presses = 0;
    registerCounting(49, shiftCommand, presses);
    registerCounting(3, KeyCombo::command, presses);
    desktop.press(49, shiftCommand);
    center.reset();
    scheduler.runUntilIdle();
    EXPECT_EQ(presses, 0);
    EXPECT_TRUE(desktop.registrations().isEmpty());
}

}  // namespace
}  // namespace pellucine
