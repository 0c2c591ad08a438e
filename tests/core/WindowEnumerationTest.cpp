#include <QCoro/QCoroTask>

#include "DesktopFixture.h"
#include "core/AccessibilityWindowService.h"
#include "platform/AccessibilityNames.h"

namespace pellucine {
namespace {

class WindowEnumerationTest : public testing::DesktopFixture {
  protected:
    QList<ApplicationDescriptor> enumerate() { return service.snapshot(); }

    // cgCandidateCount, axWindowCount, matchedWindowCount, rejectedWindowCount, axTimeoutCount.
    std::array<int, 5> counters() const {
        const auto e = events.last(QStringLiteral("window-enumeration"));
        EXPECT_TRUE(e.has_value());
        if (!e) {
            return {};
        }
        std::array<int, 5> out{};
        const QStringList keys{"cgCandidateCount", "axWindowCount", "matchedWindowCount",
                               "rejectedWindowCount", "axTimeoutCount"};
        EXPECT_EQ(e->fields.keys().size(), 5);
        for (int i = 0; i < 5; ++i) {
            out[static_cast<std::size_t>(i)] = e->fields.value(keys[i], "-1").toInt();
        }
        return out;
    }

    static QList<quint32> ids(const ApplicationDescriptor& app) {
        QList<quint32> out;
        for (const WindowDescriptor& w : app.windows) {
            out << w.id;
        }
        return out;
    }

