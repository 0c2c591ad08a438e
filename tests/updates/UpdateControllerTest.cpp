#include <gtest/gtest.h>

#include <QAbstractEventDispatcher>
#include <QCoreApplication>

#include "base/ManualScheduler.h"
#include "base/RecordingEventLog.h"
#include "platform/sim/SimulatedUpdater.h"
#include "updates/UpdateController.h"

namespace pellucine {
namespace {

const QString feed = QStringLiteral("https://updates.example.com/appcast.xml");
const QString installedPath = QStringLiteral("/home/ada/Applications/pellucine");

UpdateEnvironment environment(QVariantMap info, QString path = installedPath,
                              QMap<QString, QString> variables = {}) {
    QProcessEnvironment process;
    for (auto it = variables.cbegin(); it != variables.cend(); ++it) {
        process.insert(it.key(), it.value());
    }
    return {Bundle(std::move(info), {}), std::move(path), process};
}

QVariantMap releaseInfo() {
    return {{"SUFeedURL", feed}, {"CFBundleShortVersionString", "1.4"}, {"CFBundleVersion", "140"}};
}

// A release build installed by the package or the install script.
UpdateEnvironment installedRelease() {
    UpdateEnvironment installed = environment(releaseInfo(), "/usr/bin/pellucine");
    installed.installed = true;
    return installed;
}

class UpdateControllerTest : public ::testing::Test {
  protected:
    ManualScheduler scheduler;
    RecordingEventLog events;
    SimulatedUpdaterFactory updaters;
    int activations = 0;
    int settingsRemembered = 0;
    std::unique_ptr<UpdateController> controller;

