#include <gtest/gtest.h>

#include "DelegateFixture.h"
#include "app/StatusItem.h"
#include "platform/sim/SimulatedUpdater.h"
#include "support/QtPrinters.h"

namespace pellucine {
namespace {

using Step = OnboardingView::Step;

// Launch and termination on the simulated desktop: the program runs as pid 1 beside Notes (10).
class LaunchSequenceTest : public testing::DelegateFixture {
  protected:
    static constexpr qint32 notes = 10;

    LaunchSequenceTest() {
        addApp(ownPID, "Pellucine", ActivationPolicy::accessory);
        addApp(notes, "Notes");
        desktop.activate(notes, {});
    }

    // Launches on a fresh model and delegate, with only the events of launch itself kept.
    void launch(const std::function<void(AppDelegate::Lifecycle&)>& adjust = {}) {
        makeDelegate(adjust);
        events.clear();
        delegate->applicationDidFinishLaunching();
    }
    QStringList shellEvents() const {
        QStringList names = events.names();
        names.removeAll("permission-status");
        return names;
    }
    void setMachine(const std::function<void(MachinePreferences&)>& change) {
        model->machinePreferences().modify(change);
    }
};

TEST_F(LaunchSequenceTest, AFirstLaunchStartsEverythingThenShowsTheWelcomeThenTheEarlyLinks) {
    makeModel();
    makeDelegate();
    delegate->receiveLink("pellucine://settings/Dock");
    delegate->receiveLink("pellucine://diagnostics");
    EXPECT_TRUE(windows.opened.isEmpty());
    events.clear();
    delegate->applicationDidFinishLaunching();

    EXPECT_EQ(shellEvents(),
              (QStringList{"menu-bar-visibility", "launch", "deep-link", "deep-link"}));
    const auto launched = events.last("launch");
    EXPECT_EQ(
        launched->fields,
        (EventFields{{"version", "1.4"}, {"build", "140"}, {"macOS", "Simulated desktop 14.0"}}));
    // The welcome window at its introduction although both permissions are granted, then the
    // links in the order they came.
    EXPECT_EQ(windows.opened, (QStringList{"onboarding", "settings", "diagnostics"}));
    EXPECT_EQ(model->pendingSettingsBay().value(), "dock");
    EXPECT_EQ(log, QStringList{"start"});
    EXPECT_EQ(delegate->lastExternalProcessIdentifier(), notes);
    EXPECT_EQ(desktop.globalMessagingTimeout(), seconds(0.5));
    ASSERT_NE(delegate->statusItem(), nullptr);
    // Launch has finished: a link is handled at once.
    EXPECT_TRUE(delegate->launched());
    delegate->receiveLink("pellucine://settings/permissions");
    EXPECT_EQ(windows.opened.last(), "permissions");
}

TEST_F(LaunchSequenceTest, ALaterLaunchOpensTheWelcomeAtItsPermissionsWhileOneIsMissing) {
    onboarding.setCompletedOnboarding(true);
    desktop.simulatedPermissions().setScreenCapture(SimulatedPermission::denied);
    makeModel();
    // Asked for in this process and not yet in effect.
    model->permissions().request(PermissionKind::screenRecording);
    launch();
    EXPECT_EQ(shellEvents(),
              (QStringList{"menu-bar-visibility", "launch", "permissions-missing-at-launch"}));
    EXPECT_EQ(events.last("permissions-missing-at-launch")->fields,
              (EventFields{{"accessibility", "granted"}, {"screenRecording", "restartRequired"}}));
    EXPECT_EQ(windows.opened, QStringList{"permissions"});
}

TEST_F(LaunchSequenceTest, ALaterLaunchWithoutAReachableStatusItemOpensSettingsOnTheNextTurn) {
    onboarding.setCompletedOnboarding(true);
    store.machine.showMenuBarIcon = false;
    launch();
    EXPECT_EQ(events.last("menu-bar-visibility")->fields.value("visible"), "false");
    EXPECT_TRUE(windows.opened.isEmpty());
    scheduler.runUntilIdle();
    EXPECT_EQ(windows.opened, QStringList{"settings"});
    EXPECT_EQ(events.count("permissions-missing-at-launch"), 0);
    EXPECT_EQ(events.count("onboarding-shown"), 0);
}

TEST_F(LaunchSequenceTest, UnderATestHostLaunchAndTerminationDoNothing) {
    launch([](AppDelegate::Lifecycle& lifecycle) { lifecycle.underTestHost = true; });
    delegate->receiveLink("pellucine://diagnostics");
    delegate->applicationWillTerminate();
    EXPECT_TRUE(events.names().isEmpty());
    EXPECT_TRUE(log.isEmpty());
    EXPECT_TRUE(windows.opened.isEmpty());
    EXPECT_TRUE(store.saves.isEmpty());
    EXPECT_FALSE(delegate->launched());
}

TEST_F(LaunchSequenceTest, QuittingSavesThroughTheModelLetsThePushFinishThenWaitsForTheLog) {
    const QDateTime edited = QDateTime::fromString("2026-03-01T08:00:00Z", Qt::ISODate);
    store.portable.modifiedAt = edited;
    store.portable.syncEnabled = true;
    launch([this](AppDelegate::Lifecycle& lifecycle) {
        lifecycle.waitForEventLog = [this] { log << "wait after " + events.names().last(); };
        lifecycle.finishAtQuit = [this](QCoro::Task<void> pushes) {
            log << "finish pushes";
            scheduler.runUntilIdle();
            EXPECT_TRUE(pushes.isReady());
        };
    });
    scheduler.clocks().wall.advance(seconds(3600.0));
    store.saves.clear();
    log.clear();
    events.clear();

    // Unchanged, the record keeps its date: it cannot outrank a newer change made elsewhere.
    delegate->applicationWillTerminate();
    EXPECT_EQ(log, (QStringList{"stop", "finish pushes", "wait after quit"}));
    EXPECT_EQ(events.names(), (QStringList{"sync-pushed", "quit"}));
    EXPECT_EQ(store.saves, (QStringList{"portable", "machine"}));
    EXPECT_EQ(store.portable.modifiedAt, edited);
    ASSERT_EQ(sync.pushed.size(), 1);

    // A change made just before quitting is dated then and reaches the sync store.
    model->portablePreferences().modify([](PortablePreferences& p) { p.previewWidth = 420; });
    delegate->applicationWillTerminate();
    ASSERT_EQ(sync.pushed.size(), 2);
    EXPECT_EQ(sync.pushed.last().previewWidth, 420);
    EXPECT_EQ(sync.pushed.last().modifiedAt, scheduler.clocks().wall.now());
}

TEST_F(LaunchSequenceTest, MenuBarAndDockPresenceFollowTheMachinePreferences) {
    launch();
    EXPECT_EQ(events.count("menu-bar-visibility"), 1);
    EXPECT_EQ(events.count("dock-visibility"), 0);

    setMachine([](MachinePreferences& m) { m.showInDockAndAppSwitcher = false; });
    EXPECT_EQ(policy.policy(), ActivationPolicy::accessory);
    EXPECT_EQ(events.last("dock-visibility")->fields.value("visible"), "false");
    // A visible program window is brought forward when the policy changes, not otherwise.
    EXPECT_FALSE(windows.opened.contains("activate"));
    windows.visible = true;
    setMachine([](MachinePreferences& m) { m.showInDockAndAppSwitcher = true; });
    EXPECT_EQ(policy.policy(), ActivationPolicy::regular);
    EXPECT_EQ(windows.opened.count("activate"), 1);
    // Other changes, or the same value again, change nothing.
    setMachine([](MachinePreferences& m) { m.windowSearchEnabled = false; });
    setMachine([](MachinePreferences& m) { m.showInDockAndAppSwitcher = true; });
    policy.setPolicy(ActivationPolicy::regular);
    EXPECT_EQ(events.count("dock-visibility"), 2);
    EXPECT_EQ(events.count("menu-bar-visibility"), 1);

    setMachine([](MachinePreferences& m) { m.showMenuBarIcon = false; });
    EXPECT_FALSE(delegate->statusItem()->isVisible());
    EXPECT_EQ(events.count("menu-bar-visibility"), 2);
}

TEST_F(LaunchSequenceTest, LaterActivationsOnlyOfOtherRegularApplicationsAreRemembered) {
    addApp(20, "Mail");
    addApp(30, "Agent", ActivationPolicy::accessory);
    launch();
    desktop.activate(20, {});
    scheduler.runUntilIdle();
    EXPECT_EQ(delegate->lastExternalProcessIdentifier(), 20);
    desktop.activate(30, {});
    desktop.activate(ownPID, {});
    scheduler.runUntilIdle();
    EXPECT_EQ(delegate->lastExternalProcessIdentifier(), 20);
    // Nothing is left listening once the delegate is gone.
    desktop.activate(notes, {});
    delegate.reset();
    scheduler.runUntilIdle();
}

TEST_F(LaunchSequenceTest, NotificationsAndReopeningOpenTheirWindowsOnlyAfterLaunch) {
    makeModel();
    makeDelegate();
    notifications.postNeedsPermissions();
    notifications.postShowDiagnostics();
    EXPECT_TRUE(windows.opened.isEmpty());
    onboarding.setCompletedOnboarding(true);
    delegate->applicationDidFinishLaunching();
    scheduler.runUntilIdle();
    windows.opened.clear();
    notifications.postNeedsPermissions();
    notifications.postShowDiagnostics();
    EXPECT_FALSE(delegate->applicationShouldHandleReopen());
    EXPECT_EQ(windows.opened, (QStringList{"permissions", "diagnostics", "settings"}));
}

// The updater and the permission poll on virtual time.
class LaunchTimersTest : public LaunchSequenceTest {
  protected:
    void SetUp() override {
        updateEnvironment.variables.insert(QString(UpdateEnvironment::testFeedVariable),
                                           "https://example.com/appcast.xml");
        if (testInstall) {
            updateEnvironment.variables.insert(QString(UpdateEnvironment::testInstallVariable),
                                               "1");
        }
        makeModel();
        model->updates().setHost({updaters.factory(), {}, {}});
    }
    int probes() const { return updaters.updater() ? updaters.updater()->probes() : 0; }
    int userChecks() const { return updaters.updater() ? updaters.updater()->userChecks() : 0; }

