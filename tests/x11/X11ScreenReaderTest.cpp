#include <gmock/gmock.h>

#include "X11TestDesktop.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11ScreenReader.h"

namespace pellucine {
namespace {

using testing::X11Test;
using testing::X11TestDesktop;

const QSize root(1280, 800);

X11Strut bottomPanel(int height, int fromX, int toX) {
    X11Strut s;
    s.bottom = height;
    s.bottomStartX = fromX;
    s.bottomEndX = toX;
    return s;
}

TEST(X11StrutTest, ReadsPartialAndFullStrutsAndNothingElse) {
    const auto partial = X11Strut::fromValues({10, 20, 30, 40, 1, 2, 3, 4, 5, 6, 7, 8}, root);
    ASSERT_TRUE(partial);
    EXPECT_EQ(partial->left, 10);
    EXPECT_EQ(partial->bottom, 40);
    EXPECT_EQ(partial->bottomEndX, 8);

    // The old form reserves along the whole edge.
    const auto full = X11Strut::fromValues({0, 0, 25, 0}, root);
    ASSERT_TRUE(full);
    EXPECT_EQ(full->top, 25);
    EXPECT_EQ(full->topStartX, 0);
    EXPECT_EQ(full->topEndX, 1279);

    EXPECT_FALSE(X11Strut::fromValues({1, 2, 3}, root));
    EXPECT_FALSE(X11Strut::fromValues({}, root));

    // Any client can set struts: one with a value beyond every coordinate is none, and one at
    // the bound reaches no monitor.
    EXPECT_FALSE(X11Strut::fromValues({0, 0xffffffffu, 0, 0}, root));
    EXPECT_FALSE(X11Strut::fromValues({0x80000000u, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, root));
    EXPECT_FALSE(
        X11Strut::fromValues({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, X11Strut::maximum + 1}, root));
    const auto widest = X11Strut::fromValues({0, X11Strut::maximum, 0, X11Strut::maximum}, root);
    ASSERT_TRUE(widest);
    const QRect screen(QPoint(0, 0), root);
    EXPECT_EQ(visibleArea(screen, root, {*widest}), screen);
}

TEST(X11StrutTest, SubtractsStrutsFromTheMonitorsTheyReach) {
    const QRect left(0, 0, 640, 800);
    const QRect right(640, 0, 640, 800);
    // A panel along the bottom of the right monitor only.
    const QList<X11Strut> struts{bottomPanel(30, 640, 1279)};
    EXPECT_EQ(visibleArea(left, root, struts), left);
    EXPECT_EQ(visibleArea(right, root, struts), QRect(640, 0, 640, 770));

    // The span's end is inclusive: a panel ending on the monitor's first column reaches it.
    EXPECT_EQ(visibleArea(right, root, {bottomPanel(30, 0, 640)}), QRect(640, 0, 640, 770));
    EXPECT_EQ(visibleArea(right, root, {bottomPanel(30, 0, 639)}), right);

    // A left panel on the right monitor reserves up to its inner edge; on the left monitor it
    // would cover everything and is taken for another monitor's.
    X11Strut dock;
    dock.left = 700;
    dock.leftStartY = 0;
    dock.leftEndY = 799;
    EXPECT_EQ(visibleArea(right, root, {dock}), QRect(700, 0, 580, 800));
    EXPECT_EQ(visibleArea(left, root, {dock}), left);

    // Top and right edges, and the larger of two struts on one edge.
    X11Strut top;
    top.top = 24;
    top.topEndX = 1279;
    X11Strut taller = top;
    taller.top = 40;
    X11Strut side;
    side.right = 50;
    side.rightEndY = 799;
    EXPECT_EQ(visibleArea(QRect(QPoint(0, 0), root), root, {top, taller, side}),
              QRect(0, 40, 1230, 760));
}

TEST(X11CoordinateSpaceTest, PutsTheMainMonitorAtTheOriginBothWays) {
    const X11CoordinateSpace space(QPoint(1920, 300));
    EXPECT_EQ(space.toGlobal(QRect(1920, 300, 800, 600)), (GlobalRect{0, 0, 800, 600}));
    EXPECT_EQ(space.toGlobal(QRect(0, 0, 1920, 1080)), (GlobalRect{-1920, -300, 1920, 1080}));
    EXPECT_EQ(space.toRoot(GlobalRect{-1920, -300, 1920, 1080}), QRect(0, 0, 1920, 1080));
    EXPECT_EQ(space.toRoot(GlobalPoint{10, 20}), QPoint(1930, 320));
    EXPECT_EQ(space.toGlobal(QPoint(1930, 320)), (GlobalPoint{10, 20}));
}

TEST(X11CoordinateSpaceTest, ScalesPixelsToPointsAndRoundsEdges) {
    const X11CoordinateSpace space(QPoint(0, 0), 2.0);
    EXPECT_EQ(space.toGlobal(QRect(100, 50, 300, 201)), (GlobalRect{50, 25, 150, 100.5}));
    // Edges round independently, so two rectangles that touch still touch.
    EXPECT_EQ(space.toRoot(GlobalRect{0.3, 0, 10.4, 10}), QRect(1, 0, 20, 20));
    EXPECT_EQ(space.toRoot(GlobalRect{10.7, 0, 5, 10}), QRect(21, 0, 10, 20));
    EXPECT_EQ(space.toRoot(GlobalRect::null()), QRect(0, 0, 0, 0));
    // A scale that is no scale falls back to 1.
    EXPECT_EQ(X11CoordinateSpace(QPoint(), 0.0).scale(), 1.0);
}

X11Monitor monitor(const char* name, QRect rect, bool primary) {
    X11Monitor m;
    m.name = QString::fromLatin1(name);
    m.rect = rect;
    m.isPrimary = primary;
    return m;
}

TEST(X11MonitorArrangementTest, PutsThePrimaryMonitorFirstAndAtTheOrigin) {
    const QList<X11Monitor> arranged =
        arrangeMonitors({monitor("left", QRect(0, 0, 640, 800), false),
                         monitor("middle", QRect(640, 0, 320, 800), false),
                         monitor("right", QRect(960, 100, 320, 700), true)},
                        root, {bottomPanel(30, 0, 1279)});
    ASSERT_EQ(arranged.size(), 3);
    EXPECT_EQ(arranged[0].name, QStringLiteral("right"));
    EXPECT_EQ(arranged[1].name, QStringLiteral("left"));
    EXPECT_EQ(arranged[2].name, QStringLiteral("middle"));
    EXPECT_EQ(arranged[0].visibleRect, QRect(960, 100, 320, 670));
    EXPECT_EQ(arranged[1].visibleRect, QRect(0, 0, 640, 770));

    const X11CoordinateSpace space = X11ScreenReader::coordinateSpace(arranged);
    EXPECT_EQ(space.toGlobal(arranged[0].rect), (GlobalRect{0, 0, 320, 700}));
    EXPECT_EQ(space.toGlobal(arranged[1].rect), (GlobalRect{-960, -100, 640, 800}));

    // Without a primary monitor the first listed is the main one.
    const QList<X11Monitor> plain = arrangeMonitors(
        {monitor("a", QRect(640, 0, 640, 800), false), monitor("b", QRect(0, 0, 640, 800), false)},
        root, {});
    EXPECT_EQ(plain[0].name, QStringLiteral("a"));
    EXPECT_EQ(X11ScreenReader::coordinateSpace(plain).mainOrigin(), QPoint(640, 0));
    EXPECT_EQ(X11ScreenReader::coordinateSpace({}).mainOrigin(), QPoint(0, 0));
}

class X11ScreenReaderTest : public X11Test {
  protected:
    void TearDown() override {
        if (desktop) {
            if (dock != XCB_NONE) {
                xcb_destroy_window(desktop->get(), dock);
            }
            xcb_flush(desktop->get());
        }
    }

    xcb_window_t dock = XCB_NONE;
};

TEST_F(X11ScreenReaderTest, ReadsTheWholeScreenAsTheMainMonitor) {
    const QList<X11Monitor> monitors = X11ScreenReader(*connection).monitors();
    ASSERT_FALSE(monitors.isEmpty());
    EXPECT_EQ(monitors.first().rect, QRect(0, 0, 1280, 800));
    EXPECT_EQ(monitors.first().visibleRect, QRect(0, 0, 1280, 800));
    EXPECT_NE(monitors.first().identifier, 0u);
    EXPECT_EQ(X11ScreenReader::coordinateSpace(monitors).mainOrigin(), QPoint(0, 0));
}

TEST_F(X11ScreenReaderTest, LeavesOutTheSpaceAMappedPanelReserves) {
    xcb_connection_t* c = desktop->get();
    dock = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, dock, desktop->root(), 0, 770, 1280, 30, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
    const xcb_atom_t dockType = desktop->atom("_NET_WM_WINDOW_TYPE_DOCK");
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, dock, desktop->atom("_NET_WM_WINDOW_TYPE"),
                        XCB_ATOM_ATOM, 32, 1, &dockType);
    const uint32_t strut[12] = {0, 0, 0, 30, 0, 0, 0, 0, 0, 0, 0, 1279};
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, dock, desktop->atom("_NET_WM_STRUT_PARTIAL"),
                        XCB_ATOM_CARDINAL, 32, 12, strut);
    xcb_map_window(c, dock);
    xcb_flush(c);

    const X11ScreenReader reader(*connection);
    ASSERT_TRUE(X11TestDesktop::waitUntil(
        [&] { return reader.monitors().first().visibleRect == QRect(0, 0, 1280, 770); }));
    EXPECT_EQ(reader.monitors().first().rect, QRect(0, 0, 1280, 800));

    // Unmapped, it reserves nothing.
    xcb_unmap_window(c, dock);
    xcb_flush(c);
    EXPECT_TRUE(X11TestDesktop::waitUntil(
        [&] { return reader.monitors().first().visibleRect == QRect(0, 0, 1280, 800); }));
}

}  // namespace
}  // namespace pellucine
