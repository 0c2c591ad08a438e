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