    bool testInstall = false;

    SimulatedUpdaterFactory updaters;
};

TEST_F(LaunchTimersTest, TheFirstUpdateCheckComesThreeSecondsLaterAsTheUpdaterThenSays) {
    launch();
    scheduler.advance(2.9);
    EXPECT_EQ(probes(), 0);
    scheduler.advance(0.1);
    EXPECT_EQ(probes(), 1);
    EXPECT_EQ(events.count("update-check-started"), 1);
}

TEST_F(LaunchTimersTest, AutomaticChecksTurnedOffBeforeTheThreeSecondsMeanNoCheck) {
    launch();
    setMachine([](MachinePreferences& m) { m.automaticUpdateChecks = false; });
    EXPECT_FALSE(model->updates().preferences().automaticUpdateChecks);
    scheduler.advance(3.0);
    EXPECT_EQ(probes(), 0);
}

TEST_F(LaunchTimersTest, WithoutTheTestInstallVariableNoCheckIsStartedForTheUser) {
    launch();
    scheduler.advance(5.0);
    EXPECT_EQ(userChecks(), 0);
}

class TestInstallTest : public LaunchTimersTest {
  protected:
    TestInstallTest() { testInstall = true; }
};

TEST_F(TestInstallTest, ATestInstallChecksOneAndAHalfSecondsAfterLaunch) {
    launch();
    scheduler.advance(1.4);
    EXPECT_EQ(userChecks(), 0);
    scheduler.advance(0.1);
    EXPECT_EQ(userChecks(), 1);
}

TEST_F(LaunchTimersTest, ThePermissionsAreReadAgainEveryTenSeconds) {
    launch();
    desktop.simulatedPermissions().setAccessibility(SimulatedPermission::denied);
    scheduler.advance(9.9);
    EXPECT_EQ(events.count("permission-status"), 0);
    scheduler.advance(0.1);
    EXPECT_EQ(events.last("permission-status")->fields.value("source"), "timer");
    desktop.simulatedPermissions().setAccessibility(SimulatedPermission::granted);
    scheduler.advance(10.0);
    EXPECT_EQ(events.count("permission-status"), 2);
    // Ended with the delegate.
    delegate.reset();
    desktop.simulatedPermissions().setAccessibility(SimulatedPermission::denied);
    scheduler.advance(30.0);
    EXPECT_EQ(events.count("permission-status"), 2);
}

TEST_F(LaunchTimersTest, ADesktopWhoseGrantsCannotChangeHasItsPermissionsReadNoMore) {
    desktop.simulatedPermissions().setGrantsCanChange(false);
    launch();
    scheduler.advance(60.0);
    EXPECT_EQ(events.count("permission-status"), 0);
}

}  // namespace
}  // namespace pellucine
