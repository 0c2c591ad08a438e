#include <gtest/gtest.h>

#include <QMenu>

#include "DelegateFixture.h"
#include "app/StatusItem.h"
#include "app/StatusMenu.h"
#include "support/OpenFailureNotices.h"
#include "support/QtPrinters.h"

namespace pellucine {
namespace {

using I = StatusMenuItem;

// The delegate over the model on the simulated desktop; the program runs as pid 1, Notes (10)
// and Mail (20) are regular applications, and a menu-bar agent (30) is an accessory one.
class AppDelegateTest : public testing::DelegateFixture {
  protected:
    static constexpr qint32 notes = 10;
    static constexpr qint32 mail = 20;
    static constexpr qint32 agent = 30;

    AppDelegateTest() {
        addApp(ownPID, "Pellucine", ActivationPolicy::accessory);
        addApp(notes, "Notes");
        addApp(mail, "Mail");
        addApp(agent, "Agent", ActivationPolicy::accessory);
        makeModel();
        model->permissions().refresh("launch");
        makeDelegate();
        delegate->setCoordinator(std::make_unique<testing::RecordingCoordinator>(log));
    }

    void front(qint32 pid) { desktop.activate(pid, {}); }
    QString showWindowsTitle() {
        return delegate->menuWillOpen().row(I::showWindows).content.title;
    }
};

TEST_F(AppDelegateTest, TheMenuTargetIsTheLastRegularApplicationOfAnotherProcessInFront) {
    EXPECT_EQ(showWindowsTitle(), "Show App Windows");
    front(notes);
    EXPECT_EQ(showWindowsTitle(), "Show Notes Windows");
    // Neither the program itself nor an accessory application replaces it.
    front(ownPID);
    EXPECT_EQ(showWindowsTitle(), "Show Notes Windows");
    front(agent);
    EXPECT_EQ(showWindowsTitle(), "Show Notes Windows");
    EXPECT_EQ(delegate->menuTargetProcessIdentifier(), notes);
    desktop.removeApplication(notes);
    EXPECT_EQ(showWindowsTitle(), "Show App Windows");
}

TEST_F(AppDelegateTest, TheMenusShowWindowsRowActsOnTheApplicationItNamed) {
    front(notes);
    delegate->menuWillOpen();
    front(mail);
    delegate->perform(I::showWindows);
    EXPECT_EQ(log, QStringList{"showWindows 10"});
    // Quit since the menu opened: nothing, rather than another application's windows.
    desktop.removeApplication(notes);
    delegate->perform(I::showWindows);
    EXPECT_EQ(log, QStringList{"showWindows 10"});
    EXPECT_EQ(events.count("menu-open-switcher"), 2);
}

TEST_F(AppDelegateTest, TheCommandActsOnTheLatestApplicationStillRunningNotAnOldMenuTarget) {
    front(notes);
    delegate->menuWillOpen();
    front(mail);
    delegate->rememberFrontmostApplication();
    delegate->openSwitcher();
    EXPECT_EQ(log, QStringList{"showWindows 20"});
    // Mail quit: the front application instead.
    desktop.removeApplication(mail);
    front(notes);
    log.clear();
    delegate->openSwitcher();
    EXPECT_EQ(log, QStringList{"showWindows 10"});
    // The program itself in front and nothing else remembered: nothing.
    desktop.removeApplication(notes);
    front(ownPID);
    log.clear();
    delegate->openSwitcher();
    EXPECT_TRUE(log.isEmpty());
}

TEST_F(AppDelegateTest, ShowingWindowsWithoutPermissionOpensTheWelcomeEvenWithATarget) {
    front(notes);
    delegate->menuWillOpen();
    desktop.simulatedPermissions().setScreenCapture(SimulatedPermission::denied);
    model->permissions().refresh("timer");
    delegate->perform(I::showWindows);
    EXPECT_EQ(windows.opened, QStringList{"onboarding"});
    EXPECT_TRUE(log.isEmpty());
    EXPECT_EQ(events.count("menu-open-switcher"), 1);
}

TEST_F(AppDelegateTest, QuitStopsTheCoordinatorFirstAndOtherActionsNeedOne) {
    delegate->perform(I::quit);
    EXPECT_EQ(log, (QStringList{"stop", "terminate"}));
    log.clear();
    front(notes);
    delegate->setCoordinator(nullptr);
    delegate->openSwitcher();
    delegate->openWindowSearch();
    settle();
    delegate->quit();
    EXPECT_EQ(log, QStringList{"terminate"});
}

TEST_F(AppDelegateTest, WindowSearchOpensOnTheNextTurnWhileTheDelegateLives) {
    delegate->perform(I::searchWindows);
    EXPECT_EQ(events.count("menu-open-window-search"), 1);
    EXPECT_TRUE(log.isEmpty());
    scheduler.runUntilIdle();
    EXPECT_EQ(log, QStringList{"windowSearch"});
    delegate->openWindowSearch();
    delegate.reset();
    scheduler.runUntilIdle();
    // Destroying the delegate stopped nothing and showed nothing more.
    EXPECT_EQ(log, QStringList{"windowSearch"});
}

TEST_F(AppDelegateTest, TheFlagRowFixesWhatItNames) {
    delegate->perform(I::flag);
    EXPECT_TRUE(windows.opened.isEmpty());
    model->windowSearchHotkeyProblem().set("Spotlight");
    delegate->perform(I::flag);
    EXPECT_EQ(windows.opened, QStringList{"settings"});
    EXPECT_EQ(model->pendingSettingsBay().value(), "switcher");
    desktop.simulatedPermissions().setAccessibility(SimulatedPermission::denied);
    delegate->menuWillOpen();
    delegate->perform(I::flag);
    EXPECT_EQ(windows.opened, (QStringList{"settings", "permissions"}));
}

TEST_F(AppDelegateTest, OpeningTheMenuReadsThePermissionsAgain) {
    desktop.simulatedPermissions().setAccessibility(SimulatedPermission::denied);
    EXPECT_FALSE(delegate->statusMenuModel().row(I::flag).visible);
    const StatusMenuModel menu = delegate->menuWillOpen();
    EXPECT_EQ(menu.row(I::flag).content.title, "Accessibility Is Off: Turn It On…");
    EXPECT_EQ(events.last("permission-status")->fields.value("source"), "menu-opened");
}

TEST_F(AppDelegateTest, ASyncFailureOrAnErrorMessageFlagsNothing) {
    const StatusMenuModel before = delegate->statusMenuModel();
    model->syncStatus().set(AppModel::SyncStatus::failed("The sync folder is not writable."));
    model->errorMessage().set("The window could not be moved.");
    EXPECT_EQ(delegate->statusMenuModel().rows, before.rows);
    EXPECT_FALSE(delegate->currentFlaggedProblem());
}

TEST_F(AppDelegateTest, RowsOpenTheirWindowsAndPages) {
    for (const I item : {I::about, I::update, I::settings, I::welcome, I::diagnostics,
                         I::reportProblem, I::website, I::header, I::separator}) {
        delegate->perform(item);
    }
    EXPECT_EQ(windows.opened, (QStringList{"settings", "settings", "settings", "onboarding",
                                           "diagnostics", "report"}));
    EXPECT_EQ(model->pendingSettingsBay().value(), "updates");
    EXPECT_EQ(events.count("report-opened"), 1);
    EXPECT_EQ(desktop.simulatedSession().openedUrls(), QList<QUrl>{QUrl("https://example.com")});
}

TEST_F(AppDelegateTest, AWebsiteNothingOpensIsOfferedForCopying) {
    desktop.simulatedSession().setRefusesUrls(true);
    delegate->perform(I::website);
    EXPECT_EQ(desktop.simulatedSession().openedUrls(), QList<QUrl>{QUrl("https://example.com")});
    EXPECT_EQ(testing::takeOpenFailureNotices(),
              (QList<std::pair<QString, QString>>{
                  {"No web browser opened the link.", "https://example.com"}}));
}

TEST_F(AppDelegateTest, ThePreviewOptionOpensTheSampleReportASecondLater) {
    delegate->applyPreviewReportOption({"--preview-report", "saved"}, "/home/u/Desktop");
    scheduler.advance(0.999);
    EXPECT_TRUE(windows.opened.isEmpty());
    scheduler.advance(0.001);
    ASSERT_EQ(windows.opened.size(), 1);
    EXPECT_EQ(windows.lastPhase,
              ReportProblem::Phase::saved("/home/u/Desktop/PELLUCINE-report-2026-09-30-0930.txt",
                                          "Could not reach Orrinvale."));
    EXPECT_EQ(events.count("report-opened"), 0);
}

TEST_F(AppDelegateTest, TheStatusItemFollowsVisibilityAndItsMenuFollowsTheState) {
    delegate->applyMenuBarVisibility(false);
    EXPECT_FALSE(delegate->isStatusItemReachable());
    delegate->installStatusItem();
    ASSERT_NE(delegate->statusItem(), nullptr);
    EXPECT_TRUE(delegate->statusItem()->isVisible());
    delegate->applyMenuBarVisibility(false);
    EXPECT_FALSE(delegate->statusItem()->isVisible());
    // The offscreen platform has no tray: the item can never be reached.
    delegate->applyMenuBarVisibility(true);
    EXPECT_FALSE(delegate->isStatusItemReachable());
    EXPECT_EQ(events.count("menu-bar-visibility"), 3);
    EXPECT_EQ(events.last("menu-bar-visibility")->fields.value("visible"), "true");
    // The installed menu has no rows until it opens; opening builds them for the application
    // in front, and they act.
    EXPECT_EQ(delegate->statusMenu()->action(I::quit), nullptr);
    front(notes);
    delegate->statusMenu()->popup({100, 100});
    EXPECT_EQ(delegate->statusMenu()->action(I::showWindows)->text(), "Show Notes Windows");
    delegate->statusMenu()->action(I::welcome)->trigger();
    EXPECT_EQ(windows.opened, QStringList{"onboarding"});
    delegate->statusMenu()->menu().hide();
}

TEST_F(AppDelegateTest, TheSharedDelegateIsTheLiveOne) {
    EXPECT_EQ(AppDelegate::shared(), delegate.get());
    delegate.reset();
    EXPECT_EQ(AppDelegate::shared(), nullptr);
}

}  // namespace
}  // namespace pellucine
