#include <gtest/gtest.h>

#include "CoordinatorFixture.h"

namespace pellucine {
namespace {

using testing::CoordinatorFixture;

// Secure keyboard entry on from the start: the tap sees no key, only the poll sees Command.
class SecureInputTest : public CoordinatorFixture {
  protected:
    void SetUp() override {
        desktop.simulatedKeyboard().setSecureEventInput(true);
        makeCoordinator();
        refreshModel();
    }
    SimulatedKeyboard& keyboard() { return desktop.simulatedKeyboard(); }
    bool glanceShown() const { return panel != nullptr && panel->isPanelVisible(); }
};

TEST_F(SecureInputTest, ThePollStartsTheCycleWhenTheStripIsSeenAndEndsItOnRelease) {
    EXPECT_EQ(events.count(QStringLiteral("secure-input-on")), 1);
    EXPECT_TRUE(coordinator->isCommandPolling());
    keyboard().keyDown(command);
    scheduler.advance(0.08);
    EXPECT_TRUE(coordinator->isKeystrokeFreeWatchRunning());
    scheduler.advance(1.0);
    EXPECT_FALSE(glanceShown());

    showStrip(1);
    scheduler.advance(0.05);
    EXPECT_EQ(events.count(QStringLiteral("command-tab-seen-without-keystrokes")), 1);
    EXPECT_TRUE(glanceShown());
    EXPECT_EQ(coordinator->glanceProcessIdentifier(), notes);
    EXPECT_FALSE(coordinator->isKeystrokeFreeWatchRunning());

    dock.selectSwitcherItem(2);
    scheduler.advance(0.05);
    EXPECT_EQ(coordinator->glanceProcessIdentifier(), maps) << "tracking follows unseen Tabs";
    keyboard().keyUp(command);
    scheduler.advance(0.08);
    EXPECT_FALSE(glanceShown());
    EXPECT_FALSE(coordinator->glanceSource());

    keyboard().setSecureEventInput(false);
    scheduler.advance(2.0);
    EXPECT_EQ(events.count(QStringLiteral("secure-input-off")), 1);
    EXPECT_FALSE(coordinator->isCommandPolling());
    EXPECT_EQ(events.count(QStringLiteral("secure-input-on")), 1);
}

TEST_F(SecureInputTest, TheWatchGivesUpAfterFourHundredProbesUntilCommandIsPressedAgain) {
    keyboard().keyDown(command);
    scheduler.advance(0.08 + 0.05 * 399);
    EXPECT_TRUE(coordinator->isKeystrokeFreeWatchRunning());
    scheduler.advance(0.05);
    EXPECT_FALSE(coordinator->isKeystrokeFreeWatchRunning());
    scheduler.advance(5.0);
    EXPECT_FALSE(coordinator->isKeystrokeFreeWatchRunning());
    keyboard().keyUp(command);
    scheduler.advance(0.08);
    keyboard().keyDown(command);
    scheduler.advance(0.08);
    EXPECT_TRUE(coordinator->isKeystrokeFreeWatchRunning());
}

TEST_F(SecureInputTest, ReleasingCommandEndsAGlanceThatOutlivedItsCycle) {
    keyboard().keyDown(command);
    showStrip(1);
    scheduler.advance(0.2);
    ASSERT_TRUE(glanceShown());
    addApp(20, QStringLiteral("Late"));
    addWindow(20, {1500, 100, 300, 300});
    refreshModel();
    dock.showSwitcher({{QStringLiteral("Late"), std::nullopt, {1720, 320, 100, 100}}}, 0,
                      sideStrip);
    scheduler.advance(0.1);
    ASSERT_FALSE(coordinator->nativeSwitcherState().selectedIndex);
    ASSERT_EQ(coordinator->glanceProcessIdentifier(), 20);
    keyboard().keyUp(command);
    scheduler.advance(0.08);
    EXPECT_FALSE(glanceShown());
    EXPECT_FALSE(coordinator->glanceSource());
}

}  // namespace
}  // namespace pellucine
