#include <gtest/gtest.h>

#include "platform/x11/X11ScreenReader.h"
#include "platform/x11/shell/X11DockLayout.h"

namespace pellucine {
namespace {

TEST(X11DockLayoutTest, CentresTheBarOnTheBottomEdgeWithADotUnderEachIcon) {
    const X11DockLayout layout = X11DockLayout::compute(5, QRect(0, 0, 1280, 800), 1.0);
    // Cells of 48 + 2 x 8 with 4 around them.
    EXPECT_EQ(layout.bar, QRect(476, 728, 5 * 64 + 8, 72));
    EXPECT_EQ(layout.items[0], QRect(4, 4, 64, 64));
    EXPECT_EQ(layout.iconRect(0), QRect(12, 12, 48, 48));
    const QRect dot = layout.dotRect(0);
    EXPECT_EQ(dot.size(), QSize(5, 5));
    EXPECT_EQ(dot.center().x(), layout.iconRect(0).center().x());
    EXPECT_GT(dot.top(), layout.iconRect(0).bottom()) << "below the icon";
    EXPECT_LE(dot.bottom(), layout.items[0].bottom()) << "inside the cell";
    EXPECT_EQ(layout.itemAt({4 + 64, 30}), 1);
    EXPECT_EQ(layout.itemAt({3, 30}), std::nullopt) << "the bar's padding is no item";
    EXPECT_EQ(layout.dotRect(5), QRect());

    const X11DockLayout doubled = X11DockLayout::compute(5, QRect(0, 0, 2560, 1600), 2.0);
    EXPECT_EQ(doubled.bar.height(), 144);
    EXPECT_EQ(doubled.dotSize, 10);
}

TEST(X11DockLayoutTest, TheStrutReservesTheBarOnItsOwnMonitor) {
    // A second monitor, lower than the root window is tall.
    const QRect monitor(1280, 100, 1280, 700);
    const QSize root(2560, 900);
    const X11DockLayout layout = X11DockLayout::compute(3, monitor, 1.0);
    EXPECT_EQ(layout.bar.bottom(), monitor.bottom());
    const QList<quint32> strut = layout.strut(root);
    ASSERT_EQ(strut.size(), 12);
    EXPECT_EQ(strut[3], 900u - 728u) << "counted from the root window's bottom edge";
    EXPECT_EQ(strut[10], quint32(layout.bar.left()));
    EXPECT_EQ(strut[11], quint32(layout.bar.right()));
    const auto parsed = X11Strut::fromValues(strut, root);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(visibleArea(monitor, root, {*parsed}), QRect(1280, 100, 1280, 700 - 72));
    EXPECT_EQ(visibleArea(QRect(0, 0, 1280, 900), root, {*parsed}), QRect(0, 0, 1280, 900))
        << "the monitor beside it keeps its bottom";
    EXPECT_TRUE(X11DockLayout().strut(root).isEmpty());
}

TEST(X11DockLayoutTest, ShrinksToFitAndRefusesNonsense) {
    const X11DockLayout many = X11DockLayout::compute(40, QRect(0, 0, 800, 600), 1.0);
    // 800 less two 8-point margins and two 4-point paddings leaves 776: 19 per cell.
    EXPECT_EQ(many.cellSize(), 19);
    EXPECT_EQ(many.bar.height(), 19 + 8);
    EXPECT_EQ(many.bar.bottom(), 599);
    EXPECT_GE(many.bar.left(), 8);
    EXPECT_GE(many.dotSize, 1);
    EXPECT_LE(many.dotRect(39).bottom(), many.items[39].bottom());

    EXPECT_TRUE(X11DockLayout::compute(0, QRect(0, 0, 800, 600), 1.0).bar.isEmpty());
    EXPECT_TRUE(X11DockLayout::compute(3, QRect(), 1.0).bar.isEmpty());
    EXPECT_TRUE(X11DockLayout::compute(3, QRect(0, 0, 800, 600), -1).bar.isEmpty());
}

TEST(X11DockLayoutTest, AnotherDockTakesTheEdgeOnlyAlongTheBottom) {
    const QRect screen(0, 0, 1280, 800);
    const auto taken = [&](const QRect& dock) {
        return X11DockLayout::isEdgeTaken(screen, {QRect(0, 0, 1280, 24), dock});
    };
    EXPECT_TRUE(taken(QRect(0, 770, 1280, 30)));
    EXPECT_TRUE(taken(QRect(300, 760, 600, 38))) << "2 pixels short of the edge still sits on it";
    EXPECT_FALSE(taken(QRect(300, 760, 600, 37)));
    EXPECT_TRUE(taken(QRect(0, 790, 1280, 30))) << "partly below the screen";
    EXPECT_FALSE(taken(QRect(0, 0, 40, 800))) << "a side panel reaching the corner";
    EXPECT_FALSE(taken(QRect(1280, 770, 1280, 30))) << "on the next monitor";
    EXPECT_FALSE(X11DockLayout::isEdgeTaken(screen, {}));
}

}  // namespace
}  // namespace pellucine
