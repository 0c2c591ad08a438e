#pragma once

#include "base/Rect.h"

namespace pellucine {

// Columns, rows and sizes of the grid of preview cards, chosen from the window count and the room
// on the screen. Pure arithmetic in points.
struct PreviewGridLayout {
    int columns = 1;
    int rows = 1;
    // Width of a card and of its picture; never under minimumCardWidth.
    double cardWidth = minimumCardWidth;
    // Height of a card's picture: cardWidth / aspect ratio.
    double previewHeight = 0;
    // Never larger than the available size; the grid itself may be taller (it scrolls).
    Size panelSize;

    static constexpr double minimumCardWidth = 170;
    static constexpr double gap = 12;
    static constexpr double horizontalChrome = 36;
    static constexpr double verticalChrome = 54;
    static constexpr double captionHeight = 30;
    static constexpr double columnSlot = minimumCardWidth + gap;

    // The layout for windowCount windows (0 is laid out as 1) in the available size. The caller
    // keeps the width at least 300, the height at least 245 and the aspect ratio (mean window
    // width / height) within 1.4 to 2.2; maximumCardWidth is the largest card the user wants.
    static PreviewGridLayout compute(int windowCount, double availableWidth, double availableHeight,
                                     double aspectRatio, double maximumCardWidth);

    // The column count compute uses: the preferred count when it fits and is balanced, else the
    // largest card among nearby counts (ties to fewer columns), else the first count that fits.
    static int chooseColumns(int count, double availableWidth, double availableHeight,
                             double aspectRatio, double maximumCardWidth);

    // 1 to 5 windows in one row, 6 to 10 in two rows, more in rows of five.
    static int preferredColumns(int count);

    // True when the last row holds at least half a row (or there is a single row).
    static bool isBalanced(int columns, int count);

    friend bool operator==(const PreviewGridLayout&, const PreviewGridLayout&) = default;
};

}  // namespace pellucine
