#include <gtest/gtest.h>

#include "panels/WindowSearchCandidates.h"
#include "panels/WindowSearchKeyMap.h"
#include "panels/WindowSearchPanelGeometry.h"

namespace pellucine {
namespace {

namespace Geometry = WindowSearchPanelGeometry;
using WindowSearch::Location;

TEST(WindowSearchPanelGeometryTest, HeightFollowsResultsUpToEightRows) {
    EXPECT_EQ(Geometry::panelHeight(0), 155);
    EXPECT_EQ(Geometry::panelHeight(1), 155);
    EXPECT_EQ(Geometry::panelHeight(2), 209);
    EXPECT_EQ(Geometry::panelHeight(8), 533);
    EXPECT_EQ(Geometry::panelHeight(12), 533);
    EXPECT_EQ(Geometry::panelHeight(-1), 155);
}

TEST(WindowSearchPanelGeometryTest, ResizingKeepsTheTopEdge) {
    const ScreenRect open{390, 167, 660, 533};
    const ScreenRect fewer = Geometry::resizedFrame(open, 2);
    EXPECT_EQ(fewer, (ScreenRect{390, 491, 660, 209}));
    EXPECT_EQ(Geometry::resizedFrame(fewer, 12), open);
    EXPECT_EQ(Geometry::resizedFrame({10, 10, 300, 100}, 0), (ScreenRect{10, -45, 660, 155}));
}

TEST(WindowSearchPanelGeometryTest, OriginRoundsHalvesAwayFromZero) {
    EXPECT_EQ(Geometry::origin({660, 533}, {0, 0, 1440, 875}), (ScreenPoint{390, 167}));
    EXPECT_EQ(Geometry::origin({660, 155}, {0, 0, 1440, 875}), (ScreenPoint{390, 545}));
    // x = −720.5 − 330 = −1050.5 and y = 900 − 180 − 533 = 187.
    EXPECT_EQ(Geometry::origin({660, 533}, {-1441, 0, 1441, 900}), (ScreenPoint{-1051, 187}));
    // y = 0.5 − 0.2 − 155 = −154.7.
    EXPECT_EQ(Geometry::origin({660, 155}, {0, -0.5, 1441, 1}), (ScreenPoint{391, -155}));
}

TEST(WindowSearchPanelGeometryTest, ScreenUnderThePointerElseMain) {
    const Screen main{std::nullopt, {0, 0, 1440, 900}, {0, 0, 1440, 875}};
    const Screen left{std::nullopt, {-1920, 0, 1920, 1080}, {-1920, 0, 1920, 1050}};
    const QList<Screen> screens{main, left};
    EXPECT_EQ(Geometry::targetVisibleFrame({-1, 5}, screens, main.visibleFrame), left.visibleFrame);
    EXPECT_EQ(Geometry::targetVisibleFrame({0, 5}, screens, main.visibleFrame), main.visibleFrame);
    EXPECT_EQ(Geometry::targetVisibleFrame({9000, 5}, screens, main.visibleFrame),
              main.visibleFrame);
    EXPECT_FALSE(Geometry::targetVisibleFrame({0, 0}, {}, std::nullopt));
}

ApplicationDescriptor application(qint32 pid, bool hidden, QList<WindowDescriptor> windows) {
    ApplicationDescriptor a;
    a.processIdentifier = pid;
    a.isHidden = hidden;
    a.windows = std::move(windows);
    return a;
}

WindowDescriptor window(quint32 id, bool minimized, bool fullScreen, bool onScreen) {
    WindowDescriptor w;
    w.id = id;
    w.isMinimized = minimized;
    w.isFullScreen = fullScreen;
    w.isOnScreen = onScreen;
    return w;
}

TEST(WindowSearchCandidatesTest, LocationRuleOrder) {
    using WindowSearchCandidates::location;
    EXPECT_EQ(location(window(1, true, true, true), true), Location::minimized);
    EXPECT_EQ(location(window(1, false, true, true), true), Location::hidden);
    EXPECT_EQ(location(window(1, false, true, true), false), Location::fullScreen);
    EXPECT_EQ(location(window(1, false, false, true), false), Location::onScreen);
    EXPECT_EQ(location(window(1, false, false, false), false), Location::otherSpace);
}

TEST(WindowSearchCandidatesTest, CollectsOtherApplicationsWithRecency) {
    const QList<ApplicationDescriptor> apps{
        application(10, false, {window(1, false, false, true), window(2, true, false, false)}),
        application(99, false, {window(3, false, false, true)}),
        application(20, true, {window(4, false, true, false)}),
        application(30, false, {}),
        application(40, false, {window(5, false, false, false)}),
    };
    const auto candidates = WindowSearchCandidates::collect(apps, 99, {20, 10, 20});
    ASSERT_EQ(candidates.size(), 4);
    EXPECT_EQ(candidates[0].window.id, 1u);
    EXPECT_EQ(candidates[0].applicationRecency, 1);
    EXPECT_EQ(candidates[1].location, Location::minimized);
    // First place in the list, not the last.
    EXPECT_EQ(candidates[2].applicationRecency, 0);
    EXPECT_EQ(candidates[2].location, Location::hidden);
    // Not in the list: its length.
    EXPECT_EQ(candidates[3].applicationRecency, 3);
    EXPECT_EQ(candidates[3].location, Location::otherSpace);

    for (const auto& c : WindowSearchCandidates::collect(apps, 99, {})) {
        EXPECT_EQ(c.applicationRecency, 0);
    }
    EXPECT_TRUE(WindowSearchCandidates::collect({}, 99, {1}).isEmpty());
}

TEST(WindowSearchKeyMapTest, Keys) {
    using Kind = WindowSearchCommand::Kind;
    using WindowSearchKeyMap::command;
    const auto none = Qt::NoModifier;
    EXPECT_EQ(command(Qt::Key_Return, none), (WindowSearchCommand{Kind::commit, 0}));
    EXPECT_EQ(command(Qt::Key_Enter, Qt::KeypadModifier), (WindowSearchCommand{Kind::commit, 0}));
    EXPECT_EQ(command(Qt::Key_Escape, none), (WindowSearchCommand{Kind::close, 0}));
    EXPECT_EQ(command(Qt::Key_Up, none), (WindowSearchCommand{Kind::moveSelection, -1}));
    EXPECT_EQ(command(Qt::Key_Down, Qt::ShiftModifier),
              (WindowSearchCommand{Kind::moveSelection, 1}));
    EXPECT_EQ(command(Qt::Key_PageUp, none), (WindowSearchCommand{Kind::moveSelection, -8}));
    EXPECT_EQ(command(Qt::Key_PageDown, none), (WindowSearchCommand{Kind::moveSelection, 8}));
    // P and N move only with Control, whatever else is held; plain they are typed.
    EXPECT_FALSE(command(Qt::Key_P, none));
    EXPECT_FALSE(command(Qt::Key_N, Qt::ShiftModifier));
    EXPECT_FALSE(command(Qt::Key_P, Qt::MetaModifier));
    EXPECT_EQ(command(Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier),
              (WindowSearchCommand{Kind::moveSelection, -1}));
    EXPECT_EQ(command(Qt::Key_N, Qt::ControlModifier),
              (WindowSearchCommand{Kind::moveSelection, 1}));
    EXPECT_FALSE(command(Qt::Key_A, Qt::ControlModifier));
    EXPECT_FALSE(command(Qt::Key_Space, none));
}

}  // namespace
}  // namespace pellucine
