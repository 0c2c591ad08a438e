#include "panels/PreviewGridLayout.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace pellucine {

namespace {

using L = PreviewGridLayout;

// The arithmetic of one grid question. The operation order of fits() is kept as written so that
// a grid that fits exactly still fits in floating point.
struct GridQuestion {
    int count;
    double width;
    double height;
    double aspect;
    double maximumCard;

    int rows(int columns) const { return (count + columns - 1) / columns; }

    bool fits(int columns) const {
        const double r = rows(columns);
        return (L::minimumCardWidth / aspect + L::captionHeight) * r + L::verticalChrome +
                   (r - 1) * L::gap <=
               height;
    }

    // The card width for this column count, without the floor of the minimum card width.
    double card(int columns) const {
        const double c = columns;
        const double r = rows(columns);
        const double widthLimit = (width - L::horizontalChrome - (c - 1) * L::gap) / c;
        const double heightLimit =
            aspect * ((height - L::verticalChrome - (r - 1) * L::gap) / r - L::captionHeight);
        return std::min(heightLimit, std::min(widthLimit, maximumCard));
    }

    bool balanced(int columns) const { return L::isBalanced(columns, count); }

    int maximumColumns() const {
        double across = std::trunc((width - L::horizontalChrome + L::gap) / L::columnSlot);
        // Only absurd widths (not finite, or beyond any screen) reach these guards; they keep the
        // conversion to int defined.
        if (!(across >= 1)) {
            across = 1;
        }
        return static_cast<int>(std::min(across, 1.0e6));
    }

    // The candidate with the largest card; a later one replaces the best only when strictly
    // larger, so equal cards go to the fewest columns.
    int largestCard(const std::vector<int>& candidates) const {
        int best = candidates.front();
        double bestCard = card(best);
        for (const int c : candidates) {
            const double w = card(c);
            if (w > bestCard) {
                best = c;
                bestCard = w;
            }
        }
        return best;
    }
};

}  // namespace

int PreviewGridLayout::preferredColumns(int count) {
    if (count < 6) {
        return count;
    }
    if (count > 10) {
        return 5;
    }
    return (count + 1) / 2;
}

bool PreviewGridLayout::isBalanced(int columns, int count) {
    const int r = (count + columns - 1) / columns;
    const int last = count - (r - 1) * columns;
    return r == 1 || columns * 0.5 <= last;
}

int PreviewGridLayout::chooseColumns(int count, double availableWidth, double availableHeight,
                                     double aspectRatio, double maximumCardWidth) {
    const GridQuestion q{std::max(count, 1), availableWidth, availableHeight, aspectRatio,
                         maximumCardWidth};
    const int maxColumns = q.maximumColumns();
    const int start = std::max(1, std::min(maxColumns, preferredColumns(q.count)));
    if (q.fits(start) && q.balanced(start)) {
        return start;
    }

    const int lo = std::max(start - 2, 1);
    const int hi = std::min(start + 3, maxColumns);
    std::vector<int> fitting;
    std::vector<int> fittingAndBalanced;
    for (int c = lo; c <= hi; ++c) {
        if (q.fits(c)) {
            fitting.push_back(c);
            if (q.balanced(c)) {
                fittingAndBalanced.push_back(c);
            }
        }
    }
    if (!fittingAndBalanced.empty()) {
        return q.largestCard(fittingAndBalanced);
    }
    if (!fitting.empty()) {
        return q.largestCard(fitting);
    }
    for (int c = start; c < maxColumns; ++c) {
        if (q.fits(c)) {
            return c;
        }
    }
    return maxColumns;
}

PreviewGridLayout PreviewGridLayout::compute(int windowCount, double availableWidth,
                                             double availableHeight, double aspectRatio,
                                             double maximumCardWidth) {
    const GridQuestion q{std::max(windowCount, 1), availableWidth, availableHeight, aspectRatio,
                         maximumCardWidth};
    PreviewGridLayout layout;
    layout.columns =
        chooseColumns(q.count, availableWidth, availableHeight, aspectRatio, maximumCardWidth);
    layout.rows = q.rows(layout.columns);
    layout.cardWidth = std::max(minimumCardWidth, q.card(layout.columns));
    layout.previewHeight = layout.cardWidth / aspectRatio;
    const double c = layout.columns;
    const double r = layout.rows;
    const double gridWidth = layout.cardWidth * c + horizontalChrome + (c - 1) * gap;
    const double gridHeight =
        (layout.previewHeight + captionHeight) * r + verticalChrome + (r - 1) * gap;
    layout.panelSize = {std::min(availableWidth, gridWidth), std::min(availableHeight, gridHeight)};
    return layout;
}

}  // namespace pellucine
