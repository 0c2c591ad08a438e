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
