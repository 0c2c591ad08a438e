#include "panels/PreviewPanelPlacement.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "panels/PanelArithmetic.h"

namespace pellucine::PreviewPanelPlacement {

namespace {

// In tie order: an equally near later edge never replaces an earlier one.
enum class Edge { bottom, top, left, right };

Edge nearestEdge(const ScreenRect& area, const ScreenPoint& anchor) {
    const std::array<std::pair<Edge, double>, 4> distances{{
        {Edge::bottom, std::abs(anchor.y - area.minY())},
        {Edge::top, std::abs(area.maxY() - anchor.y)},
        {Edge::left, std::abs(anchor.x - area.minX())},
        {Edge::right, std::abs(area.maxX() - anchor.x)},
    }};
    auto nearest = distances.front();
    for (const auto& candidate : distances) {
        if (candidate.second < nearest.second) {
            nearest = candidate;
        }
    }
    return nearest.first;
}

ScreenPoint besideAnchor(const Size& size, const ScreenRect& area, const ScreenPoint& anchor) {
    const double w = size.width;
    const double h = size.height;
    const double lowestY = area.minY();
    const double highestY = area.maxY() - h;
    const double lowestX = area.minX();
    const double highestX = area.maxX() - w;
    const double centredX = clampLowerWins(anchor.x - w / 2, lowestX, highestX);
    const double centredY = clampLowerWins(anchor.y - h / 2, lowestY, highestY);
    switch (nearestEdge(area, anchor)) {
        case Edge::bottom:
            return {centredX, clampLowerWins(anchor.y + dockOffset, lowestY, highestY)};
        case Edge::top:
            return {centredX, clampLowerWins(anchor.y - h - dockOffset, lowestY, highestY)};
        case Edge::left:
            return {clampLowerWins(anchor.x + dockOffset, lowestX, highestX), centredY};
        case Edge::right:
            return {clampLowerWins(anchor.x - w - dockOffset, lowestX, highestX), centredY};
    }
    return {centredX, centredY};
}

}  // namespace

ScreenPoint origin(const Size& panelSize, const ScreenRect& screenArea,
                   const std::optional<ScreenPoint>& anchor,
                   const std::optional<ScreenRect>& stripFrame) {
    if (anchor) {
        return besideAnchor(panelSize, screenArea, *anchor);
    }
    const double h = panelSize.height;
    const double x = screenArea.midX() - panelSize.width / 2;
    double y = 0;
    if (stripFrame) {
        y = clampLowerWins(stripFrame->maxY() + stripGap, screenArea.minY(),
                           screenArea.maxY() - h - topMarginAboveStrip);
    } else {
        const double belowTop = screenArea.maxY() - h - topMarginWithoutStrip;
        const double floor = screenArea.minY() + bottomFloorWithoutStrip;
        y = floor <= belowTop ? belowTop : floor;
    }
    // A panel taller than the room left by the floors keeps its top on the screen; its bottom
    // gives way instead.
    return {x, std::min(y, screenArea.maxY() - h)};
}

}  // namespace pellucine::PreviewPanelPlacement
