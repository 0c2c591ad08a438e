#include <gtest/gtest.h>

#include "base/Rect.h"

namespace pellucine {
namespace {

TEST(RectTest, StandardisesNegativeSizesBeforeEveryQuery) {
    const GlobalRect r{10, 20, -4, -6};
    EXPECT_EQ(r.standardized(), (GlobalRect{6, 14, 4, 6}));
    EXPECT_DOUBLE_EQ(r.minX(), 6);
    EXPECT_DOUBLE_EQ(r.maxX(), 10);
    EXPECT_DOUBLE_EQ(r.minY(), 14);
    EXPECT_DOUBLE_EQ(r.maxY(), 20);
    EXPECT_DOUBLE_EQ(r.midX(), 8);
    EXPECT_DOUBLE_EQ(r.midY(), 17);
    EXPECT_EQ(r, (GlobalRect{6, 14, 4, 6}));
    EXPECT_NE(r, (GlobalRect{6, 14, 4, 7}));
}

TEST(RectTest, ContainmentIsHalfOpen) {
    const ScreenRect r{0, 0, 100, 50};
    EXPECT_TRUE(r.contains({0, 0}));
    EXPECT_TRUE(r.contains({99.999, 49.999}));
    EXPECT_FALSE(r.contains({100, 10}));
    EXPECT_FALSE(r.contains({10, 50}));
    EXPECT_FALSE(r.contains({-0.001, 10}));
    EXPECT_FALSE(ScreenRect::null().contains({0, 0}));
    // Two screens side by side: the seam belongs to the right one only.
    const ScreenRect right{100, 0, 100, 50};
    EXPECT_TRUE(right.contains({100, 10}));
}

TEST(RectTest, IntersectionOfOverlappingTouchingAndDisjointRectangles) {
    const GlobalRect a{0, 0, 100, 100};
    EXPECT_EQ(a.intersected({50, 50, 100, 100}), (GlobalRect{50, 50, 50, 50}));
    EXPECT_TRUE(a.intersected({100, 0, 10, 10}).isNull());
    EXPECT_TRUE(a.intersected({200, 200, 10, 10}).isNull());
    EXPECT_FALSE(a.intersects({100, 0, 10, 10}));
    EXPECT_EQ(a.intersected({110, 110, -20, -20}), (GlobalRect{90, 90, 10, 10}));
    EXPECT_TRUE(a.intersected(GlobalRect::null()).isNull());
    EXPECT_DOUBLE_EQ(a.intersected({-10, -10, 20, 30}).area(), 200);
}

TEST(RectTest, InsetShrinksGrowsAndCollapsesToNull) {
    const GlobalRect r{10, 10, 20, 10};
    EXPECT_EQ(r.insetBy(2, 3), (GlobalRect{12, 13, 16, 4}));
    EXPECT_EQ(r.insetBy(-2, -2), (GlobalRect{8, 8, 24, 14}));
    EXPECT_EQ(r.insetBy(10, 5), (GlobalRect{20, 15, 0, 0}));
    EXPECT_TRUE(r.insetBy(10.5, 0).isNull());
    EXPECT_TRUE(r.insetBy(0, 6).isNull());
}

TEST(RectTest, UnionIgnoresNull) {
    const GlobalRect a{0, 0, 10, 10};
    EXPECT_EQ(a.united({20, -5, 5, 5}), (GlobalRect{0, -5, 25, 15}));
    EXPECT_EQ(a.united(GlobalRect::null()), a);
    EXPECT_EQ(GlobalRect::null().united(a), a);
}

TEST(RectTest, NullAndEmpty) {
    EXPECT_TRUE(GlobalRect::null().isNull());
    EXPECT_TRUE(GlobalRect::null().isEmpty());
    EXPECT_EQ(GlobalRect::null(), GlobalRect::null());
    EXPECT_NE(GlobalRect::null(), (GlobalRect{0, 0, 0, 0}));
    EXPECT_TRUE((GlobalRect{5, 5, 0, 10}).isEmpty());
    EXPECT_FALSE((GlobalRect{5, 5, 0, 10}).isNull());
}

TEST(RectTest, SpaceConversionFlipsAroundTheMainDisplayHeight) {
    // Main display 1440x900; a secondary display above-left with a negative origin.
    const GlobalRect window{100, 50, 400, 300};
    EXPECT_EQ(toScreenSpace(window, 900), (ScreenRect{100, 550, 400, 300}));
    EXPECT_EQ(toGlobalSpace(toScreenSpace(window, 900), 900), window);
    const GlobalRect secondary{-1920, -1080, 1920, 1080};
    EXPECT_EQ(toScreenSpace(secondary, 900), (ScreenRect{-1920, 900, 1920, 1080}));
    EXPECT_EQ(toScreenSpace(GlobalRect{10, 10, -5, -5}, 100), (ScreenRect{5, 90, 5, 5}));
    EXPECT_EQ(toScreenSpace(GlobalPoint{3, 0}, 900), (ScreenPoint{3, 900}));
    EXPECT_EQ(toGlobalSpace(ScreenPoint{3, 900}, 900), (GlobalPoint{3, 0}));
    EXPECT_TRUE(toScreenSpace(GlobalRect::null(), 900).isNull());
}

}  // namespace
}  // namespace pellucine
