#include <gtest/gtest.h>

#include <QApplication>
#include <QtTest/QTest>

#include "coordination/ModelFixture.h"
#include "panels/WindowSearchController.h"
#include "panels/WindowSearchPanel.h"
#include "panels/WindowSearchView.h"
#include "preferences/HotkeyCenter.h"

namespace pellucine {
namespace {

constexpr quint64 shiftCommand = KeyCombo::shift | KeyCombo::command;

WindowDescriptor window(quint32 id, qint32 pid, const QString& title) {
    WindowDescriptor w;
    w.id = id;
    w.ownerPID = pid;
    w.title = title;
    w.applicationName = QStringLiteral("App %1").arg(pid);
    w.isOnScreen = true;
    return w;
}

ApplicationDescriptor application(qint32 pid, QList<WindowDescriptor> windows,
                                  bool hidden = false) {
    ApplicationDescriptor a;
    a.processIdentifier = pid;
    a.isHidden = hidden;
    a.windows = std::move(windows);
    return a;
}

// Twelve windows of two applications, and one of the program itself.
QList<ApplicationDescriptor> desk() {
    QList<WindowDescriptor> first;
    QList<WindowDescriptor> second;
    for (quint32 i = 1; i <= 6; ++i) {
        first.append(window(i, 10, QStringLiteral("Draft %1").arg(i)));
        second.append(window(i + 6, 20, QStringLiteral("Inbox %1").arg(i)));
    }
    // The fixture runs the program as pid 1.
    return {application(10, first), application(1, {window(99, 1, QStringLiteral("Settings"))}),
            application(20, second, true)};
}

class WindowSearchControllerTest : public testing::ModelFixture {
  protected:
    void SetUp() override {
        makeModel(&scripted);
        model->permissions().accessibility().set(PermissionState::granted);
        controller = makeController();
    }

    std::unique_ptr<WindowSearchController> makeController() {
        WindowSearchController::Platform platform{desktop, scheduler, events, hotkeys};
        platform.conflictSources = [this] { return sources; };
        platform.needsPermissions = [this] { ++permissionRequests; };
        return std::make_unique<WindowSearchController>(
            *model, [this] { return recent; }, std::move(platform));
    }

    void setHotkey(bool enabled, KeyCombo combo = {49, shiftCommand}) {
        MachinePreferences preferences = model->machinePreferences().value();
        preferences.windowSearchEnabled = enabled;
        preferences.windowSearchHotkey = combo;
        model->machinePreferences().set(preferences);
    }

    // Shows the panel over `desk()`; the refresh the opening starts finds the same windows.
    void open() {
        model->applications().set(desk());
        scripted.snapshots.push_back({desk(), 0.5});
        controller->show();
    }

    QLineEdit& field() { return *controller->view()->field(); }

