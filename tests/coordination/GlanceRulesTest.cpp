#include <gtest/gtest.h>

#include "coordination/GlanceRules.h"
#include "support/QtPrinters.h"

namespace pellucine {
namespace {

WindowDescriptor window(quint32 id, GlobalRect frame, bool onScreen = true,
                        bool minimized = false) {
    WindowDescriptor w;
    w.id = id;
    w.frame = frame;
    w.isOnScreen = onScreen;
    w.isMinimized = minimized;
    return w;
}

TEST(GlanceRulesTest, WindowsAreChosenByStateThenByDisplay) {
    const GlobalRect display{0, 0, 1440, 900};
    const WindowDescriptor minimizedHere = window(1, {10, 10, 100, 100}, false, true);
    const WindowDescriptor otherSpace = window(2, {5000, 0, 100, 100}, false);
    const WindowDescriptor here = window(3, {1300, 800, 200, 200});
    const WindowDescriptor touching = window(4, {1440, 0, 100, 100});
    const QList<WindowDescriptor> all{minimizedHere, otherSpace, here, touching};

    GlanceRules::WindowPolicy policy{false, true, false};
    const auto ids = [](const QList<WindowDescriptor>& windows) {
        QList<quint32> out;
        for (const auto& w : windows) {
            out << w.id;
        }
        return out;
    };
    // Minimized is dropped even on the display; off screen stays whatever its frame; a window
    // only touching the display's edge is on another display.
    EXPECT_EQ(ids(GlanceRules::chooseWindows(all, policy, display)), (QList<quint32>{2, 3}));
    EXPECT_EQ(ids(GlanceRules::chooseWindows(all, policy, std::nullopt)),
              (QList<quint32>{2, 3, 4}));
    policy = {true, false, true};
    EXPECT_EQ(ids(GlanceRules::chooseWindows(all, policy, display)), (QList<quint32>{1, 3, 4}));
}

TEST(GlanceRulesTest, TheStripEstimateIsCentredAndBounded) {
    EXPECT_EQ(GlanceRules::estimateSwitcherFrame({0, 25, 1440, 875}),
              (ScreenRect{270, 398.5, 900, 128}));
    EXPECT_EQ(GlanceRules::estimateSwitcherFrame({0, 0, 300, 400}).width, 240);
    EXPECT_EQ(GlanceRules::estimateSwitcherFrame({100, 0, 700, 400}),
              (ScreenRect{140, 136, 620, 128}));
}

TEST(GlanceRulesTest, AStripOnASecondDisplayIsMovedIntoItsScreen) {
    // Display 2 lies right of a 900-point-high main display and is 800 high: its screen frame
    // is (1440, 100) in the screen space.
    EXPECT_EQ(GlanceRules::convertSwitcherFrame({1700, 300, 760, 140}, {1440, 0, 1280, 800},
                                                {1440, 100, 1280, 800}),
              (ScreenRect{1700, 460, 760, 140}));
    // A display above the main one has a negative global origin.
    EXPECT_EQ(GlanceRules::convertSwitcherFrame({100, -500, 300, 100}, {0, -600, 1000, 600},
                                                {0, 900, 1000, 600}),
              (ScreenRect{100, 1300, 300, 100}));
}

TEST(GlanceRulesTest, ThePanelCountsEightPointsAroundIt) {
    const ScreenRect panel{100, 100, 200, 100};
    EXPECT_TRUE(GlanceRules::isNearPanel(panel, {92, 92}));
    EXPECT_FALSE(GlanceRules::isNearPanel(panel, {91.9, 150}));
    EXPECT_TRUE(GlanceRules::isNearPanel(panel, {307.9, 207.9}));
    EXPECT_FALSE(GlanceRules::isNearPanel(panel, {308, 150}));
}

TEST(GlanceRulesTest, RecentFocusSortsNeverFocusedLastAndKeepsTies) {
    const QDateTime t = QDateTime::fromSecsSinceEpoch(1000, Qt::UTC);
    QList<WindowDescriptor> windows;
    for (const auto& [id, at] : {std::pair<quint32, std::optional<QDateTime>>{1, std::nullopt},
                                 {2, t},
                                 {3, t.addSecs(5)},
                                 {4, std::nullopt},
                                 {5, t}}) {
        WindowDescriptor w = window(id, {});
        w.lastFocusedAt = at;
        windows << w;
    }
    GlanceRules::sortByRecentFocus(windows);
    QList<quint32> order;
    for (const auto& w : windows) {
        order << w.id;
    }
    EXPECT_EQ(order, (QList<quint32>{3, 2, 5, 1, 4}));
}

QList<quint32> ids(const QList<WindowDescriptor>& windows) {
    QList<quint32> numbers;
    for (const auto& w : windows) {
        numbers << w.id;
    }
    return numbers;
}

TEST(GlanceRulesTest, ShownOrderKeepsRowsDropsTheGoneAndAppendsTheNew) {
    const QList<WindowDescriptor> shown{window(1, {}), window(2, {}), window(3, {}), window(4, {})};
    // Re-sorted by focus, one gone, two new: the remaining keep their rows.
    WindowDescriptor restored = window(3, {});
    restored.title = QStringLiteral("restored");
    const QList<WindowDescriptor> fresh{restored, window(7, {}), window(1, {}), window(4, {}),
                                        window(6, {})};
    const QList<WindowDescriptor> ordered = GlanceRules::keepShownOrder(shown, fresh);
    EXPECT_EQ(ids(ordered), (QList<quint32>{1, 3, 4, 7, 6}));
    // The fresh description is kept, not the shown one.
    EXPECT_EQ(ordered[1].title, QStringLiteral("restored"));

    EXPECT_EQ(ids(GlanceRules::keepShownOrder({}, fresh)), ids(fresh));
    EXPECT_TRUE(GlanceRules::keepShownOrder(shown, {}).isEmpty());
    // A number listed twice is kept once in its row, the copy goes to the end.
    EXPECT_EQ(ids(GlanceRules::keepShownOrder(shown, {window(2, {}), window(2, {})})),
              (QList<quint32>{2, 2}));
}

}  // namespace
}  // namespace pellucine
