#include <cmath>

#include "DesktopFixture.h"
#include "core/AccessibilityWindowService.h"
#include "core/WindowServiceError.h"

namespace pellucine {
namespace {

class WindowOperationsTest : public testing::DesktopFixture {
  protected:
    WindowOperationsTest() { addApp(pid); }

    // The window as a fresh snapshot describes it.
    WindowDescriptor describe(quint32 number) {
        for (const ApplicationDescriptor& app : service.snapshot()) {
            for (const WindowDescriptor& w : app.windows) {
                if (w.id == number) {
                    return w;
                }
            }
        }
        ADD_FAILURE() << "window " << number << " is not listed";
        return {};
    }

    QList<WindowDescriptor> snapshotWindows() {
        const auto apps = service.snapshot();
        return apps.isEmpty() ? QList<WindowDescriptor>{} : apps[0].windows;
    }

    void perform(WindowAction action, const WindowDescriptor& w) {
        desktop.clearRequests();
        service.performWindowAction(action, w);
    }

    static void expectUnavailable(const std::function<void()>& f) {
        try {
            f();
            ADD_FAILURE() << "no error thrown";
        } catch (const WindowServiceError& e) {
            EXPECT_EQ(e.errorCase(), WindowServiceError::Case::windowUnavailable);
            EXPECT_EQ(e.localizedDescription(),
                      QStringLiteral("The window is no longer available."));
        }
    }

    QString w(quint32 number, const char* what) const {
        return QStringLiteral("window %1: %2").arg(number).arg(QLatin1String(what));
    }