    AccessibilityWindowService service{desktop, events};
};

TEST_F(WindowEnumerationTest, FramesMatchWithinThreePointsInEachMeasureButNotBeyond) {
    addApp(10);
    const GlobalRect ax{100, 100, 400, 300};
    const std::array<std::pair<GlobalRect, bool>, 8> cases{{
        {{103, 100, 400, 300}, true},
        {{100, 97, 400, 300}, true},
        {{100, 100, 403, 300}, true},
        {{100, 100, 400, 297}, true},
        {{103.01, 100, 400, 300}, false},
        {{100, 96.99, 400, 300}, false},
        {{100, 100, 403.01, 300}, false},
        {{100, 100, 400, 296.99}, false},
    }};
    for (const auto& [listBounds, matches] : cases) {
        const quint32 n = addWindow(10, ax);
        desktop.setWindowListBounds(n, listBounds);
        const auto apps = enumerate();
        if (matches) {
            ASSERT_EQ(apps.size(), 1);
            EXPECT_EQ(ids(apps[0]), QList<quint32>{n});
            // The frame is the element's, not the list's.
            EXPECT_EQ(apps[0].windows[0].frame, ax);
        } else {
            EXPECT_TRUE(apps.isEmpty());
            EXPECT_EQ(counters(), (std::array{1, 1, 0, 1, 0}));
        }
        desktop.removeWindow(n);
    }
}

TEST_F(WindowEnumerationTest, MatchingComparesStandardisedFrames) {
    addApp(10);
    const quint32 n = addWindow(10, {100, 100, 400, 300});
    desktop.setWindowListBounds(n, GlobalRect{500, 400, -400, -300});
    EXPECT_EQ(enumerate().size(), 1);
}

TEST_F(WindowEnumerationTest, EightyByEightyIsTheSmallestWindowOnBothSides) {
    addApp(10);
    const quint32 square = addWindow(10, {0, 0, 80, 80});
    EXPECT_EQ(enumerate().size(), 1);
    EXPECT_EQ(counters(), (std::array{1, 1, 1, 0, 0}));

    // Too narrow in the window list only: not a candidate, so the window finds no match.
    desktop.setWindowListBounds(square, GlobalRect{0, 0, 79.9, 80});
    EXPECT_TRUE(enumerate().isEmpty());
    EXPECT_EQ(counters(), (std::array{0, 1, 0, 1, 0}));

    // Too low as an element: rejected before any matching.
    desktop.setWindowListBounds(square, GlobalRect{0, 0, 80, 80});
    desktop.resizeWindow(square, {80, 79.9});
    EXPECT_TRUE(enumerate().isEmpty());
    EXPECT_EQ(counters(), (std::array{1, 1, 0, 1, 0}));
}

TEST_F(WindowEnumerationTest, SubrolesDecideWhichElementsAreWindows) {
    addApp(10);
    const auto addWith = [&](std::optional<QString> subrole, double y) {
        SimulatedWindow w;
        w.ownerPID = 10;
        w.frame = {0, y, 200, 200};
        w.subrole = std::move(subrole);
        return desktop.addWindow(w);
    };
    const quint32 standard = addWith(QStringLiteral("AXStandardWindow"), 0);
    const quint32 dialog = addWith(QStringLiteral("AXDialog"), 300);
    addWith(QStringLiteral("AXFloatingWindow"), 600);
    addWith(std::nullopt, 900);
    const quint32 notWindow = addWith(QStringLiteral("AXStandardWindow"), 1200);
    desktop.overrideWindowAttribute(notWindow, QStringLiteral("AXRole"),
                                    AccessibilityValue(QStringLiteral("AXSheet")));

    auto apps = enumerate();
    ASSERT_EQ(apps.size(), 1);
    EXPECT_EQ(ids(apps[0]), QList<quint32>{standard});
    EXPECT_EQ(counters(), (std::array{5, 5, 1, 4, 0}));

    desktop.hide(10);
    apps = enumerate();
    ASSERT_EQ(apps.size(), 1);
    EXPECT_TRUE(apps[0].isHidden);
    EXPECT_EQ(ids(apps[0]), (QList<quint32>{dialog, standard}));
    EXPECT_EQ(counters(), (std::array{5, 5, 2, 3, 0}));
}

TEST_F(WindowEnumerationTest, UnlistedMinimizedWindowsGetMadeUpNumbersWithBitThirtyOne) {
    const qint32 pid = addApp(0x123456);
    SimulatedWindow w;
    w.ownerPID = pid;
    w.frame = {0, 0, 500, 400};
    w.isListed = false;
    w.isMinimized = true;
    const quint32 minimized = desktop.addWindow(w);  // element position 2
    SimulatedWindow tiny = w;
    tiny.frame = {0, 0, 10, 10};
    desktop.addWindow(tiny);  // position 1: rejected, but it still counts
    SimulatedWindow open = w;
    open.isMinimized = false;
    desktop.addWindow(open);  // position 0: neither listed nor minimized, so rejected

    const auto apps = enumerate();
    ASSERT_EQ(apps.size(), 1);
    ASSERT_EQ(apps[0].windows.size(), 1);
    const WindowDescriptor& d = apps[0].windows[0];
    EXPECT_EQ(d.id, 0x80000000u | (0x123456u << 8) | 2u);
    EXPECT_TRUE(d.hasMadeUpNumber());
    EXPECT_FALSE(d.isOnScreen);
    EXPECT_TRUE(d.isMinimized);
    EXPECT_NE(d.id, minimized);
    EXPECT_EQ(counters(), (std::array{0, 3, 1, 2, 0}));
}

TEST_F(WindowEnumerationTest, MadeUpNumbersKeepOnlyTheLowEightBitsOfThePosition) {
    const qint32 pid = addApp(7);
    for (int i = 0; i < 258; ++i) {
        addUnlistedMinimized(pid, {0, 0, 100, 100});
    }
    const auto apps = enumerate();
    ASSERT_EQ(apps.size(), 1);
    ASSERT_EQ(apps[0].windows.size(), 258);
    EXPECT_EQ(apps[0].windows[257].id, 0x80000000u | (7u << 8) | 1u);
}

TEST_F(WindowEnumerationTest, EntriesThatAreNotCandidatesStillAdvanceTheZOrder) {
    // Front to back: five unusable entries, then app 20's window, then app 30's window.
    addApp(20);
    addApp(30);
    addApp(40, "Agent", ActivationPolicy::accessory);
    const quint32 back = addWindow(30, {0, 0, 300, 300});
    const quint32 middle = addWindow(20, {0, 400, 300, 300});
    desktop.addWindowListEntry({11, 40, 0, GlobalRect{0, 0, 300, 300}, true});      // not regular
    desktop.addWindowListEntry({12, ownPID, 0, GlobalRect{0, 0, 300, 300}, true});  // own
    desktop.addWindowListEntry({13, 20, 25, GlobalRect{0, 0, 300, 300}, true});     // layer
    desktop.addWindowListEntry({std::nullopt, 20, 0, GlobalRect{0, 0, 300, 300}, true});
    desktop.addWindowListEntry({14, 99, 0, GlobalRect{0, 0, 300, 300}, true});  // not running

    // App 50's only window is minimized and unlisted: its made-up order is the candidate count
    // (2) plus its position (0), which puts it before app 20 (list position 5).
    addApp(50);
    addUnlistedMinimized(50, {0, 0, 300, 300});

    const auto apps = enumerate();
    ASSERT_EQ(apps.size(), 3);
    EXPECT_EQ(apps[0].processIdentifier, 50);
    EXPECT_EQ(apps[1].processIdentifier, 20);
    EXPECT_EQ(apps[2].processIdentifier, 30);
    EXPECT_EQ(ids(apps[1]), QList<quint32>{middle});
    EXPECT_EQ(ids(apps[2]), QList<quint32>{back});
    EXPECT_EQ(counters()[0], 2);
}

TEST_F(WindowEnumerationTest, WindowsAndApplicationsComeFrontMostFirst) {
    addApp(20);
    addApp(30);
    const quint32 a1 = addWindow(20, {0, 0, 300, 300});
    const quint32 b1 = addWindow(30, {0, 400, 300, 300});
    const quint32 a2 = addWindow(20, {400, 0, 300, 300});
    desktop.focusWindow(a1);  // a1, a2, b1 front to back
    auto apps = enumerate();
    ASSERT_EQ(apps.size(), 2);
    EXPECT_EQ(ids(apps[0]), (QList<quint32>{a1, a2}));
    EXPECT_EQ(ids(apps[1]), QList<quint32>{b1});

    desktop.focusWindow(b1);
    apps = enumerate();
    EXPECT_EQ(apps[0].processIdentifier, 30);
    EXPECT_EQ(apps[1].processIdentifier, 20);
    EXPECT_TRUE(apps[0].isActive);
    EXPECT_FALSE(apps[1].isActive);
}

TEST_F(WindowEnumerationTest, AMinimizedWindowWithoutAnEntryCanSortBetweenMatchedOnes) {
    // Its made-up order (candidates + position) falls between the list positions of the
    // application's two matched windows.
    addApp(20);
    for (int i = 0; i < 4; ++i) {
        desktop.addWindowListEntry({100 + i, 20, 3, GlobalRect{0, 0, 300, 300}, true}, false);
    }
    const quint32 front = addWindow(20, {0, 0, 300, 300});
    desktop.addWindowListEntry({200, 20, 3, GlobalRect{0, 0, 300, 300}, true});
    const quint32 hidden = addUnlistedMinimized(20, {0, 400, 300, 300});
    const quint32 second = addWindow(20, {500, 0, 300, 300});
    desktop.addWindowListEntry({201, 20, 3, GlobalRect{0, 0, 300, 300}, true});
    desktop.addWindowListEntry({202, 20, 3, GlobalRect{0, 0, 300, 300}, true});
    // List: 202, 201, second(2), 200, front(4), then four back entries. Elements: second,
    // hidden (position 1, made-up order 2 + 1 = 3), front.
    const auto apps = enumerate();
    ASSERT_EQ(apps.size(), 1);
    ASSERT_EQ(apps[0].windows.size(), 3);
    EXPECT_EQ(apps[0].windows[0].id, second);
    EXPECT_TRUE(apps[0].windows[1].hasMadeUpNumber());
    EXPECT_EQ(apps[0].windows[2].id, front);
    EXPECT_NE(apps[0].windows[1].id, hidden);
}

TEST_F(WindowEnumerationTest, WindowsOfTheSameFrameTakeDifferentEntriesFrontMostFirst) {
    addApp(20);
    const quint32 back = addWindow(20, {10, 10, 600, 400}, "Same");
    const quint32 front = addWindow(20, {10, 10, 600, 400}, "Same");
    const auto apps = enumerate();
    ASSERT_EQ(apps.size(), 1);
    EXPECT_EQ(ids(apps[0]), (QList<quint32>{front, back}));
}

TEST_F(WindowEnumerationTest, ATimedOutApplicationIsCountedAndOtherFailuresAreNot) {
    addApp(20);
    addApp(30);
    addApp(40);
    addApp(50);
    addWindow(20, {0, 0, 300, 300});
    addWindow(30, {0, 0, 300, 300});
    addWindow(40, {0, 0, 300, 300});
    addWindow(50, {0, 0, 300, 300});
    desktop.setApplicationUnresponsive(20, true);
    desktop.failApplicationAttribute(30, QStringLiteral("AXWindows"), AccessibilityStatus::failure);
    desktop.failApplicationAttribute(40, QStringLiteral("AXWindows"), AccessibilityStatus::noValue);

    const auto apps = enumerate();
    ASSERT_EQ(apps.size(), 1);
    EXPECT_EQ(apps[0].processIdentifier, 50);
    EXPECT_EQ(counters(), (std::array{4, 1, 1, 0, 1}));
    // The hung application held the snapshot for its own short time-out only.
    EXPECT_EQ(desktop.stalledTime(), seconds(0.25));
    EXPECT_TRUE(desktop.timeoutsSet().contains(QStringLiteral("application 20: 0.25 s")));
}

TEST_F(WindowEnumerationTest, CountersAddUpOverAMixedDesktop) {
    addApp(20);
    addApp(30);
    addWindow(20, {0, 0, 300, 300});
    addWindow(20, {0, 0, 50, 50});
    const quint32 stray = addWindow(30, {0, 0, 300, 300});
    desktop.setWindowListBounds(stray, GlobalRect{0, 0, 310, 300});
    addWindow(30, {400, 0, 300, 300});
    SimulatedWindow dialog;
    dialog.ownerPID = 30;
    dialog.frame = {800, 0, 300, 300};
    dialog.subrole = QStringLiteral("AXDialog");
    desktop.addWindow(dialog);

    const auto apps = enumerate();
    const auto c = counters();
    EXPECT_EQ(c, (std::array{4, 5, 2, 3, 0}));
    EXPECT_EQ(c[1], c[2] + c[3]);
    int listed = 0;
    for (const auto& app : apps) {
        listed += static_cast<int>(app.windows.size());
    }
    EXPECT_EQ(listed, c[2]);
}

TEST_F(WindowEnumerationTest, NothingToListStillRecordsTheEvent) {
    addApp(ownPID);
    addWindow(ownPID, {0, 0, 300, 300});
    addApp(40, "Agent", ActivationPolicy::accessory);
    addWindow(40, {0, 0, 300, 300});
    EXPECT_TRUE(enumerate().isEmpty());
    EXPECT_EQ(counters(), (std::array{0, 0, 0, 0, 0}));
}

TEST_F(WindowEnumerationTest, WithoutTrustOnlyTheCandidatesAreCounted) {
    addApp(20);
    addWindow(20, {0, 0, 300, 300});
    desktop.setTrusted(false);
    EXPECT_TRUE(enumerate().isEmpty());
    EXPECT_EQ(counters(), (std::array{1, 0, 0, 0, 0}));
}

TEST_F(WindowEnumerationTest, DescriptorsCarryTheApplicationAndElementState) {
    RunningApplication app;
    app.processIdentifier = 20;
    app.bundleURL = QUrl::fromLocalFile(QStringLiteral("/opt/editor"));
    app.isActive = true;
    desktop.addApplication(app);
    const quint32 n = addWindow(20, {5, 6, 300, 200});
    desktop.setWindowFullScreen(n, true);
    desktop.failWindowAttribute(n, QStringLiteral("AXTitle"), AccessibilityStatus::failure);

    const auto apps = enumerate();
    ASSERT_EQ(apps.size(), 1);
    const ApplicationDescriptor& a = apps[0];
    EXPECT_EQ(a.name, QStringLiteral("Application"));
    EXPECT_FALSE(a.bundleIdentifier.has_value());
    EXPECT_EQ(a.bundleURL, app.bundleURL);
    EXPECT_TRUE(a.isActive);
    const WindowDescriptor& w = a.windows[0];
    EXPECT_EQ(w.applicationName, QStringLiteral("Application"));
    EXPECT_EQ(w.title, QString());
    EXPECT_TRUE(w.isFullScreen);
    EXPECT_FALSE(w.isMinimized);
    EXPECT_TRUE(w.isOnScreen);
    EXPECT_FALSE(w.lastFocusedAt.has_value());

    // Unreadable states count as false.
    desktop.failWindowAttribute(n, QStringLiteral("AXFullScreen"), AccessibilityStatus::failure);
    desktop.overrideWindowAttribute(n, QStringLiteral("AXMinimized"),
                                    AccessibilityValue(QStringLiteral("yes")));
    const auto again = enumerate();
    EXPECT_FALSE(again[0].windows[0].isFullScreen);
    EXPECT_FALSE(again[0].windows[0].isMinimized);
}

TEST_F(WindowEnumerationTest, AnUnreadableFrameRejectsTheWindow) {
    addApp(20);
    const quint32 n = addWindow(20, {0, 0, 300, 300});
    desktop.failWindowAttribute(n, QStringLiteral("AXSize"), AccessibilityStatus::cannotComplete);
    EXPECT_TRUE(enumerate().isEmpty());
    EXPECT_EQ(counters(), (std::array{1, 1, 0, 1, 0}));
}

TEST_F(WindowEnumerationTest, TheFirstOfARepeatedProcessIdentifierWins) {
    addApp(20, "First");
    addApp(20, "Second");
    addApp(0, "Kernel");
    addWindow(20, {0, 0, 300, 300});
    addWindow(0, {0, 400, 300, 300});
    const auto apps = enumerate();
    ASSERT_EQ(apps.size(), 1);
    EXPECT_EQ(apps[0].name, QStringLiteral("First"));
    EXPECT_EQ(counters(), (std::array{1, 1, 1, 0, 0}));
}

TEST_F(WindowEnumerationTest, TheTaskGivesTheSnapshotWithoutSuspending) {
    addApp(20);
    addWindow(20, {0, 0, 300, 300});
    auto task = service.enumerateWindows();
    ASSERT_TRUE(task.isReady());
    const QList<ApplicationDescriptor> apps = QCoro::waitFor(task);
    EXPECT_EQ(apps, service.snapshot());
    EXPECT_EQ(events.count(QStringLiteral("window-enumeration")), 2);
}

}  // namespace
}  // namespace pellucine
