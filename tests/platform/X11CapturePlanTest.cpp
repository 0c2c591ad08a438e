#include <gtest/gtest.h>

#include <limits>

#include "platform/x11/X11CapturePlan.h"

namespace pellucine {
namespace {

TEST(X11CapturePlanTest, PictureSizesAreCountedIn64BitsAndBounded) {
    // 2^25 pixels exactly: the budget itself is allowed, one row more is not.
    EXPECT_EQ(pictureBytes(QSize(8192, 4096)), qint64(1) << 27);
    EXPECT_EQ(pictureBytes(QSize(8192, 4097)), std::nullopt);
    // The window of a hostile client: past 2^31 bytes, refused without overflowing.
    EXPECT_EQ(pictureBytes(QSize(32767, 16000)), std::nullopt);
    const qint64 unbounded = std::numeric_limits<qint64>::max();
    EXPECT_EQ(pictureBytes(QSize(65535, 65535), unbounded), qint64(65535) * 65535 * 4);
    EXPECT_EQ(pictureBytes(QSize(0, 10)), std::nullopt);
    EXPECT_EQ(pictureBytes(QSize(10, -1)), std::nullopt);
    EXPECT_EQ(pictureBytes(QSize(1, 1)), 4);
}

TEST(X11CapturePlanTest, FixedPointKeepsToItsRange) {
    EXPECT_EQ(toFixed(1.0), 65536);
    EXPECT_EQ(toFixed(-0.5), -32768);
    EXPECT_TRUE(toFixed(32767.99));
    EXPECT_FALSE(toFixed(32768.0));
    EXPECT_TRUE(toFixed(-32768.0));
    EXPECT_FALSE(toFixed(-32769.0));
    EXPECT_FALSE(toFixed(std::numeric_limits<double>::infinity()));
    EXPECT_FALSE(toFixed(std::numeric_limits<double>::quiet_NaN()));
}

TEST(X11CapturePlanTest, APartOfThePixmapIsSampledFromItsOwnCorner) {
    // The first step starts at the part's corner, each axis its own; later steps at 0.
    const auto halved = planReduction(QRect(61, 55, 1200, 600), QSize(300, 150), true);
    ASSERT_TRUE(halved);
    ASSERT_EQ(halved->steps.size(), 2);
    EXPECT_EQ(halved->steps[0], (X11ReductionStep{QSize(600, 300), 2, 2, 61, 55}));
    EXPECT_EQ(halved->steps[1], (X11ReductionStep{QSize(300, 150), 2, 2, 0, 0}));
    const auto own = planReduction(QRect(7, 3, 100, 50), QSize(80, 80), false);
    ASSERT_TRUE(own);
    EXPECT_EQ(own->steps, (QList<X11ReductionStep>{{QSize(80, 50), 1, 1, 7, 3}}));
    EXPECT_FALSE(planReduction(QRect(-1, 0, 100, 50), QSize(80, 80), true));
}

TEST(X11CapturePlanTest, LargeReductionsHalveUntilTheLastStepIsAtMostTwo) {
    const auto plan = planReduction(QSize(1920, 1080), 0, QSize(480, 270), true);
    ASSERT_TRUE(plan);
    EXPECT_TRUE(plan->smooth);
    EXPECT_EQ(plan->placed, QRect(0, 0, 480, 270));
    ASSERT_EQ(plan->steps.size(), 2);
    EXPECT_EQ(plan->steps[0], (X11ReductionStep{QSize(960, 540), 2, 2, 0, 0}));
    EXPECT_EQ(plan->steps[1], (X11ReductionStep{QSize(480, 270), 2, 2, 0, 0}));

    // Exactly twice: one step; a little more: a halving first.
    EXPECT_EQ(planReduction(QSize(1040, 584), 0, QSize(520, 292), true)->steps.size(), 1);
    EXPECT_EQ(planReduction(QSize(1042, 585), 0, QSize(520, 292), true)->steps.size(), 2);

    // The fitted width is truncated (519.1 here), leaving a transparent column.
    EXPECT_EQ(planReduction(QSize(1920, 1080), 0, QSize(520, 292), true)->placed,
              QRect(0, 0, 519, 292));

    // Odd sizes: the halving rounds its picture up and keeps the exact scale for the next step.
    const auto odd = planReduction(QSize(4001, 3001), 0, QSize(400, 300), true);
    ASSERT_TRUE(odd);
    ASSERT_EQ(odd->steps.size(), 4);
    EXPECT_EQ(odd->steps[0].size, QSize(2001, 1501));
    EXPECT_EQ(odd->steps[2].size, QSize(501, 376));
    EXPECT_EQ(odd->placed, QRect(0, 0, 399, 300));
    EXPECT_DOUBLE_EQ(odd->steps[3].scaleX, 4001.0 / 8 / 399);
}

TEST(X11CapturePlanTest, SmallWindowsAreEnlargedInOneStep) {
    const auto plan = planReduction(QSize(240, 160), 0, QSize(480, 320), true);
    ASSERT_TRUE(plan);
    ASSERT_EQ(plan->steps.size(), 1);
    EXPECT_EQ(plan->placed, QRect(0, 0, 480, 320));
    EXPECT_EQ(plan->steps[0], (X11ReductionStep{QSize(480, 320), 0.5, 0.5, 0, 0}));
}

TEST(X11CapturePlanTest, FittingCentresAndCroppingKeepsTheTopLeft) {
    // A tall window in a wide picture: centred between transparent bands.
    const auto fitted = planReduction(QSize(100, 400), 0, QSize(300, 200), true);
    ASSERT_TRUE(fitted);
    EXPECT_EQ(fitted->placed, QRect(125, 0, 50, 200));

    // Cropping: the own size from the top-left, no filter, the border skipped.
    const auto cut = planReduction(QSize(300, 100), 3, QSize(200, 150), false);
    ASSERT_TRUE(cut);
    EXPECT_FALSE(cut->smooth);
    EXPECT_EQ(cut->placed, QRect(0, 0, 200, 100));
    ASSERT_EQ(cut->steps.size(), 1);
    EXPECT_EQ(cut->steps[0], (X11ReductionStep{QSize(200, 100), 1, 1, 3, 3}));
}

TEST(X11CapturePlanTest, TheBorderIsSkippedOnlyByTheFirstStep) {
    const auto plan = planReduction(QSize(2000, 1000), 5, QSize(400, 200), true);
    ASSERT_TRUE(plan);
    ASSERT_EQ(plan->steps.size(), 3);
    EXPECT_DOUBLE_EQ(plan->steps[0].offsetX, 5);
    EXPECT_DOUBLE_EQ(plan->steps[0].offsetY, 5);
    EXPECT_DOUBLE_EQ(plan->steps[1].offsetX, 0);
    EXPECT_DOUBLE_EQ(plan->steps[2].offsetY, 0);
}

TEST(X11CapturePlanTest, ExtremeShapesHalveEachAxisOnItsOwn) {
    // 30000 x 3 fitted into 100 x 100 is 100 x 1: only the width needs many halvings.
    const auto plan = planReduction(QSize(30000, 3), 0, QSize(100, 100), true);
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->placed, QRect(0, 49, 100, 1));
    for (const X11ReductionStep& step : plan->steps) {
        EXPECT_LE(step.scaleX, 2.0);
        EXPECT_LE(step.scaleY, 2.0);
    }
    EXPECT_EQ(plan->steps.front().scaleY, 2);
    EXPECT_EQ(plan->steps.back().size, QSize(100, 1));
}

TEST(X11CapturePlanTest, RefusesWhatCannotBeDrawn) {
    EXPECT_FALSE(planReduction(QSize(0, 100), 0, QSize(100, 100), true));
    EXPECT_FALSE(planReduction(QSize(100, 100), 0, QSize(100, 0), true));
    EXPECT_FALSE(planReduction(QSize(100, 100), -1, QSize(100, 100), true));
    // Over the pixel budget, on either side.
    EXPECT_FALSE(planReduction(QSize(32767, 16000), 0, QSize(520, 254), true));
    EXPECT_FALSE(planReduction(QSize(100, 100), 0, QSize(8192, 8192), true));
    EXPECT_TRUE(planReduction(QSize(100, 100), 0, QSize(8192, 4096), true));
    // Wider than a pixmap may be, though within the budget.
    EXPECT_FALSE(planReduction(QSize(100, 100), 0, QSize(32768, 2), true));
    // A border beyond the fixed-point range.
    EXPECT_FALSE(planReduction(QSize(100, 100), 40000, QSize(100, 100), false));
    // A custom budget.
    EXPECT_FALSE(planReduction(QSize(101, 100), 0, QSize(10, 10), true, 10000));
    EXPECT_TRUE(planReduction(QSize(100, 100), 0, QSize(10, 10), true, 10000));
}

}  // namespace
}  // namespace pellucine
