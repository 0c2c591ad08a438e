#include <gtest/gtest.h>

#include <memory>

#include "base/ManualScheduler.h"
#include "base/RecordingEventLog.h"
#include "platform/sim/SimulatedDesktop.h"
#include "preferences/PermissionService.h"
#include "support/QtPrinters.h"

namespace pellucine {
namespace {

using State = PermissionState;
using Kind = PermissionKind;

class PermissionServiceTest : public ::testing::Test {
  protected:
    // The live test lists the shareable windows: it works whenever pictures would, whatever
    // the quick check says.
    std::unique_ptr<PermissionService> makeService() {
        desktop.simulatedCapture().setContentDelay(liveTestTime);
        return std::make_unique<PermissionService>(
            desktop, scheduler, events, [this] { steps << QStringLiteral("event log written"); });
    }
    int liveTests() { return desktop.simulatedCapture().contentFetchCount(); }

    SimulatedPermissions& permissions() { return desktop.simulatedPermissions(); }
    SimulatedSession& shell() { return desktop.simulatedSession(); }
    QStringList eventNames() const { return events.names(); }
    EventFields status(const QString& source, State accessibility, State screenRecording) {
        return {{QStringLiteral("source"), source},
                {QStringLiteral("accessibility"), rawValue(accessibility)},
                {QStringLiteral("screenRecording"), rawValue(screenRecording)}};
    }

