#include "panels/WindowSearchPanelGeometry.h"

#include <algorithm>

#include "panels/PanelArithmetic.h"

namespace pellucine::WindowSearchPanelGeometry {

double panelHeight(qsizetype resultCount) {
    const qsizetype rows = std::min<qsizetype>(std::max<qsizetype>(resultCount, 1), visibleRows);
    return chromeHeight + rowHeight * static_cast<double>(rows);
}

ScreenRect resizedFrame(const ScreenRect& frame, qsizetype resultCount) {
    const ScreenRect f = frame.standardized();
    const double height = panelHeight(resultCount);
    return {f.x, f.maxY() - height, panelWidth, height};
}

std::optional<ScreenRect> targetVisibleFrame(const ScreenPoint& pointer,
                                             const QList<Screen>& screens,
                                             const std::optional<ScreenRect>& mainVisibleFrame) {
    if (const auto screen = firstScreenContaining(screens, pointer)) {
        return screen->visibleFrame;
    }
    return mainVisibleFrame;
}

ScreenPoint origin(const Size& panelSize, const ScreenRect& visibleFrame) {
    const ScreenRect v = visibleFrame.standardized();
    return {roundHalfAwayFromZero(v.midX() - panelSize.width / 2),
            roundHalfAwayFromZero(v.maxY() - 0.2 * v.height - panelSize.height)};
}

}  // namespace pellucine::WindowSearchPanelGeometry
