#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "panels/PreviewGridLayout.h"

namespace pellucine {
namespace {

constexpr double aspect = 1.6;

void expectLayout(const PreviewGridLayout& layout, int columns, int rows, double card,
                  double picture, double panelWidth, double panelHeight) {
    EXPECT_EQ(layout.columns, columns);
    EXPECT_EQ(layout.rows, rows);
    EXPECT_NEAR(layout.cardWidth, card, 0.005);
    EXPECT_NEAR(layout.previewHeight, picture, 0.005);
    EXPECT_NEAR(layout.panelSize.width, panelWidth, 0.005);
    EXPECT_NEAR(layout.panelSize.height, panelHeight, 0.005);
}

TEST(PreviewGridLayoutTest, TypicalLayouts) {
    // Preferred four columns fit and are balanced.
    expectLayout(PreviewGridLayout::compute(4, 1400, 600, aspect, 260), 4, 1, 260, 162.5, 1112,
                 246.5);
    // Five columns leave 2 of 5 in the last row; 4, 6 and 7 qualify and 6 gives the largest card.
    expectLayout(PreviewGridLayout::compute(12, 1400, 500, aspect, 220), 6, 2, 217.33, 135.83, 1400,
                 397.67);
    // Nothing fits; the fallback answers the single column, and the panel is cut to the height.
    expectLayout(PreviewGridLayout::compute(3, 300, 245, aspect, 260), 1, 3, 170, 106.25, 206, 245);
}

TEST(PreviewGridLayoutTest, PreferredColumnsAndBalance) {
    const int expected[] = {1, 2, 3, 4, 5, 3, 4, 4, 5, 5, 5};
    for (int count = 1; count <= 11; ++count) {
        EXPECT_EQ(PreviewGridLayout::preferredColumns(count), expected[count - 1]) << count;
    }
    EXPECT_EQ(PreviewGridLayout::preferredColumns(50), 5);

    EXPECT_TRUE(PreviewGridLayout::isBalanced(4, 6));  // exactly half a row
    EXPECT_FALSE(PreviewGridLayout::isBalanced(5, 12));
    EXPECT_TRUE(PreviewGridLayout::isBalanced(5, 13));
    EXPECT_TRUE(PreviewGridLayout::isBalanced(7, 3));  // a single row always is
}

TEST(PreviewGridLayoutTest, CountsAndWidthLimits) {
    // No windows lay out as one.
    expectLayout(PreviewGridLayout::compute(0, 1400, 600, aspect, 260), 1, 1, 260, 162.5, 296,
                 246.5);
    expectLayout(PreviewGridLayout::compute(-3, 1400, 600, aspect, 260), 1, 1, 260, 162.5, 296,
                 246.5);
    // Five windows in one row, six in two rows of three.
    EXPECT_EQ(PreviewGridLayout::compute(5, 2000, 1000, aspect, 260).columns, 5);
    const auto six = PreviewGridLayout::compute(6, 2000, 1000, aspect, 260);
    EXPECT_EQ(six.columns, 3);
    EXPECT_EQ(six.rows, 2);
    // Below 388 points only one column fits across, whatever the count; at 388 two do.
    for (const int count : {1, 2, 5, 9, 20}) {
        EXPECT_EQ(PreviewGridLayout::chooseColumns(count, 387, 5000, aspect, 260), 1) << count;
    }
    EXPECT_EQ(PreviewGridLayout::chooseColumns(2, 388, 5000, aspect, 260), 2);
}

TEST(PreviewGridLayoutTest, EqualCardsGoToFewerColumns) {
    // Five columns are unbalanced; three and four both reach the 260 cap.
    const auto eleven = PreviewGridLayout::compute(11, 1400, 900, aspect, 260);
    EXPECT_EQ(eleven.columns, 3);
    EXPECT_EQ(eleven.rows, 4);
    EXPECT_DOUBLE_EQ(eleven.panelSize.width, 840);
    EXPECT_DOUBLE_EQ(eleven.panelSize.height, 860);
    // Every candidate is capped at 200.
    const auto twelve = PreviewGridLayout::compute(12, 2000, 1000, aspect, 200);
    EXPECT_EQ(twelve.columns, 3);
    EXPECT_DOUBLE_EQ(twelve.panelSize.width, 660);
    EXPECT_DOUBLE_EQ(twelve.panelSize.height, 710);
}

TEST(PreviewGridLayoutTest, ExactFitIsAFit) {
    // Two rows of minimum cards need exactly 338.5.
    expectLayout(PreviewGridLayout::compute(6, 2000, 338.5, aspect, 260), 3, 2, 170, 106.25, 570,
                 338.5);
    // A tenth less and only the single row of six fits.
    expectLayout(PreviewGridLayout::compute(6, 2000, 338.4, aspect, 260), 6, 1, 260, 162.5, 1656,
                 246.5);
}

TEST(PreviewGridLayoutTest, FallbackWalksToTheWidestGrid) {
    expectLayout(PreviewGridLayout::compute(20, 400, 245, 2.2, 260), 2, 10, 170, 77.27, 388, 245);
}

TEST(PreviewGridLayoutTest, CardFloorCapAndPanelBounds) {
    // A cap under the minimum still gives minimum cards.
    expectLayout(PreviewGridLayout::compute(2, 1400, 600, aspect, 100), 2, 1, 170, 106.25, 388,
                 190.25);
    for (const int count : {1, 3, 7, 12, 30}) {
        for (const double width : {300.0, 700.0, 1400.0, 2560.0}) {
            for (const double height : {245.0, 400.0, 900.0}) {
                const auto layout = PreviewGridLayout::compute(count, width, height, 1.9, 240);
                EXPECT_GE(layout.cardWidth, 170);
                EXPECT_LE(layout.cardWidth, 240);
                EXPECT_LE(layout.panelSize.width, width);
                EXPECT_LE(layout.panelSize.height, height);
                EXPECT_EQ(layout.rows, (count + layout.columns - 1) / layout.columns);
            }
        }
    }
}

TEST(PreviewGridLayoutTest, AbsurdWidthsStayDefined) {
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(PreviewGridLayout::chooseColumns(4, std::nan(""), 600, aspect, 260), 1);
    EXPECT_GE(PreviewGridLayout::chooseColumns(4, inf, 600, aspect, 260), 1);
    EXPECT_EQ(PreviewGridLayout::chooseColumns(4, 1e300, 600, aspect, 260), 4);
}

}  // namespace
}  // namespace pellucine
