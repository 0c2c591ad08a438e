#include <gtest/gtest.h>

#include "panels/PreviewPanelPlacement.h"

namespace pellucine {
namespace {

using PreviewPanelPlacement::origin;

const ScreenRect area{0, 80, 1440, 800};
const Size panel{600, 300};

TEST(PreviewPanelPlacementTest, DockStripAndPlainGlances) {
    EXPECT_EQ(origin(panel, area, ScreenPoint{700, 40}, std::nullopt), (ScreenPoint{400, 94}));
    EXPECT_EQ(origin(panel, area, std::nullopt, ScreenRect{300, 400, 840, 120}),
              (ScreenPoint{420, 530}));
    EXPECT_EQ(origin(panel, area, std::nullopt, std::nullopt), (ScreenPoint{420, 552}));
}

TEST(PreviewPanelPlacementTest, NearestEdgeTiesGoBottomTopLeftRight) {
    // 100 from the bottom and 100 from the left: above the anchor.
    EXPECT_EQ(origin(panel, area, ScreenPoint{100, 180}, std::nullopt), (ScreenPoint{0, 234}));
    // Equally far from left and right, nearer to them than to top or bottom: right of the anchor.
    const ScreenRect tall{0, 0, 400, 2000};
    EXPECT_EQ(origin({100, 100}, tall, ScreenPoint{200, 1000}, std::nullopt),
              (ScreenPoint{254, 950}));
    // Top edge: the panel hangs 54 below the anchor.
    EXPECT_EQ(origin(panel, area, ScreenPoint{700, 900}, std::nullopt), (ScreenPoint{400, 546}));
}

TEST(PreviewPanelPlacementTest, DockOnEitherSide) {
    // Left Dock: 54 right of the anchor, centred on it vertically.
    EXPECT_EQ(origin(panel, area, ScreenPoint{-20, 500}, std::nullopt), (ScreenPoint{34, 350}));
    // Right Dock: 54 left of the anchor, kept inside at the top.
    EXPECT_EQ(origin(panel, area, ScreenPoint{1445, 800}, std::nullopt), (ScreenPoint{791, 580}));
}

TEST(PreviewPanelPlacementTest, AnchorNearCornersStaysInside) {
    for (const ScreenPoint anchor : {ScreenPoint{2, 82}, ScreenPoint{1438, 82}, ScreenPoint{2, 878},
                                     ScreenPoint{1438, 878}, ScreenPoint{-50, -50}}) {
        const ScreenPoint o = origin(panel, area, anchor, std::nullopt);
        EXPECT_GE(o.x, area.minX());
        EXPECT_LE(o.x + panel.width, area.maxX());
        EXPECT_GE(o.y, area.minY());
        EXPECT_LE(o.y + panel.height, area.maxY());
    }
}

// A Dock glance for each edge of the area (0, 80, 1440×800): beside the anchor, away from the
// edge, and inside the area when the room beside it is short, the anchor sits in a corner or
// lies outside the area (the pointer on a panel outside the visible frame).
TEST(PreviewPanelPlacementTest, DockGlanceForEachEdgeStaysBesideTheAnchorAndInside) {
    struct Row {
        const char* name;
        Size panel;
        ScreenPoint anchor;
        ScreenPoint expected;
    };
    const Row rows[] = {
        {"bottom: above", panel, {700, 100}, {400, 154}},
        {"bottom: taller than the room above", {600, 780}, {700, 100}, {400, 100}},
        {"bottom: left corner", panel, {2, 82}, {0, 136}},
        {"bottom: right corner", panel, {1438, 82}, {840, 136}},
        {"bottom: far below the area", panel, {700, -50}, {400, 80}},
        {"top: below", panel, {700, 860}, {400, 506}},
        {"top: taller than the room below", {600, 760}, {700, 860}, {400, 80}},
        {"top: left corner", panel, {2, 878}, {0, 524}},
        {"top: right corner", panel, {1438, 878}, {840, 524}},
        {"top: far above the area", panel, {700, 1000}, {400, 580}},
        {"left: right of it", panel, {10, 500}, {64, 350}},
        {"left: wider than the room", {1400, 300}, {10, 500}, {40, 350}},
        {"left: bottom corner", panel, {1, 83}, {55, 80}},
        {"left: top corner", panel, {1, 877}, {55, 580}},
        {"left: far outside", panel, {-100, 500}, {0, 350}},
        {"right: left of it", panel, {1430, 500}, {776, 350}},
        {"right: wider than the room", {1400, 300}, {1430, 500}, {0, 350}},
        {"right: bottom corner", panel, {1439, 83}, {785, 80}},
        {"right: top corner", panel, {1439, 877}, {785, 580}},
        {"right: far outside", panel, {1500, 500}, {840, 350}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const ScreenPoint o = origin(row.panel, area, row.anchor, std::nullopt);
        EXPECT_EQ(o, row.expected);
        EXPECT_GE(o.x, area.minX());
        EXPECT_LE(o.x + row.panel.width, area.maxX());
        EXPECT_GE(o.y, area.minY());
        EXPECT_LE(o.y + row.panel.height, area.maxY());
    }
}

TEST(PreviewPanelPlacementTest, OversizedPanelWithAnchorGoesToTheMinimumEdges) {
    const ScreenPoint o = origin({2000, 1000}, area, ScreenPoint{700, 40}, std::nullopt);
    EXPECT_EQ(o, (ScreenPoint{0, 80}));
}

TEST(PreviewPanelPlacementTest, StripFrame) {
    // Ignored when an anchor is given.
    EXPECT_EQ(origin(panel, area, ScreenPoint{700, 40}, ScreenRect{0, 500, 100, 100}),
              (ScreenPoint{400, 94}));
    // High strip: the top stays 20 below the area's top.
    EXPECT_EQ(origin(panel, area, std::nullopt, ScreenRect{300, 500, 840, 100}),
              (ScreenPoint{420, 560}));
    // x is not clamped: a panel wider than the area is centred on it.
    EXPECT_EQ(origin({1600, 300}, area, std::nullopt, ScreenRect{300, 400, 840, 120}).x, -80);
    // A strip below the area: the bottom stays on the area.
    EXPECT_EQ(origin(panel, area, std::nullopt, ScreenRect{300, -200, 840, 100}).y, 80);
}

TEST(PreviewPanelPlacementTest, ShortAreasKeepThePanelTopOnScreen) {
    // The bottom floor of 190 leaves less than 28 to the top.
    EXPECT_EQ(origin({600, 150}, ScreenRect{0, 0, 1440, 360}, std::nullopt, std::nullopt).y, 190);
    // Where the floor would push the top beyond the area, the top stays at the area's top.
    EXPECT_EQ(origin({600, 300}, ScreenRect{0, 0, 1440, 400}, std::nullopt, std::nullopt).y, 100);
    // The same with a strip, for a panel taller than the area.
    EXPECT_EQ(
        origin({600, 500}, ScreenRect{0, 0, 1440, 400}, std::nullopt, ScreenRect{0, 0, 100, 100}).y,
        -100);
}

TEST(PreviewPanelPlacementTest, NegativeOriginScreen) {
    const ScreenRect left{-1920, -200, 1920, 1080};
    EXPECT_EQ(origin(panel, left, std::nullopt, std::nullopt), (ScreenPoint{-1260, 552}));
    EXPECT_EQ(origin(panel, left, ScreenPoint{-960, -210}, std::nullopt),
              (ScreenPoint{-1260, -156}));
}

}  // namespace
}  // namespace pellucine