    ManualScheduler scheduler;
    SimulatedDesktop desktop{scheduler};
    RecordingEventLog events;
    Duration liveTestTime = seconds(0.1);
    QStringList steps;
};

TEST_F(PermissionServiceTest, LaunchAlwaysRecordsAndAnUnchangedRefreshNever) {
    permissions().setScreenCapture(SimulatedPermission::denied);
    auto service = makeService();
    EXPECT_EQ(service->accessibility().value(), State::granted);
    EXPECT_EQ(service->screenRecording().value(), State::denied);
    ASSERT_EQ(events.count(QStringLiteral("permission-status")), 1);
    EXPECT_EQ(events.last(QStringLiteral("permission-status"))->fields,
              status(QStringLiteral("launch"), State::granted, State::denied));

    // Every refresh stores both states; only a change is recorded.
    int stores = 0;
    const Subscription counting = service->screenRecording().subscribe([&](State) { ++stores; });
    for (const char* source : {"timer", "menu-opened", "application-became-active"}) {
        service->refresh(QString::fromLatin1(source));
    }
    EXPECT_EQ(stores, 3);
    EXPECT_EQ(events.count(QStringLiteral("permission-status")), 1);
    // A later refresh called "launch" records again.
    service->refresh(QStringLiteral("launch"));
    EXPECT_EQ(events.count(QStringLiteral("permission-status")), 2);
    EXPECT_EQ(liveTests(), 0) << "nothing was asked for";
}

TEST_F(PermissionServiceTest, EachChangeIsRecordedOnceWithTheSourceThatSawIt) {
    auto service = makeService();
    events.clear();
    desktop.setTrusted(false);
    service->refresh(QStringLiteral("timer"));
    service->refresh(QStringLiteral("timer"));
    permissions().setScreenCapture(SimulatedPermission::denied);
    service->refresh(QStringLiteral("onboarding-poll"));
    desktop.setTrusted(true);
    permissions().setScreenCapture(SimulatedPermission::granted);
    service->refresh(QStringLiteral("menu-opened"));

    ASSERT_EQ(events.events().size(), 3u);
    EXPECT_EQ(events.events()[0].fields,
              status(QStringLiteral("timer"), State::denied, State::granted));
    EXPECT_EQ(events.events()[1].fields,
              status(QStringLiteral("onboarding-poll"), State::denied, State::denied));
    EXPECT_EQ(events.events()[2].fields,
              status(QStringLiteral("menu-opened"), State::granted, State::granted));
}

TEST_F(PermissionServiceTest,
       ScreenRecordingAskedForButRefusedNeedsARelaunchAndFallsBackToSettings) {
    permissions().setScreenCapture(SimulatedPermission::denied);
    auto service = makeService();
    events.clear();

    service->request(Kind::screenRecording);
    EXPECT_EQ(permissions().prompts(), QStringList{QStringLiteral("screen capture")});
    EXPECT_EQ(service->screenRecording().value(), State::restartRequired)
        << "published by the refresh inside the request";
    EXPECT_TRUE(service->isScreenProbeInFlight());
    EXPECT_EQ(service->requested().value(), std::set<Kind>{Kind::screenRecording});
    EXPECT_EQ(eventNames(), (QStringList{QStringLiteral("permission-request"),
                                         QStringLiteral("permission-status")}));
    EXPECT_EQ(events.events()[0].fields,
              (EventFields{{QStringLiteral("permission"), QStringLiteral("screenRecording")},
                           {QStringLiteral("result"), QStringLiteral("false")}}));
    EXPECT_EQ(events.events()[1].fields,
              status(QStringLiteral("request"), State::granted, State::restartRequired));

    scheduler.advance(0.5);
    EXPECT_EQ(liveTests(), 1);
    EXPECT_FALSE(service->isScreenProbeInFlight());
    EXPECT_EQ(service->screenRecording().value(), State::restartRequired);
    const auto probe = events.last(QStringLiteral("screen-recording-live-probe"));
    ASSERT_TRUE(probe);
    EXPECT_EQ(probe->fields,
              (EventFields{
                  {QStringLiteral("result"), QStringLiteral("relaunch-required")},
                  {QStringLiteral("errorType"), QStringLiteral("pellucine.ScreenCaptureError")}}));
    EXPECT_TRUE(shell().openedUrls().isEmpty());

    events.clear();
    scheduler.advance(1.0);
    ASSERT_EQ(shell().openedUrls().size(), 1);
    EXPECT_EQ(shell().openedUrls()[0].toString(),
              QStringLiteral(
                  "x-apple.systempreferences:com.apple.preference.security?Privacy_ScreenCapture"));
    // The fallback's refresh changes nothing, so only the fallback itself is recorded, and the
    // refresh tries the live test again.
    EXPECT_EQ(eventNames().first(), QStringLiteral("permission-settings-fallback"));
    EXPECT_EQ(events.count(QStringLiteral("permission-status")), 0);
    EXPECT_EQ(liveTests(), 2);
    scheduler.advance(1.0);  // lets the second live test end
}

TEST_F(PermissionServiceTest, AGrantWithinTheDelayOrAGoneServiceOpensNothing) {
    desktop.setTrusted(false);
    auto service = makeService();
    service->request(Kind::accessibility);
    EXPECT_EQ(events.last(QStringLiteral("permission-request"))->fields.value("result"),
              QStringLiteral("false"));
    scheduler.advance(1.0);
    desktop.setTrusted(true);
    events.clear();
    scheduler.advance(1.0);
    EXPECT_TRUE(events.events().empty()) << "the fallback asks the system, not the published state";
    EXPECT_TRUE(shell().openedUrls().isEmpty());

    desktop.setTrusted(false);
    service->request(Kind::accessibility);
    service.reset();
    scheduler.advance(2.0);
    EXPECT_TRUE(shell().openedUrls().isEmpty());
}

TEST_F(PermissionServiceTest, AnAnsweredPromptIsSeenByTheRequestsOwnRefresh) {
    desktop.setTrusted(false);
    permissions().setAccessibilityAnswer(SimulatedPermission::granted);
    auto service = makeService();
    service->request(Kind::accessibility);
    service->request(Kind::accessibility);
    EXPECT_EQ(service->accessibility().value(), State::granted);
    EXPECT_EQ(events.last(QStringLiteral("permission-request"))->fields.value("result"),
              QStringLiteral("true"));
    EXPECT_EQ(events.last(QStringLiteral("permission-status"))->fields.value("source"),
              QStringLiteral("request"));
    EXPECT_EQ(service->requested().value(), std::set<Kind>{Kind::accessibility});
    EXPECT_FALSE(service->screenRecordingWasRequested());
    scheduler.advance(2.0);
    EXPECT_TRUE(shell().openedUrls().isEmpty());
}

TEST_F(PermissionServiceTest, OpeningTheScreenRecordingPaneAsksForARelaunchBeforeItOpens) {
    auto service = makeService();
    events.clear();
    qsizetype urlsWhenPublished = -1;
    const Subscription watching = service->screenRecording().subscribe(
        [&](State) { urlsWhenPublished = shell().openedUrls().size(); });

    service->openSettings(Kind::accessibility);
    EXPECT_EQ(urlsWhenPublished, -1) << "no state changes for Accessibility";
    EXPECT_EQ(shell().openedUrls().last().query(), QStringLiteral("Privacy_Accessibility"));

    service->openSettings(Kind::screenRecording);
    EXPECT_EQ(urlsWhenPublished, 1);
    EXPECT_EQ(service->screenRecording().value(), State::restartRequired)
        << "whatever the system check says";
    EXPECT_TRUE(service->screenRecordingWasRequested());
    EXPECT_EQ(eventNames(), (QStringList{QStringLiteral("permission-settings-opened"),
                                         QStringLiteral("permission-settings-opened")}));
    EXPECT_EQ(events.events()[1].fields.value("permission"), QStringLiteral("screenRecording"));
    EXPECT_TRUE(service->requested().value().empty());

    // A refused link is simply not opened.
    shell().setRefusesUrls(true);
    service->openSettings(Kind::screenRecording);
    EXPECT_EQ(events.count(QStringLiteral("permission-settings-opened")), 3);
}

TEST_F(PermissionServiceTest, AfterALiveTestWorksScreenRecordingStaysGranted) {
    permissions().setScreenCapture(SimulatedPermission::denied);
    permissions().setScreenCaptureAnswer(SimulatedPermission::awaitingRelaunch);
    auto service = makeService();
    service->request(Kind::screenRecording);
    scheduler.advance(0.5);
    EXPECT_EQ(service->screenRecording().value(), State::granted);
    scheduler.advance(1.5);  // past the request's fallback
    EXPECT_EQ(events.last(QStringLiteral("screen-recording-live-probe"))->fields.value("result"),
              QStringLiteral("working"));

    events.clear();
    QList<State> changes;
    const Subscription watching =
        service->screenRecording().subscribeDistinct([&](State s) { changes << s; });
    for (int i = 0; i < 10; ++i) {
        service->refresh(QStringLiteral("onboarding-poll"));
        scheduler.advance(1.0);
    }
    EXPECT_TRUE(changes.isEmpty()) << "the quick check still says no, but pictures work";
    EXPECT_TRUE(events.events().empty()) << "no status flood in the event log";
    EXPECT_EQ(liveTests(), 1);
}

TEST_F(PermissionServiceTest, OnlyOneLiveTestRunsAtATime) {
    permissions().setScreenCapture(SimulatedPermission::denied);
    liveTestTime = seconds(5);
    auto service = makeService();
    service->openSettings(Kind::screenRecording);
    for (int i = 0; i < 4; ++i) {
        service->refresh(QStringLiteral("onboarding-poll"));
        scheduler.advance(1.0);
    }
    EXPECT_EQ(liveTests(), 1);
    EXPECT_TRUE(service->isScreenProbeInFlight());
    scheduler.advance(1.0);
    EXPECT_FALSE(service->isScreenProbeInFlight());
    service->refresh(QStringLiteral("timer"));
    scheduler.runUntilIdle();
    EXPECT_EQ(liveTests(), 2);
    scheduler.advance(5.0);
}

TEST_F(PermissionServiceTest, ALiveTestEndingAfterItsServiceDoesNothing) {
    permissions().setScreenCapture(SimulatedPermission::awaitingRelaunch);
    auto service = makeService();
    service->openSettings(Kind::screenRecording);
    service->refresh(QStringLiteral("timer"));
    scheduler.runUntilIdle();
    ASSERT_EQ(liveTests(), 1);
    service.reset();
    events.clear();
    scheduler.advance(1.0);
    EXPECT_TRUE(events.events().empty());
}

TEST_F(PermissionServiceTest, RelaunchWritesTheLogThenStartsTheNewInstanceThenQuits) {
    auto service = makeService();
    events.clear();
    service->relaunch();
    EXPECT_EQ(steps, QStringList{QStringLiteral("event log written")});
    EXPECT_EQ(eventNames(), QStringList{QStringLiteral("relaunch-requested")});
    EXPECT_EQ(events.events()[0].fields.value("reason"), QStringLiteral("permission-refresh"));
    EXPECT_EQ(shell().newInstanceAttempts(), 0) << "after the log";
    scheduler.runUntilIdle();
    EXPECT_EQ(shell().newInstancesStarted(), 1);
    EXPECT_EQ(shell().terminationRequests(), 1);
}

TEST_F(PermissionServiceTest, ARelaunchThatCannotStartKeepsThisInstanceRunning) {
    auto service = makeService();
    shell().failNewInstances(QStringLiteral("no such file"));
    service->relaunch();
    scheduler.runUntilIdle();
    EXPECT_EQ(shell().terminationRequests(), 0);
    const auto failure = events.last(QStringLiteral("relaunch-open-failed"));
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->fields.value("errorType"),
              QStringLiteral("pellucine.ApplicationLaunchError"));

    // A later try that works still quits.
    shell().failNewInstances(std::nullopt);
    service->relaunch();
    scheduler.runUntilIdle();
    EXPECT_EQ(shell().terminationRequests(), 1);
}

TEST(PermissionServiceLinks, EachKindOpensItsOwnPane) {
    for (const Kind kind : allPermissionKinds) {
        const QUrl url = PermissionService::settingsUrl(kind);
        EXPECT_TRUE(url.isValid());
        EXPECT_EQ(url.toString(), QStringLiteral("x-apple.systempreferences:com.apple.preference."
                                                 "security?") +
                                      PermissionService::settingsPane(kind));
    }
    EXPECT_NE(PermissionService::settingsPane(Kind::accessibility),
              PermissionService::settingsPane(Kind::screenRecording));
}

}  // namespace
}  // namespace pellucine
