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

}  // namespace
}  // namespace pellucine
