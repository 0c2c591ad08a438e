#include <gtest/gtest.h>

#include "panels/FullSizePeekLayout.h"

namespace pellucine {
namespace {

const ScreenRect laptop{0, 0, 1440, 875};

void expectLayout(const FullSizePeekLayout& l, Size panel, Size picture, ScreenPoint origin) {
    EXPECT_NEAR(l.panelSize.width, panel.width, 1e-9);
    EXPECT_NEAR(l.panelSize.height, panel.height, 1e-9);
    EXPECT_NEAR(l.pictureSize.width, picture.width, 1e-9);
    EXPECT_NEAR(l.pictureSize.height, picture.height, 1e-9);
    EXPECT_NEAR(l.origin.x, origin.x, 1e-9);
    EXPECT_NEAR(l.origin.y, origin.y, 1e-9);
}

TEST(FullSizePeekLayoutTest, LargeAndSmallPictures) {
    expectLayout(FullSizePeekLayout::fitted(2880, 1800, laptop), {1124, 745.5}, {1100, 687.5},
                 {158, 101.5});
    // Small pictures are never enlarged.
    expectLayout(FullSizePeekLayout::fitted(600, 400, laptop), {624, 458}, {600, 400}, {408, 389});
}

TEST(FullSizePeekLayoutTest, LimitsFollowTheScreenOnSmallScreens) {
    // Height-limited by 200 − 110 = 90.
    expectLayout(FullSizePeekLayout::fitted(2880, 1800, {0, 0, 300, 200}), {168, 148}, {144, 90},
                 {66, 24});
    // A very wide picture is limited by 1100 on a large screen.
    const auto wide = FullSizePeekLayout::fitted(11000, 1000, {0, 0, 3000, 2000});
    EXPECT_DOUBLE_EQ(wide.pictureSize.width, 1100);
    EXPECT_DOUBLE_EQ(wide.pictureSize.height, 100);
}

TEST(FullSizePeekLayoutTest, ZeroSidesCountAsOnePixel) {
    expectLayout(FullSizePeekLayout::fitted(0, 0, laptop), {25, 59}, {1, 1}, {707.5, 788});
    EXPECT_DOUBLE_EQ(FullSizePeekLayout::fitted(500, 0, laptop).pictureSize.height, 1);
}

TEST(FullSizePeekLayoutTest, TinyAreaNeverGivesANegativeSize) {
    for (const ScreenRect area : {ScreenRect{0, 0, 50, 60}, ScreenRect{0, 0, 72, 110},
                                  ScreenRect{10, 10, 0, 0}, ScreenRect{0, 0, 1440, 20}}) {
        const auto l = FullSizePeekLayout::fitted(2880, 1800, area);
        EXPECT_GT(l.pictureSize.width, 0);
        EXPECT_GT(l.pictureSize.height, 0);
        EXPECT_GE(l.panelSize.width, FullSizePeekLayout::panelExtraWidth);
        EXPECT_GE(l.panelSize.height, FullSizePeekLayout::panelExtraHeight);
        EXPECT_LE(l.pictureSize.height, 1);
    }
}

TEST(FullSizePeekLayoutTest, PanelWrapsPictureCentredBelowTheTop) {
    const ScreenRect area{-1920, 300, 1920, 1080};
    for (const auto& [w, h] : {std::pair{1920.0, 1080.0}, {800.0, 3000.0}, {300.0, 200.0}}) {
        const auto l = FullSizePeekLayout::fitted(w, h, area);
        EXPECT_DOUBLE_EQ(l.panelSize.width, l.pictureSize.width + 24);
        EXPECT_DOUBLE_EQ(l.panelSize.height, l.pictureSize.height + 58);
        EXPECT_DOUBLE_EQ(l.origin.x + l.panelSize.width / 2, area.midX());
        EXPECT_DOUBLE_EQ(l.origin.y + l.panelSize.height, area.maxY() - 28);
        EXPECT_NEAR(l.pictureSize.width / l.pictureSize.height, w / h, 1e-9);
    }
}

// A 1920 x 1050 work area; the Dock glance's header and menu button take its top 60.
const ScreenRect desk{0, 0, 1920, 1050};
constexpr double header = 60;

TEST(FullSizePeekLayoutTest, TallDockGlanceGetsNoSliverAbove) {
    // 20 of room above: the peek goes over the tiles, the largest place, below the header.
    const ScreenRect glance{660, 40, 600, 990};
    const auto l = FullSizePeekLayout::placedAround(1600, 1000, desk, glance, header, {});
    EXPECT_DOUBLE_EQ(l.pictureSize.width, 1100);
    EXPECT_DOUBLE_EQ(l.pictureSize.height, 687.5);
    EXPECT_DOUBLE_EQ(l.origin.y + l.panelSize.height, glance.maxY() - header - 28);
    // With no room on either side either, the same place.
    const auto wide =
        FullSizePeekLayout::placedAround(1600, 1000, desk, {0, 40, 1920, 990}, header, {});
    EXPECT_EQ(wide, l);
}

TEST(FullSizePeekLayoutTest, ASmallWindowKeepsItsOwnSizeBesideTheGlance) {
    // Beside the glance as large as over it: beside wins and covers none of it.
    const ScreenRect glance{0, 40, 1400, 990};
    const auto l = FullSizePeekLayout::placedAround(400, 300, desk, glance, header, {});
    EXPECT_EQ(l.pictureSize, (Size{400, 300}));
    EXPECT_GE(l.origin.x, glance.maxX());
    EXPECT_LE(l.origin.x + l.panelSize.width, desk.maxX());
    // Above the glance when it fits there at its own size, though less than the usable height.
    const auto above =
        FullSizePeekLayout::placedAround(200, 100, desk, {300, 0, 1320, 835}, header, {});
    EXPECT_EQ(above.pictureSize, (Size{200, 100}));
    EXPECT_GE(above.origin.y, 835);
}

TEST(FullSizePeekLayoutTest, AboveTheGlanceWhileItsPictureIsUsable) {
    // 270 above leaves 160 for the picture: above; one point less goes over the tiles.
    const auto at =
        FullSizePeekLayout::placedAround(1600, 1000, desk, {300, 0, 1320, 780}, header, {});
    EXPECT_DOUBLE_EQ(at.pictureSize.height, FullSizePeekLayout::usablePictureHeight);
    EXPECT_GE(at.origin.y, 780);
    const auto below =
        FullSizePeekLayout::placedAround(1600, 1000, desk, {300, 0, 1320, 781}, header, {});
    EXPECT_DOUBLE_EQ(below.pictureSize.height, 781 - header - 110);
    EXPECT_LE(below.origin.y + below.panelSize.height, 781 - header);
    // A glance low on the screen changes nothing: the whole area lies above it.
    EXPECT_EQ(
        FullSizePeekLayout::placedAround(1600, 1000, desk, {300, -400, 1320, 300}, header, {}),
        FullSizePeekLayout::fitted(1600, 1000, desk));
}

TEST(FullSizePeekLayoutTest, SmallScreenAndOddGlances) {
    // The glance fills a small screen: over the tiles, never above the header's bottom.
    const ScreenRect small{0, 0, 800, 600};
    const auto l =
        FullSizePeekLayout::placedAround(1600, 1000, small, {0, 0, 800, 580}, header, {});
    EXPECT_DOUBLE_EQ(l.pictureSize.height, 410);
    EXPECT_LE(l.origin.y + l.panelSize.height, 520);
    EXPECT_GE(l.origin.y, small.y);
    // A header deeper than the glance, a negative depth or a glance off the screen still give
    // a positive peek inside the area's width.
    for (const auto& [glance, depth] : {std::pair{ScreenRect{0, 0, 800, 580}, 900.0},
                                        {ScreenRect{0, 0, 800, 580}, -50.0},
                                        {ScreenRect{2000, 0, 800, 600}, header},
                                        {ScreenRect{0, 600, 800, -600}, header}}) {
        const auto odd = FullSizePeekLayout::placedAround(1600, 1000, small, glance, depth, {});
        EXPECT_GT(odd.pictureSize.height, 0);
        EXPECT_LE(odd.panelSize.width, small.width);
    }
}

TEST(FullSizePeekLayoutTest, ThePeekIsNeverSmallerThanTheTile) {
    // A 1280 x 800 screen over a 72-high Dock bar; the glance's header takes its top 60.
    const ScreenRect screen{0, 72, 1280, 728};
    struct Row {
        const char* name;
        Size picture;
        ScreenRect glance;
        Size tile;
        Size expected;
    };
    const Row rows[] = {
        // One 640 x 480 window on a 540-wide card: the tiles' room (318 high) and the sides
        // (280 wide) are smaller than the tile's 514 x 386, so the peek rises over the header
        // and shows the window at its own size.
        {"tall glance, picture larger on the tile",
         {640, 480},
         {352, 90, 576, 470},
         {514.2857142857143, 385.7142857142857},
         {640, 480}},
        // 300 above gives a usable 304 x 190, smaller than the 400 x 250 tile: over the tiles,
        // the largest place, and larger than the tile.
        {"usable above but smaller than the tile",
         {1600, 1000},
         {440, 90, 400, 410},
         {400, 250},
         {412.8, 258}},
        // Above is usable and as large as the tile: above, as before.
        {"usable above and as large as the tile",
         {1600, 1000},
         {300, 90, 680, 400},
         {240, 150},
         {320, 200}},
        // No tile to match (a compact row): the largest of the four places.
        {"no tile", {640, 480}, {352, 90, 576, 470}, {}, {424, 318}},
    };
    for (const Row& row : rows) {
        const auto l = FullSizePeekLayout::placedAround(row.picture.width, row.picture.height,
                                                        screen, row.glance, header, row.tile);
        EXPECT_NEAR(l.pictureSize.width, row.expected.width, 1e-6) << row.name;
        EXPECT_NEAR(l.pictureSize.height, row.expected.height, 1e-6) << row.name;
        EXPECT_GE(l.origin.y, screen.minY()) << row.name;
        EXPECT_LE(l.origin.y + l.panelSize.height, screen.maxY()) << row.name;
    }
}

}  // namespace
}  // namespace pellucine
