#include <gtest/gtest.h>

#include "panels/PanelFrames.h"

namespace pellucine {
namespace {

TEST(PanelFramesTest, KeepsTheLowerLeftCornerAndRoundsTheSizeUp) {
    const PanelFrames frames{{0, 0}, 875};
    // The glance of the Command-Tab example: 1112 × 274.5 at (164, 530).
    const QRect geometry = frames.toWidget({164, 530, 1112, 274.5});
    EXPECT_EQ(geometry, QRect(164, 70, 1112, 275));
    EXPECT_EQ(geometry.y() + geometry.height(), 875 - 530);
    // Halves of the origin go away from zero.
    EXPECT_EQ(frames.toWidget({10.5, 20.5, 100, 50}).x(), 11);
    EXPECT_EQ(frames.toWidget({-10.5, 0, 100, 50}).x(), -11);
    EXPECT_EQ(frames.fromWidget(geometry), (ScreenRect{164, 530, 1112, 275}));
}

TEST(PanelFramesTest, FollowsAMainDisplayAwayFromTheOrigin) {
    // The main display sits right of and below another one in the window system.
    const PanelFrames frames{{1920, 200}, 1080};
    const ScreenRect frame{100, 80, 600, 300};
    const QRect geometry = frames.toWidget(frame);
    EXPECT_EQ(geometry, QRect(2020, 200 + 1080 - 80 - 300, 600, 300));
    EXPECT_EQ(frames.fromWidget(geometry), frame);
    // A display left of the main one has negative x in both spaces.
    EXPECT_EQ(frames.fromWidget(QRect(0, 200, 100, 100)).x, -1920);
}

// At 2 device pixels a point, Qt keeps each screen's top-left where it is in device pixels: a
// screen right of a 3840-pixel main one starts at Qt's x 3840 but at 1920 points.
TEST(PanelFramesTest, AFrameMovesWithTheScreenHoldingItsCentre) {
    const PanelFrames::Area right = PanelFrames::area({3840, 0, 1920, 1080}, 2, {0, 0}, 2);
    ASSERT_EQ(right, (PanelFrames::Area{{1920, 0, 1920, 1080}, {3840, 0}}));
    const PanelFrames::Area left = PanelFrames::area({-2560, 500, 1280, 800}, 2, {0, 0}, 2);
    ASSERT_EQ(left, (PanelFrames::Area{{-1280, 250, 1280, 800}, {-2560, 500}}));
    // A screen at a ratio of its own keeps its size in device pixels.
    EXPECT_EQ(PanelFrames::area({3840, 0, 1920, 1080}, 1, {0, 0}, 2).points,
              (GlobalRect{1920, 0, 960, 540}));
    EXPECT_EQ(PanelFrames::area({0, 0, 960, 540}, 2, {1000, 0}, 2).points,
              (GlobalRect{-500, 0, 960, 540}));

    const PanelFrames frames{{0, 0}, 1080, {right, left}};
    struct Row {
        const char* name;
        ScreenRect frame;
        QRect widget;
    };
    const Row rows[] = {
        {"on the main screen", {100, 80, 600, 300}, {100, 700, 600, 300}},
        {"on the right screen", {2000, 80, 600, 300}, {3920, 700, 600, 300}},
        {"centred on the right screen", {1800, 80, 600, 300}, {3720, 700, 600, 300}},
        {"centred on the main screen", {1500, 80, 600, 300}, {1500, 700, 600, 300}},
        {"on the left screen, lower down", {-1000, 100, 400, 200}, {-2280, 1030, 400, 200}},
        {"on no screen", {8000, 80, 100, 100}, {8000, 900, 100, 100}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(frames.toWidget(row.frame), row.widget);
        EXPECT_EQ(frames.fromWidget(row.widget), row.frame);
    }
}

TEST(PanelFramesTest, VisibleFrameOfTheScreenHoldingMostOfTheFrame) {
    const Screen left{1, {0, 0, 1000, 800}, {0, 0, 1000, 780}};
    const Screen right{2, {1000, 0, 1000, 800}, {1000, 40, 1000, 760}};
    const ScreenRect fallback{0, 0, 1440, 900};
    EXPECT_EQ(visibleFrameUnder({900, 100, 300, 100}, {left, right}, fallback), right.visibleFrame);
    EXPECT_EQ(visibleFrameUnder({700, 100, 400, 100}, {left, right}, fallback), left.visibleFrame);
    // A frame on no screen (or one touching a screen's edge only) goes to the main screen.
    EXPECT_EQ(visibleFrameUnder({3000, 100, 300, 100}, {right, left}, fallback),
              right.visibleFrame);
    EXPECT_EQ(visibleFrameUnder({1000, 800, 10, 10}, {left, right}, fallback), left.visibleFrame);
    EXPECT_EQ(visibleFrameUnder({0, 0, 10, 10}, {}, fallback), fallback);
}

}  // namespace
}  // namespace pellucine
