#include <gtest/gtest.h>

#include "panels/PanelArithmetic.h"

namespace pellucine {
namespace {

TEST(PanelArithmeticTest, HalvesRoundAwayFromZero) {
    EXPECT_EQ(roundHalfAwayFromZero(2.5), 3);
    EXPECT_EQ(roundHalfAwayFromZero(-2.5), -3);
    EXPECT_EQ(roundHalfAwayFromZero(-1050.5), -1051);
    EXPECT_EQ(roundHalfAwayFromZero(-1050.49), -1050);
    EXPECT_EQ(roundHalfAwayFromZero(0.5), 1);
    EXPECT_EQ(roundHalfAwayFromZero(-0.4), 0);
}

TEST(PanelArithmeticTest, CrossedBoundsGiveTheLowerBound) {
    EXPECT_EQ(clampLowerWins(5, 0, 10), 5);
    EXPECT_EQ(clampLowerWins(-5, 0, 10), 0);
    EXPECT_EQ(clampLowerWins(15, 0, 10), 10);
    EXPECT_EQ(clampLowerWins(5, 10, 0), 10);
    EXPECT_EQ(clampLowerWins(50, 10, 0), 10);
}

}  // namespace
}  // namespace pellucine