    HotkeyCenter hotkeys{desktop.simulatedHotkeys(), scheduler, events};
    HotkeyConflicts::Sources sources;
    QList<qint32> recent;
    int permissionRequests = 0;
    QList<std::optional<QString>> problems;
    std::unique_ptr<WindowSearchController> controller;
};

TEST_F(WindowSearchControllerTest, HotkeyRegistrationReportsEachOutcome) {
    controller->setOnHotkeyProblemChange([this](const std::optional<QString>& problem) {
        // Reported before the event is written.
        problems.append(problem);
        EXPECT_EQ(events.count(QStringLiteral("window-search-hotkey")), problems.size() - 1);
    });
    const auto result = [this] {
        return events.last(QStringLiteral("window-search-hotkey"))->fields.value("result");
    };
    // Bits beyond the four modifiers are not registered.
    setHotkey(true, {49, shiftCommand | 0x10000});
    controller->registerHotkey();
    EXPECT_EQ(result(), QStringLiteral("registered"));
    ASSERT_EQ(desktop.simulatedHotkeys().registrations().size(), 1);
    EXPECT_EQ(desktop.simulatedHotkeys().registrations().first().modifiers, shiftCommand);

    sources.desktopShortcuts.append({{49, shiftCommand}, QStringLiteral("the desktop's launcher")});
    controller->registerHotkey();
    EXPECT_EQ(result(), QStringLiteral("registered-shared"));
    EXPECT_EQ(controller->hotkeyProblem(), QStringLiteral("the desktop's launcher"));
    // The old registration went first.
    EXPECT_EQ(desktop.simulatedHotkeys().registrations().size(), 1);

    desktop.simulatedHotkeys().holdByAnotherClient(49, shiftCommand);
    controller->registerHotkey();
    EXPECT_EQ(result(), QStringLiteral("not-registered"));
    EXPECT_EQ(controller->hotkeyProblem(), QStringLiteral("the desktop's launcher"));
    EXPECT_FALSE(controller->hotkeyID());

    sources = {};
    controller->registerHotkey();
    EXPECT_EQ(result(), QStringLiteral("not-registered"));
    EXPECT_EQ(controller->hotkeyProblem(), QStringLiteral("another app"));

    desktop.simulatedHotkeys().releaseByAnotherClient(49, shiftCommand);
    controller->registerHotkey();
    EXPECT_TRUE(controller->hotkeyID());
    // Switched off: the registration ends, the problem clears, nothing is written.
    setHotkey(false);
    controller->registerHotkey();
    EXPECT_FALSE(controller->hotkeyProblem());
    EXPECT_TRUE(desktop.simulatedHotkeys().registrations().isEmpty());
    EXPECT_EQ(events.count(QStringLiteral("window-search-hotkey")), 5);
    EXPECT_EQ(problems.size(), 6);
    EXPECT_FALSE(problems.last());
}

TEST_F(WindowSearchControllerTest, TheHotkeyTogglesThePanelAndReopeningClearsTheQuery) {
    // Each opening is announced before the panel is on screen, so that panels floating above
    // every window can make way for it.
    QList<bool> shownAtOpening;
    controller->setOnOpening(
        [this, &shownAtOpening] { shownAtOpening.append(controller->isPanelVisible()); });
    controller->registerHotkey();
    for (int i = 0; i < 2; ++i) {
        scripted.snapshots.push_back({desk(), 0.5});
    }
    model->applications().set(desk());
    desktop.simulatedHotkeys().press(49, shiftCommand);
    settle();
    ASSERT_TRUE(controller->isPanelVisible());
    field().setText(QStringLiteral("inbox"));
    EXPECT_EQ(controller->search().results().size(), 6);
    desktop.simulatedHotkeys().press(49, shiftCommand);
    settle();
    EXPECT_FALSE(controller->isPanelVisible());
    // Closing keeps the text until the next opening.
    EXPECT_EQ(controller->search().query(), QStringLiteral("inbox"));
    EXPECT_TRUE(controller->search().results().isEmpty());
    desktop.simulatedHotkeys().press(49, shiftCommand);
    settle();
    EXPECT_TRUE(controller->isPanelVisible());
    EXPECT_EQ(field().text(), QString());
    EXPECT_EQ(controller->search().results().size(), 12);
    EXPECT_EQ(shownAtOpening, (QList<bool>{false, false}));
    // Once the controller is gone, the hotkey is let go.
    controller.reset();
    EXPECT_TRUE(desktop.simulatedHotkeys().registrations().isEmpty());
}

TEST_F(WindowSearchControllerTest, WithoutAccessibilityNoPanelOpens) {
    model->permissions().accessibility().set(PermissionState::denied);
    controller->show();
    EXPECT_EQ(permissionRequests, 1);
    EXPECT_EQ(controller->panel(), nullptr);
    EXPECT_EQ(events.count(QStringLiteral("window-search-opened")), 0);
}

TEST_F(WindowSearchControllerTest, OpensBelowTheTopOfTheScreenUnderThePointer) {
    // Nothing to list: the smallest panel, a fifth of the screen's height below its top.
    controller->show();
    EXPECT_EQ(controller->panelFrame(), (ScreenRect{390, 545, 660, 155}));
    EXPECT_EQ(events.last(QStringLiteral("window-search-opened"))->fields.value("windowCount"),
              QStringLiteral("0"));
    controller->close();

    desktop.setDisplays({{1, {0, 0, 1440, 900}, {0, 25, 1440, 875}},
                         {2, {1440, 0, 1920, 1080}, {1440, 0, 1920, 1080}}});
    desktop.simulatedPointer().moveTo({2000, 800});
    open();
    // Twelve windows of other applications; the program's own is never listed.
    EXPECT_EQ(controller->search().totalCount(), 12);
    EXPECT_EQ(events.last(QStringLiteral("window-search-opened"))->fields.value("windowCount"),
              QStringLiteral("12"));
    // x = 1440 + 960 − 330, y = 1080 − 216 − 533 − 180 (the second screen's top lies 180
    // below the main screen's).
    EXPECT_EQ(controller->panelFrame(), (ScreenRect{2070, 151, 660, 533}));

    // Typing keeps the top edge where it was.
    field().setText(QStringLiteral("inbox 3"));
    EXPECT_EQ(controller->panelFrame(), (ScreenRect{2070, 684 - 155, 660, 155}));
    // Outside every screen: the main one.
    controller->close();
    desktop.simulatedPointer().moveTo({-50, 800});
    controller->show();
    EXPECT_EQ(controller->panelFrame(), (ScreenRect{390, 167, 660, 533}));
}

TEST_F(WindowSearchControllerTest, KeysMoveCommitAndClose) {
    open();
    QLineEdit& input = field();
    // Plain P and N are typed; with Control, whatever else is held, they move.
    QTest::keyClick(&input, Qt::Key_P);
    QTest::keyClick(&input, Qt::Key_N);
    EXPECT_EQ(input.text(), QStringLiteral("pn"));
    input.clear();
    QTest::keyClick(&input, Qt::Key_Down);
    QTest::keyClick(&input, Qt::Key_N, Qt::ControlModifier);
    QTest::keyClick(&input, Qt::Key_PageDown);
    EXPECT_EQ(controller->search().selectedID(),
              controller->search().results()[10].candidate.window.id);
    QTest::keyClick(&input, Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(&input, Qt::Key_PageUp);
    EXPECT_EQ(controller->search().selectedID(),
              controller->search().results()[1].candidate.window.id);
    // Return with nothing to commit is taken and the panel stays.
    input.setText(QStringLiteral("zq"));
    QTest::keyClick(&input, Qt::Key_Return);
    EXPECT_TRUE(controller->isPanelVisible());
    EXPECT_EQ(events.count(QStringLiteral("window-search-committed")), 0);
    QTest::keyClick(&input, Qt::Key_Escape);
    EXPECT_FALSE(controller->isPanelVisible());
}

TEST_F(WindowSearchControllerTest, CommitUnhidesTheApplicationAndFocusesTheWindow) {
    addApp(20, QStringLiteral("Mailer"));
    desktop.hide(20);
    open();
    field().setText(QStringLiteral("inbox 3"));
    ASSERT_EQ(controller->search().results().size(), 1);
    QTest::keyClick(&field(), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_FALSE(controller->isPanelVisible());
    EXPECT_FALSE(desktop.runningApplication(20)->isHidden);
    EXPECT_EQ(scripted.actions, (QStringList{QStringLiteral("focus 9")}));
    EXPECT_EQ(
        events.last(QStringLiteral("window-search-committed"))->fields.value("requestedCount"),
        QStringLiteral("1"));
    EXPECT_TRUE(controller->search().results().isEmpty());
    // A failing focus is the model's to report; the panel is closed either way.
    scripted.failActions = true;
    open();
    controller->commit(window(1, 10, QStringLiteral("Draft 1")));
    EXPECT_FALSE(controller->isPanelVisible());
    EXPECT_EQ(events.count(QStringLiteral("window-action-failed")), 1);
}

TEST_F(WindowSearchControllerTest, TheRefreshRelistsOnlyForTheOpenPanel) {
    model->applications().set(desk());
    QList<ApplicationDescriptor> fresh = desk();
    fresh[0].windows.removeFirst();
    scripted.snapshots.push_back({fresh, 1.0});
    controller->show();
    controller->search().setSelectedID(8);
    settle();
    // One window fewer; the selection stays on its window although it moved up.
    EXPECT_EQ(controller->search().totalCount(), 11);
    EXPECT_EQ(controller->search().selectedID(), 8u);
    EXPECT_FALSE(controller->isRefreshing());

    // Closed while the model refreshes: nothing is listed again.
    scripted.snapshots.push_back({desk(), 1.0});
    controller->show();
    controller->close();
    settle();
    EXPECT_TRUE(controller->search().candidates().isEmpty());

    // Reopened while the first refresh runs: only the second one lists.
    scripted.snapshots.push_back({fresh, 1.0});
    scripted.snapshots.push_back({desk(), 2.0});
    controller->show();
    scheduler.advance(seconds(0.5));
    controller->close();
    controller->show();
    settle();
    EXPECT_EQ(controller->search().totalCount(), 12);
}

TEST_F(WindowSearchControllerTest, LosingTheKeyboardClosesOnlyAPanelThatHadIt) {
    open();
    WindowSearchPanel& panel = *controller->panel();
    // A focus-out left from an earlier showing arrives before the panel took the keyboard.
    QEvent stale(QEvent::WindowDeactivate);
    QApplication::sendEvent(&panel, &stale);
    EXPECT_TRUE(controller->isPanelVisible());

    QCoreApplication::processEvents();
    ASSERT_TRUE(panel.isActiveWindow());
    EXPECT_TRUE(panel.hasBeenKey());
    EXPECT_TRUE(controller->view()->field()->hasFocus());
    QWidget elsewhere;
    elsewhere.show();
    elsewhere.activateWindow();
    QCoreApplication::processEvents();
    EXPECT_FALSE(controller->isPanelVisible());
    EXPECT_TRUE(controller->search().results().isEmpty());
}

TEST_F(WindowSearchControllerTest, NothingRunsOnceTheControllerIsGone) {
    controller->registerHotkey();
    open();
    ASSERT_TRUE(controller->isRefreshing());
    controller.reset();
    settle();
    EXPECT_EQ(desktop.simulatedHotkeys().press(49, shiftCommand), 0);
    settle();
}

TEST(WindowSearchPanelTest, APlacementWaitsUntilTheShownPanelIsOnScreen) {
    WindowSearchPanel panel;
    panel.placeAt({100, 50, 660, 155});
    EXPECT_EQ(panel.geometry(), QRect(100, 50, 660, 155));
    panel.show();
    ASSERT_FALSE(panel.windowHandle()->isExposed());
    panel.placeAt({100, 50, 660, 209});
    panel.placeAt({100, 50, 660, 263});
    EXPECT_EQ(panel.height(), 155);
    QCoreApplication::processEvents();
    ASSERT_TRUE(panel.windowHandle()->isExposed());
    QCoreApplication::processEvents();
    EXPECT_EQ(panel.geometry(), QRect(100, 50, 660, 263));
    // Hidden and shown again before its exposure, the panel never takes a placement made for
    // the earlier showing.
    panel.hide();
    panel.show();
    panel.placeAt({0, 0, 660, 533});
    panel.hide();
    panel.placeAt({7, 7, 660, 155});
    panel.show();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(panel.geometry(), QRect(7, 7, 660, 155));
}

}  // namespace
}  // namespace pellucine
