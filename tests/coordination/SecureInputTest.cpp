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
    int seenWithoutKeystrokes() const {
        return events.count(QStringLiteral("command-tab-seen-without-keystrokes"));
    }
    // How often the coordinator's timers and tasks run in the next second of virtual time.
    int wakeUpsInTheNextSecond() { return scheduler.advance(1.0); }
};

TEST_F(SecureInputTest, ThePollStartsTheCycleWhenTheStripIsSeenAndEndsItOnRelease) {
    EXPECT_EQ(events.count(QStringLiteral("secure-input-on")), 1);
    EXPECT_GE(wakeUpsInTheNextSecond(), 12) << "Command is polled every 0.08 s";
    // The poll sees Command and the watch looks for the strip, but none is up.
    keyboard().keyDown(command);
    scheduler.advance(1.08);
    EXPECT_FALSE(glanceShown());

    showStrip(1);
    scheduler.advance(0.05);
    EXPECT_EQ(seenWithoutKeystrokes(), 1);
    EXPECT_EQ(glancedApplication(), notes);

    dock.selectSwitcherItem(2);
    scheduler.advance(0.05);
    EXPECT_EQ(glancedApplication(), maps) << "tracking follows unseen Tabs";
    keyboard().keyUp(command);
    scheduler.advance(0.08);
    EXPECT_FALSE(glanceShown());

    // Each press of Command watches for the strip anew.
    keyboard().keyDown(command);
    scheduler.advance(0.08);
    EXPECT_EQ(seenWithoutKeystrokes(), 2);
    EXPECT_EQ(glancedApplication(), maps);
    keyboard().keyUp(command);
    scheduler.advance(0.08);
    EXPECT_FALSE(glanceShown());

    keyboard().setSecureEventInput(false);
    scheduler.advance(2.0);
    EXPECT_EQ(events.count(QStringLiteral("secure-input-off")), 1);
    EXPECT_LE(wakeUpsInTheNextSecond(), 1) << "only the 2-second check is left";
    EXPECT_EQ(events.count(QStringLiteral("secure-input-on")), 1);
}

// Each round begins with a coordinator just started and Command pressed at once: the poll sees
// it 0.08 s later, and the watch probes for the strip then and every 0.05 s after, 400 times.
TEST_F(SecureInputTest, TheWatchGivesUpAfterFourHundredProbesUntilCommandIsPressedAgain) {
    constexpr double lastProbe = 0.08 + 0.05 * 399;
    keyboard().keyDown(command);
    scheduler.advance(lastProbe - 0.025);
    showStrip(1);
    scheduler.advance(0.03);
    EXPECT_EQ(seenWithoutKeystrokes(), 1) << "the 400th probe still looks";

    keyboard().keyUp(command);
    dock.hideSwitcher();
    scheduler.advance(1.0);
    ASSERT_FALSE(glanceShown());
    coordinator.reset();
    makeCoordinator();
    keyboard().keyDown(command);
    scheduler.advance(lastProbe + 0.025);
    showStrip(1);
    scheduler.advance(5.0);
    EXPECT_EQ(seenWithoutKeystrokes(), 1) << "no 401st probe";

    keyboard().keyUp(command);
    scheduler.advance(0.08);
    keyboard().keyDown(command);
    scheduler.advance(0.08);
    EXPECT_EQ(seenWithoutKeystrokes(), 2);
    EXPECT_TRUE(glanceShown());
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
    ASSERT_EQ(glancedApplication(), 20);
    // The strip named an application outside the cycle's order: the cycle is over, and the
    // strip is followed no more.
    showStrip(2);
    scheduler.advance(0.1);
    ASSERT_EQ(glancedApplication(), 20);
    keyboard().keyUp(command);
    scheduler.advance(0.08);
    EXPECT_FALSE(glanceShown());
}

}  // namespace
}  // namespace pellucine
