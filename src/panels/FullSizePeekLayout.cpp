#include "panels/FullSizePeekLayout.h"

#include <algorithm>

namespace pellucine {

FullSizePeekLayout FullSizePeekLayout::fitted(double pictureWidth, double pictureHeight,
                                              const ScreenRect& screenArea) {
    // The room is at least one point each way, so a tiny area shrinks the picture instead of
    // turning the scale (and every size) negative.
    const ScreenRect area = screenArea.standardized();
    const double maxW = std::max(1.0, std::min(area.width - sideMargins, largestPictureWidth));
    const double maxH =
        std::max(1.0, std::min(area.height - verticalMargins, largestPictureHeight));
    const double w = std::max(pictureWidth, 1.0);
    const double h = std::max(pictureHeight, 1.0);
    const double scale = std::min(1.0, std::min(maxH / h, maxW / w));

    FullSizePeekLayout layout;
    layout.pictureSize = {w * scale, h * scale};
    layout.panelSize = {layout.pictureSize.width + panelExtraWidth,
                        layout.pictureSize.height + panelExtraHeight};
    layout.origin = {area.midX() - layout.panelSize.width / 2,
                     area.maxY() - layout.panelSize.height - topMargin};
    return layout;
}

ScreenRect FullSizePeekLayout::areaAbove(const ScreenRect& area, const ScreenRect& glance) {
    const ScreenRect whole = area.standardized();
    const double bottom = std::clamp(glance.standardized().maxY(), whole.y, whole.maxY());
    return {whole.x, bottom, whole.width, whole.maxY() - bottom};
}

FullSizePeekLayout FullSizePeekLayout::placedAround(double pictureWidth, double pictureHeight,
                                                    const ScreenRect& screenArea,
                                                    const ScreenRect& glance, double headerDepth,
                                                    Size tilePicture) {
    const ScreenRect whole = screenArea.standardized();
    const ScreenRect card = glance.standardized();
    const double ownWidth = std::max(pictureWidth, 1.0);
    const double ownHeight = std::max(pictureHeight, 1.0);
    // A peek is never enlarged, so a tile drawing the picture larger asks only its own size.
    const double leastWidth = std::min(ownWidth, std::max(tilePicture.width, 0.0));
    const double leastHeight = std::min(ownHeight, std::max(tilePicture.height, 0.0));
    const auto asLargeAsTheTile = [&](const FullSizePeekLayout& layout) {
        constexpr double rounding = 1e-9;
        return layout.pictureSize.width >= leastWidth - rounding &&
               layout.pictureSize.height >= leastHeight - rounding;
    };

    const FullSizePeekLayout above = fitted(pictureWidth, pictureHeight, areaAbove(whole, card));
    const bool ownSize =
        above.pictureSize.width >= ownWidth && above.pictureSize.height >= ownHeight;
    if (ownSize || (above.pictureSize.height >= usablePictureHeight && asLargeAsTheTile(above))) {
        return above;
    }

    const double left = std::clamp(card.minX(), whole.x, whole.maxX());
    const double right = std::clamp(card.maxX(), whole.x, whole.maxX());
    const double tilesTop =
        std::clamp(card.maxY() - std::max(headerDepth, 0.0), whole.y, whole.maxY());
    const ScreenRect others[] = {
        {whole.x, whole.y, left - whole.x, whole.height},
        {right, whole.y, whole.maxX() - right, whole.height},
        {whole.x, whole.y, whole.width, tilesTop - whole.y},
    };
    FullSizePeekLayout best = above;
    for (const ScreenRect& area : others) {
        const FullSizePeekLayout candidate = fitted(pictureWidth, pictureHeight, area);
        if (candidate.pictureSize.width > best.pictureSize.width) {
            best = candidate;
        }
    }
    if (asLargeAsTheTile(best)) {
        return best;
    }
    // Over the tiles and up over the header, only as far as the picture's own size needs.
    const double needed = std::min(ownHeight, largestPictureHeight) + verticalMargins;
    const double height = std::clamp(needed, tilesTop - whole.y, whole.height);
    const FullSizePeekLayout raised =
        fitted(pictureWidth, pictureHeight, {whole.x, whole.y, whole.width, height});
    return raised.pictureSize.width > best.pictureSize.width ? raised : best;
}

}  // namespace pellucine