    UpdateController& make(UpdateEnvironment env = environment(releaseInfo())) {
        controller = std::make_unique<UpdateController>(
            UpdateController::Services{std::move(env), scheduler, scheduler.clocks().wall, events},
            UpdateController::Host{updaters.factory(), [this] { ++activations; },
                                   [this] { ++settingsRemembered; }});
        return *controller;
    }
    SimulatedUpdater& engine() { return *updaters.updater(); }
    QDateTime now() { return scheduler.clocks().wall.now(); }
    // Starts a probe on an updater made by apply.
    void probe() {
        controller->apply(MachinePreferences{});
        controller->checkInBackground();
    }
    void finish(std::optional<int> code) {
        std::optional<UpdaterError> error;
        if (code) {
            error = UpdaterError{*code, QStringLiteral("engine text")};
        }
        controller->didFinishUpdateCycle(UpdateCheck::updateInformation, error);
        scheduler.runUntilIdle();
    }
    AppcastItem item(const QString& display) {
        AppcastItem i;
        i.versionString = QStringLiteral("150");
        i.displayVersionString = display;
        return i;
    }
};

TEST(UpdateControllerDefaultTest, ANewControllerIsIdleAndStartsNothing) {
    const UpdateController controller;
    EXPECT_FALSE(controller.note().value().has_value());
    EXPECT_FALSE(controller.checking().value());
    EXPECT_FALSE(controller.lastChecked().value().has_value());
    EXPECT_FALSE(controller.failed().value());
    EXPECT_EQ(controller.availability().value(), UpdateAvailability::unknown());
    EXPECT_EQ(controller.channel(), UpdateChannel::stable);
    EXPECT_EQ(controller.preferences(), MachinePreferences{});
    EXPECT_FALSE(controller.hasUpdater());
    EXPECT_EQ(controller.checkGeneration(), 0);
    // No timer of its own and no child objects (requests, updater).
    EXPECT_TRUE(QAbstractEventDispatcher::instance()
                    ->registeredTimers(const_cast<UpdateController*>(&controller))
                    .isEmpty());
    EXPECT_TRUE(controller.children().isEmpty());
}

TEST(UpdateEnvironmentTest, OnlyACopyNotInstalledWithAFeedOrAnyCopyWithATestFeedUpdatesItself) {
    const QString testFeed(UpdateEnvironment::testFeedVariable);
    const QString testInstall(UpdateEnvironment::testInstallVariable);
    EXPECT_EQ(environment(releaseInfo()).updateSource(), UpdateSource::feed);
    EXPECT_TRUE(environment(releaseInfo(), "/opt/pellucine/pellucine").canUpdateItself());
    EXPECT_EQ(installedRelease().updateSource(), UpdateSource::packageManager);
    EXPECT_FALSE(installedRelease().canUpdateItself());
    UpdateEnvironment installedWithoutFeed = environment({});
    installedWithoutFeed.installed = true;
    EXPECT_EQ(installedWithoutFeed.updateSource(), UpdateSource::packageManager);
    EXPECT_EQ(environment({{"SUFeedURL", 42}}).updateSource(), UpdateSource::none);
    EXPECT_EQ(environment({}).updateSource(), UpdateSource::none);
    EXPECT_FALSE(environment({}).canUpdateItself());
    UpdateEnvironment installedUnderTest = installedRelease();
    installedUnderTest.variables.insert(testFeed, "http://127.0.0.1/f");
    EXPECT_EQ(installedUnderTest.updateSource(), UpdateSource::feed);
    // An empty test feed counts as set, in any folder.
    const UpdateEnvironment empty = environment({}, "/opt/p", {{testFeed, ""}});
    EXPECT_TRUE(empty.canUpdateItself());
    EXPECT_EQ(empty.testFeed(), QString(""));
    EXPECT_EQ(empty.feed(), QString(""));
    EXPECT_EQ(environment(releaseInfo(), "/opt/p", {{testFeed, "http://127.0.0.1/f"}}).feed(),
              feed);

    EXPECT_TRUE(
        environment({}, "/opt/p", {{testFeed, "x"}, {testInstall, "1"}}).wantsTestInstall());
    EXPECT_FALSE(
        environment({}, "/opt/p", {{testFeed, "x"}, {testInstall, "true"}}).wantsTestInstall());
    EXPECT_FALSE(
        environment({}, "/opt/p", {{testFeed, "x"}, {testInstall, "01"}}).wantsTestInstall());
    EXPECT_FALSE(environment({}, "/opt/p", {{testInstall, "1"}}).wantsTestInstall());
}

TEST(UpdateEnvironmentTest, VersionsFallBackWhenMissingOrNotText) {
    EXPECT_EQ(environment(releaseInfo()).currentVersion(), "1.4");
    EXPECT_EQ(environment(releaseInfo()).buildVersion(), "140");
    EXPECT_EQ(environment({}).currentVersion(), "0.0.0");
    EXPECT_EQ(environment({}).buildVersion(), "0");
    EXPECT_EQ(
        environment({{"CFBundleShortVersionString", 2}, {"CFBundleVersion", 7}}).currentVersion(),
        "0.0.0");
    EXPECT_EQ(
        environment({{"CFBundleShortVersionString", 2}, {"CFBundleVersion", 7}}).buildVersion(),
        "0");
}

TEST_F(UpdateControllerTest, ApplyCreatesTheUpdaterOnlyWhenThisCopyCanUpdateItself) {
    make(installedRelease()).apply(MachinePreferences{});
    EXPECT_FALSE(controller->hasUpdater());
    EXPECT_EQ(updaters.createdCount(), 0);

    make();
    MachinePreferences preferences;
    preferences.updateChannel = UpdateChannel::beta;
    controller->apply(preferences);
    ASSERT_EQ(updaters.createdCount(), 1);
    EXPECT_TRUE(engine().automaticallyChecksForUpdates());
    EXPECT_FALSE(engine().automaticallyDownloadsUpdates());
    EXPECT_EQ(engine().updateCheckInterval(), std::chrono::hours(24));
    // The stored record keeps its channel; the controller stays on stable.
    EXPECT_EQ(controller->preferences().updateChannel, UpdateChannel::beta);
    EXPECT_EQ(controller->channel(), UpdateChannel::stable);
    EXPECT_TRUE(controller->allowedChannels().isEmpty());

    // A later record reconfigures the same updater.
    preferences.automaticUpdateChecks = false;
    controller->apply(preferences);
    EXPECT_EQ(updaters.createdCount(), 1);
    EXPECT_FALSE(engine().automaticallyChecksForUpdates());
}

TEST_F(UpdateControllerTest, TheUpdatersLastCheckFillsAnUnknownLastCheckOnce) {
    const QDateTime earlier = now().addDays(-3);
    updaters.setLastUpdateCheckDate(earlier);
    make().apply(MachinePreferences{});
    EXPECT_EQ(controller->lastChecked().value(), earlier);
}

TEST_F(UpdateControllerTest, FollowedPreferencesReachTheUpdaterFromAnySource) {
    make().apply(MachinePreferences{});
    Observable<MachinePreferences> preferences;
    controller->follow(preferences);
    // A whole new record, as Reset All assigns it.
    MachinePreferences off;
    off.automaticUpdateChecks = false;
    preferences.set(off);
    EXPECT_FALSE(engine().automaticallyChecksForUpdates());
    EXPECT_FALSE(controller->preferences().automaticUpdateChecks);
    preferences.modify([](MachinePreferences& p) { p.automaticUpdateChecks = true; });
    EXPECT_TRUE(engine().automaticallyChecksForUpdates());
    // Other fields do not re-apply.
    engine().setAutomaticallyChecksForUpdates(false);
    preferences.modify([](MachinePreferences& p) { p.showMenuBarIcon = false; });
    EXPECT_FALSE(engine().automaticallyChecksForUpdates());
}

TEST_F(UpdateControllerTest, CheckNowNeedsAFeedAndAWillingUpdater) {
    make(environment({{"CFBundleShortVersionString", "1.4"}})).checkNow();
    EXPECT_EQ(controller->note().value(), QString("This build carries no update feed."));
    EXPECT_EQ(updaters.createdCount(), 0);

    make();
    controller->note().set(QStringLiteral("earlier"));
    controller->apply(MachinePreferences{});
    engine().setCanCheckForUpdates(false);
    controller->checkNow();
    EXPECT_EQ(engine().userChecks(), 0);
    EXPECT_EQ(controller->note().value(), QString("earlier"));
    EXPECT_EQ(activations, 0);

    engine().setCanCheckForUpdates(true);
    controller->checkNow();
    EXPECT_EQ(engine().userChecks(), 1);
    EXPECT_FALSE(controller->note().value());
    EXPECT_EQ(activations, 1);
    EXPECT_TRUE(events.events().empty());
}

TEST_F(UpdateControllerTest, CheckNowOutsideApplicationsStartsTheUpdaterButMayNotInstall) {
    make(installedRelease()).checkNow();
    ASSERT_EQ(updaters.createdCount(), 1);
    EXPECT_EQ(engine().userChecks(), 1);
    EXPECT_FALSE(controller->mayInstallUpdates());
}

TEST_F(UpdateControllerTest, ProbeIsGatedAndRecordsItsStart) {
    make(installedRelease()).checkInBackground();
    EXPECT_EQ(updaters.createdCount(), 0);
    EXPECT_FALSE(controller->checking().value());

    make();
    controller->note().set(QStringLiteral("earlier"));
    controller->failed().set(true);
    probe();
    EXPECT_EQ(engine().probes(), 1);
    EXPECT_TRUE(controller->checking().value());
    EXPECT_FALSE(controller->failed().value());
    EXPECT_FALSE(controller->note().value());
    EXPECT_EQ(controller->checkGeneration(), 1);
    ASSERT_EQ(events.names(), QStringList{"update-check-started"});
    EXPECT_EQ(events.events()[0].fields,
              (EventFields{{"channel", "stable"}, {"currentVersion", "1.4"}}));
}

TEST_F(UpdateControllerTest, ProbeDuringASessionChangesNothing) {
    make().apply(MachinePreferences{});
    engine().setSessionInProgress(true);
    controller->note().set(QStringLiteral("kept"));
    controller->checkInBackground();
    EXPECT_EQ(engine().probes(), 0);
    EXPECT_FALSE(controller->checking().value());
    EXPECT_EQ(controller->note().value(), QString("kept"));
    EXPECT_EQ(controller->checkGeneration(), 0);
    EXPECT_TRUE(events.events().empty());
    EXPECT_EQ(scheduler.pendingCount(), 0u);
}

TEST_F(UpdateControllerTest, UnansweredProbeStopsAfterTheWatchdogFailingOnlyWhenNothingIsKnown) {
    struct Case {
        UpdateAvailability before;
        bool failed;
    };
    for (const Case& c :
         {Case{UpdateAvailability::unknown(), true}, Case{UpdateAvailability::upToDate(), false},
          Case{UpdateAvailability::available("1.5"), false}}) {
        make();
        controller->availability().set(c.before);
        probe();
        scheduler.advance(UpdateController::watchdogSeconds - 0.001);
        EXPECT_TRUE(controller->checking().value());
        scheduler.advance(0.001);
        EXPECT_FALSE(controller->checking().value());
        EXPECT_EQ(controller->failed().value(), c.failed);
        EXPECT_EQ(controller->availability().value(), c.before);
    }
}

TEST_F(UpdateControllerTest, OnlyTheLatestProbesWatchdogEndsTheSpinner) {
    make();
    probe();
    controller->didNotFindUpdate();
    finish(UpdaterErrorCode::noUpdate);
    scheduler.advance(10.0);
    controller->checkInBackground();
    EXPECT_EQ(controller->checkGeneration(), 2);
    // The first probe's deadline passes: the second probe still runs.
    scheduler.advance(UpdateController::watchdogSeconds - 10.0);
    EXPECT_TRUE(controller->checking().value());
    scheduler.advance(10.0);
    EXPECT_FALSE(controller->checking().value());
    EXPECT_FALSE(controller->failed().value());
}

TEST_F(UpdateControllerTest, AnswersTakeEffectOnTheNextTurnInOrder) {
    make();
    probe();
    controller->note().set(QStringLiteral("kept by a find"));
    scheduler.advance(5.0);
    controller->didFindValidUpdate(item("1.5"));
    controller->didFinishUpdateCycle(UpdateCheck::updateInformation, std::nullopt);
    EXPECT_TRUE(controller->checking().value());
    EXPECT_EQ(controller->availability().value(), UpdateAvailability::unknown());

    scheduler.runUntilIdle();
    EXPECT_FALSE(controller->checking().value());
    EXPECT_FALSE(controller->failed().value());
    EXPECT_EQ(controller->availability().value(), UpdateAvailability::available("1.5"));
    EXPECT_EQ(controller->lastChecked().value(), now());
    EXPECT_EQ(controller->note().value(), QString("kept by a find"));
    EXPECT_EQ(events.last("update-available")->fields,
              (EventFields{{"offeredVersion", "1.5"}, {"channel", "stable"}}));
    EXPECT_EQ(controller->availability().value().menuItemText(),
              (UpdateAvailability::MenuItemText{"v1.5 Available", "Click to learn more…"}));

    controller->didNotFindUpdate();
    scheduler.runUntilIdle();
    EXPECT_EQ(controller->availability().value(), UpdateAvailability::upToDate());
    EXPECT_FALSE(controller->note().value());
    EXPECT_FALSE(controller->availability().value().menuItemText());
    EXPECT_EQ(events.last("update-none")->fields, (EventFields{{"currentVersion", "1.4"}}));
}

TEST_F(UpdateControllerTest, CycleErrorsSetTheNoteOrTheFailureByCode) {
    make();
    probe();
    controller->didNotFindUpdate();
    finish(UpdaterErrorCode::noUpdate);
    // "No update" after the not-found answer: nothing more, and no failure event.
    EXPECT_EQ(controller->availability().value(), UpdateAvailability::upToDate());
    EXPECT_FALSE(controller->note().value());
    EXPECT_EQ(events.count("update-check-failed"), 0);

    finish(1005);
    EXPECT_EQ(controller->note().value(),
              QString("PELLUCINE couldn’t check for updates (code 1005). Try again later."));
    EXPECT_EQ(events.last("update-check-failed")->fields, (EventFields{{"errorCode", "1005"}}));
    EXPECT_EQ(controller->availability().value(), UpdateAvailability::upToDate());

    finish(UpdaterErrorCode::installationCanceled);
    EXPECT_FALSE(controller->note().value());
    EXPECT_EQ(events.count("update-check-failed"), 1);

    controller->note().set(QStringLiteral("cleared by a server failure"));
    finish(UpdaterErrorCode::appcast);
    EXPECT_EQ(controller->availability().value(), UpdateAvailability::unknown());
    EXPECT_TRUE(controller->failed().value());
    EXPECT_FALSE(controller->note().value());
    EXPECT_EQ(events.last("update-check-failed")->fields, (EventFields{{"errorCode", "1002"}}));

    finish(UpdaterErrorCode::signature);
    EXPECT_EQ(controller->note().value(),
              QString("The update didn’t pass its signature check, so it was not installed."));
    EXPECT_TRUE(controller->failed().value());
    EXPECT_FALSE(controller->checking().value());
}

TEST(UpdateControllerMessagesTest, FailureMessagesByCode) {
    const QString server =
        "The update server didn’t answer. Nothing to fix on your end; try again later.";
    for (int code : {1000, 1002, 1004, 1007}) {
        EXPECT_EQ(UpdateController::failureMessage(code), server) << code;
    }
    EXPECT_EQ(UpdateController::failureMessage(1001), QString("You’re on the newest version."));
    EXPECT_EQ(UpdateController::failureMessage(2001),
              QString("The update couldn’t be downloaded. Check your connection and try again."));
    for (int code : {3001, 3002, 4009}) {
        EXPECT_EQ(UpdateController::failureMessage(code),
                  QString("The update didn’t pass its signature check, so it was not installed."));
    }
    EXPECT_EQ(UpdateController::failureMessage(4006),
              QString("The server offered an older version than this one, so nothing changed."));
    EXPECT_FALSE(UpdateController::failureMessage(4007));
    EXPECT_EQ(UpdateController::failureMessage(4008),
              QString("The update will install the next time PELLUCINE quits."));
    for (int code : {1003, 1005, 1006, 0, -1}) {
        EXPECT_EQ(
            UpdateController::failureMessage(code),
            QString("PELLUCINE couldn’t check for updates (code %1). Try again later.").arg(code));
    }
}

TEST_F(UpdateControllerTest, RelaunchAndAlertNoticesReachTheHost) {
    make();
    controller->willRelaunchApplication();
    EXPECT_EQ(settingsRemembered, 1);
    controller->willShowModalAlert();
    EXPECT_EQ(activations, 0);
    scheduler.runUntilIdle();
    EXPECT_EQ(activations, 1);
    EXPECT_FALSE(controller->shouldHandleShowingScheduledUpdate(item("1.5"), true));
    EXPECT_EQ(controller->feedURLString(), std::nullopt);
}

TEST_F(UpdateControllerTest, AnswersForAGoneControllerAreDropped) {
    make();
    probe();
    controller->didFindValidUpdate(item("1.5"));
    controller.reset();
    scheduler.runUntilIdle();
    scheduler.advance(UpdateController::watchdogSeconds);
    EXPECT_EQ(events.count("update-available"), 0);
}

}  // namespace
}  // namespace pellucine