    static constexpr qint32 pid = 20;
    const QString activation = QStringLiteral("application 20: activate all windows");
    AccessibilityWindowService service{desktop, events};
};

TEST_F(WindowOperationsTest, EachActionMakesItsRequestsInOrder) {
    const quint32 n = addWindow(pid, {100, 100, 400, 300});
    const WindowDescriptor d = describe(n);

    perform(WindowAction::focus(), d);
    EXPECT_EQ(desktop.requests(),
              (QStringList{w(n, "AXMinimized := false"), w(n, "AXRaise"), activation}));
    perform(WindowAction::restore(), d);
    EXPECT_EQ(desktop.requests(), (QStringList{w(n, "AXMinimized := false"), w(n, "AXRaise")}));
    perform(WindowAction::minimize(), d);
    EXPECT_EQ(desktop.requests(), QStringList{w(n, "AXMinimized := true")});
    EXPECT_TRUE(desktop.window(n)->isMinimized);

    EXPECT_TRUE(desktop.timeoutsSet().contains(QStringLiteral("application 20: 0.75 s")));
    EXPECT_TRUE(desktop.timeoutsSet().contains(QStringLiteral("window %1: 0.75 s").arg(n)));
}

TEST_F(WindowOperationsTest, ToggleFullScreenWritesTheOppositeOfTheDescriptorsFlag) {
    const quint32 n = addWindow(pid, {100, 100, 400, 300});
    desktop.setWindowFullScreen(n, true);
    const WindowDescriptor d = describe(n);
    ASSERT_TRUE(d.isFullScreen);
    desktop.setWindowFullScreen(n, false);  // left full screen since the snapshot
    perform(WindowAction::toggleFullScreen(), d);
    EXPECT_EQ(desktop.requests(), QStringList{w(n, "AXFullScreen := false")});
}

TEST_F(WindowOperationsTest, PlaceLeavesFullScreenUnminimizesMovesResizesRaisesAndActivates) {
    const quint32 n = addWindow(pid, {100, 100, 400, 300});
    desktop.setWindowFullScreen(n, true);
    desktop.setWindowMinimized(n, true);
    perform(WindowAction::place(WindowPlacement::leftHalf), describe(n));
    EXPECT_EQ(desktop.requests(),
              (QStringList{w(n, "AXFullScreen := false"), w(n, "AXMinimized := false"),
                           w(n, "AXPosition := (0, 25)"), w(n, "AXSize := 720 x 875"),
                           w(n, "AXRaise"), activation}));
    EXPECT_EQ(desktop.window(n)->frame, (GlobalRect{0, 25, 720, 875}));
    EXPECT_FALSE(desktop.window(n)->isMinimized);
    EXPECT_FALSE(desktop.window(n)->isFullScreen);
}

TEST_F(WindowOperationsTest, EveryPlacementLandsOnItsPartOfTheVisibleFrame) {
    // The default display's visible frame is 1440 x 875 at y = 25.
    const quint32 n = addWindow(pid, {100, 100, 400, 300});
    const std::array<std::pair<WindowPlacement, GlobalRect>, 7> expected{{
        {WindowPlacement::maximize, {0, 25, 1440, 875}},
        {WindowPlacement::leftHalf, {0, 25, 720, 875}},
        {WindowPlacement::rightHalf, {720, 25, 720, 875}},
        {WindowPlacement::topLeft, {0, 25, 720, 437}},
        {WindowPlacement::topRight, {720, 25, 720, 437}},
        {WindowPlacement::bottomLeft, {0, 462, 720, 438}},
        {WindowPlacement::bottomRight, {720, 462, 720, 438}},
    }};
    for (const auto& [placement, frame] : expected) {
        perform(WindowAction::place(placement), describe(n));
        EXPECT_EQ(desktop.window(n)->frame, frame) << rawValue(placement).toStdString();
    }
}

class TwoDisplayOperationsTest : public WindowOperationsTest {
  protected:
    TwoDisplayOperationsTest() {
        // The main display has a Dock 40 points high; the second display lies to its left
        // and higher up, so its global y is negative.
        desktop.setDisplays({
            {1u, {0, 0, 1440, 900}, {0, 25, 1440, 835}},
            {2u, {-1920, -180, 1920, 1080}, {-1920, -155, 1920, 1055}},
        });
    }
};

TEST_F(TwoDisplayOperationsTest, PlaceUsesTheDisplayTheWindowOverlapsMost) {
    const quint32 n = addWindow(pid, {-500, 100, 800, 600});  // 500 on the left, 300 on main
    perform(WindowAction::place(WindowPlacement::rightHalf), describe(n));
    EXPECT_EQ(desktop.window(n)->frame, (GlobalRect{-960, -155, 960, 1055}));

    desktop.moveWindow(n, {1000, 500});
    perform(WindowAction::place(WindowPlacement::bottomRight), describe(n));
    EXPECT_EQ(desktop.window(n)->frame, (GlobalRect{720, 442, 720, 418}));
}

TEST_F(TwoDisplayOperationsTest, TiesAndWindowsOffEveryDisplayGoToTheFirstNumberedScreen) {
    AccessibilityWindowService& s = service;
    EXPECT_EQ(s.bestVisibleFrame({-100, 100, 200, 200}), (GlobalRect{0, 25, 1440, 835}));
    EXPECT_EQ(s.bestVisibleFrame({5000, 5000, 200, 200}), (GlobalRect{0, 25, 1440, 835}));

    desktop.setDisplays({
        {1u, {0, 0, 1440, 900}, {0, 25, 1440, 835}, false},
        {2u, {-1920, -180, 1920, 1080}, {-1920, -155, 1920, 1055}},
    });
    EXPECT_EQ(s.bestVisibleFrame({5000, 5000, 200, 200}), (GlobalRect{-1920, -155, 1920, 1055}));
}

TEST_F(WindowOperationsTest, PlaceWithoutANumberedScreenChangesNothing) {
    const quint32 n = addWindow(pid, {100, 100, 400, 300});
    desktop.setWindowFullScreen(n, true);
    const WindowDescriptor d = describe(n);
    desktop.setDisplays({{1u, {0, 0, 1440, 900}, {0, 25, 1440, 875}, false}});
    desktop.clearRequests();
    expectUnavailable(
        [&] { service.performWindowAction(WindowAction::place(WindowPlacement::maximize), d); });
    EXPECT_TRUE(desktop.requests().isEmpty());
    EXPECT_TRUE(desktop.window(n)->isFullScreen);
}

TEST_F(WindowOperationsTest, CloseWithoutACloseButtonDoesNothing) {
    SimulatedWindow plain;
    plain.ownerPID = pid;
    plain.frame = {100, 100, 400, 300};
    plain.hasCloseButton = false;
    const quint32 n = desktop.addWindow(plain);
    perform(WindowAction::close(), describe(n));
    EXPECT_TRUE(desktop.requests().isEmpty());
    EXPECT_NE(desktop.window(n), nullptr);

    const quint32 m = addWindow(pid, {600, 100, 400, 300});
    perform(WindowAction::close(), describe(m));
    EXPECT_EQ(desktop.requests(),
              QStringList{QStringLiteral("window %1 close button: AXPress").arg(m)});
    EXPECT_EQ(desktop.window(m), nullptr);
}

TEST_F(WindowOperationsTest, AnApplicationThatQuitMakesEveryActionFail) {
    const quint32 n = addWindow(pid, {100, 100, 400, 300});
    const WindowDescriptor d = describe(n);
    desktop.removeApplication(pid);
    for (const WindowAction a :
         {WindowAction::focus(), WindowAction::minimize(), WindowAction::restore(),
          WindowAction::toggleFullScreen(), WindowAction::close(),
          WindowAction::place(WindowPlacement::maximize)}) {
        expectUnavailable([&] { service.performWindowAction(a, d); });
    }
}

TEST_F(WindowOperationsTest, AWindowThatMovedOrClosedIsUnavailable) {
    const quint32 n = addWindow(pid, {100, 100, 400, 300});
    const quint32 other = addWindow(pid, {100, 100, 400, 300});
    const WindowDescriptor d = describe(n);
    desktop.moveWindow(n, {103, 97});
    EXPECT_NO_THROW(perform(WindowAction::minimize(), d));
    // Moved too far: the other window with the snapshot's frame is not taken in its place.
    desktop.moveWindow(n, {103.5, 100});
    expectUnavailable([&] { perform(WindowAction::minimize(), d); });
    EXPECT_TRUE(desktop.requests().isEmpty());
    EXPECT_FALSE(desktop.window(other)->isMinimized);
}

TEST_F(WindowOperationsTest, RestoreFindsAMinimizedWindowWhereverItsFrameWent) {
    const quint32 n = addWindow(pid, {100, 100, 400, 300});
    const quint32 other = addWindow(pid, {100, 100, 400, 300});
    const WindowDescriptor d = describe(n);
    // The window manager minimizes both and leaves this one's frame out of sight.
    desktop.setWindowMinimized(n, true);
    desktop.setWindowMinimized(other, true);
    desktop.moveWindow(n, {360, 950});
    perform(WindowAction::restore(), d);
    EXPECT_FALSE(desktop.window(n)->isMinimized);
    EXPECT_EQ(desktop.requests(), (QStringList{w(n, "AXMinimized := false"), w(n, "AXRaise")}));
    // On screen, a moved window is not restored in its twin's place.
    expectUnavailable([&] { perform(WindowAction::restore(), d); });
    EXPECT_TRUE(desktop.requests().isEmpty());
    EXPECT_TRUE(desktop.window(other)->isMinimized);
}

TEST_F(WindowOperationsTest, ANumberedWindowIsFoundAmongTwinsAndDespiteANewTitle) {
    const quint32 back = addWindow(pid, {100, 100, 400, 300}, QStringLiteral("Untitled"));
    const quint32 front = addWindow(pid, {100, 100, 400, 300}, QStringLiteral("Untitled"));
    const WindowDescriptor d = describe(back);
    perform(WindowAction::close(), d);
    EXPECT_EQ(desktop.window(back), nullptr);
    EXPECT_NE(desktop.window(front), nullptr);

    desktop.retitleWindow(front, QStringLiteral("Saved"));
    WindowDescriptor stale = describe(front);
    stale.title = QStringLiteral("Untitled");
    perform(WindowAction::minimize(), stale);
    EXPECT_EQ(desktop.requests(), QStringList{w(front, "AXMinimized := true")});
}

TEST_F(WindowOperationsTest, AMadeUpNumberIsFoundByFrameAndTitle) {
    const quint32 second =
        addUnlistedMinimized(pid, {100, 100, 400, 300}, QStringLiteral("Report"));
    const quint32 first = addUnlistedMinimized(pid, {100, 100, 400, 300}, QStringLiteral("Report"));
    const QList<WindowDescriptor> listed = snapshotWindows();
    ASSERT_EQ(listed.size(), 2);
    ASSERT_TRUE(listed[1].hasMadeUpNumber());

    // Twins: the first in the application's list is taken, whichever was described.
    perform(WindowAction::restore(), listed[1]);
    EXPECT_EQ(desktop.requests().first(), w(first, "AXMinimized := false"));

    // An empty title takes the first window whose frame agrees, whatever its title.
    WindowDescriptor untitled = listed[1];
    untitled.title.clear();
    desktop.retitleWindow(first, QStringLiteral("Other"));
    perform(WindowAction::minimize(), untitled);
    EXPECT_EQ(desktop.requests(), QStringList{w(first, "AXMinimized := true")});

    // Titles compare exactly, letter case included.
    WindowDescriptor shouted = listed[1];
    shouted.title = QStringLiteral("REPORT");
    expectUnavailable([&] { perform(WindowAction::minimize(), shouted); });

    // A window whose frame cannot be read is passed over.
    desktop.retitleWindow(first, QStringLiteral("Report"));
    desktop.failWindowAttribute(first, QStringLiteral("AXPosition"), AccessibilityStatus::failure);
    perform(WindowAction::minimize(), listed[1]);
    EXPECT_EQ(desktop.requests(), QStringList{w(second, "AXMinimized := true")});
}

TEST_F(WindowOperationsTest, ANumberedWindowWithAnUnreadableFrameIsUnavailable) {
    const quint32 n = addWindow(pid, {100, 100, 400, 300});
    addWindow(pid, {100, 100, 400, 300});
    const WindowDescriptor d = describe(n);
    desktop.failWindowAttribute(n, QStringLiteral("AXSize"), AccessibilityStatus::failure);
    expectUnavailable([&] { perform(WindowAction::minimize(), d); });
}

TEST_F(WindowOperationsTest, AnApplicationWithoutWindowsOrAnswersIsUnavailable) {
    const quint32 n = addWindow(pid, {100, 100, 400, 300});
    const WindowDescriptor d = describe(n);
    desktop.setApplicationUnresponsive(pid, true);
    expectUnavailable([&] { perform(WindowAction::focus(), d); });
    EXPECT_EQ(desktop.stalledTime(), seconds(0.75));
    desktop.setApplicationUnresponsive(pid, false);
    desktop.removeWindow(n);
    expectUnavailable([&] { perform(WindowAction::focus(), d); });
}

TEST_F(WindowOperationsTest, AValueThatCannotBeMadeIsNotWritten) {
    const quint32 n = addWindow(pid, {100, 100, 400, 300});
    const ElementRef window =
        desktop.applicationElement(pid)->attribute(u"AXWindows").value()->toElements()->first();
    AccessibilityWindowService::setElementFrame(*window, {std::nan(""), 0}, {500, 400});
    AccessibilityWindowService::setElementFrame(*window, {10, 20}, {INFINITY, 400});
    EXPECT_EQ(desktop.requests(),
              (QStringList{w(n, "AXSize := 500 x 400"), w(n, "AXPosition := (10, 20)")}));
}

}  // namespace
}  // namespace pellucine
