#include "panels/GlanceGeometry.h"

#include <algorithm>
#include <cmath>

#include "panels/PreviewPanelPlacement.h"

namespace pellucine {

namespace {

constexpr double screenSideMargins = 40;
constexpr double minimumPanelWidth = 300;
constexpr double minimumPanelHeight = 245;
constexpr double stripTopMargin = 30;
constexpr double verticalScreenMargins = 72;
constexpr double hintScreenMargins = 40;
constexpr double minimumCompactHeight = 180;

const ScreenRect noScreenArea{0, 0, 1000, 700};

double widestPanel(const ScreenRect& area) {
    return std::max(minimumPanelWidth, area.standardized().width - screenSideMargins);
}

}  // namespace

ScreenRect GlanceGeometry::targetScreenArea(
    const std::optional<ScreenRect>& screenFrame, const std::optional<ScreenPoint>& anchor,
    const QList<Screen>& screens, const std::optional<ScreenRect>& mainScreenVisibleFrame) {
    if (screenFrame) {
        return *screenFrame;
    }
    if (anchor) {
        if (const auto screen = firstScreenContaining(screens, *anchor)) {
            return screen->visibleFrame;
        }
    }
    return mainScreenVisibleFrame.value_or(noScreenArea);
}

double GlanceGeometry::meanAspectRatio(const QList<WindowDescriptor>& windows) {
    double sum = 0;
    int contributing = 0;
    for (const WindowDescriptor& window : windows) {
        const GlobalRect frame = window.frame.standardized();
        if (frame.width > 0 && frame.height > 0) {
            sum += frame.width / frame.height;
            ++contributing;
        }
    }
    const double mean = contributing > 0 ? sum / contributing : defaultAspectRatio;
    return std::clamp(mean, narrowestAspectRatio, widestAspectRatio);
}

Size GlanceGeometry::availableSize(const ScreenRect& screenArea,
                                   const std::optional<ScreenRect>& switcherFrame) {
    const ScreenRect area = screenArea.standardized();
    const double rawWidth = area.width;
    const double rawHeight =
        switcherFrame
            ? std::max(minimumPanelHeight, area.maxY() - switcherFrame->maxY() - stripTopMargin) +
                  verticalScreenMargins
            : area.height;
    return {std::max(minimumPanelWidth, rawWidth - screenSideMargins),
            std::max(minimumPanelHeight, rawHeight - verticalScreenMargins)};
}

double GlanceGeometry::roomAboveStrip(const ScreenRect& screenArea,
                                      const ScreenRect& switcherFrame) {
    return screenArea.standardized().maxY() - switcherFrame.standardized().maxY() -
           PreviewPanelPlacement::stripGap - PreviewPanelPlacement::topMarginAboveStrip;
}

double GlanceGeometry::largestCardWidth(const Input& input) {
    double widest = 0;
    for (const WindowDescriptor& window : input.windows) {
        widest = std::max(widest, window.frame.standardized().width);
    }
    return widest > 0 ? std::min(input.previewWidth, widest) : input.previewWidth;
}

QString GlanceGeometry::windowCountText(int count) {
    if (count == 1) {
        return QStringLiteral("1 window");
    }
    return QString::number(count) + QStringLiteral(" windows");
}

double GlanceGeometry::headerRowWidth(const QString& applicationName, int windowCount,
                                      bool menuShown, const TextMeasuring& measurer) {
    const double nameWidth =
        std::ceil(measurer.textWidth(applicationName, MeasuredFont::headerTitle));
    const double countWidth =
        std::ceil(measurer.textWidth(windowCountText(windowCount), MeasuredFont::headerCount));
    // Icon and spacing, the count, the spacer, the outer padding.
    const double width = nameWidth + 62 + countWidth + 24 + 12;
    return menuShown ? width + menuButtonWidth : width;
}

GlanceGeometry GlanceGeometry::compute(const Input& input, const TextMeasuring& measurer) {
    GlanceGeometry g;
    g.screenArea = targetScreenArea(input.screenFrame, input.anchor, input.screens,
                                    input.mainScreenVisibleFrame);
    const ScreenRect area = g.screenArea.standardized();
    g.aspectRatio = meanAspectRatio(input.windows);

    const auto windowCount = static_cast<int>(input.windows.size());
    const int n = std::max(windowCount, 1);
    const Size available = availableSize(area, input.switcherFrame);
    const double largestCard = largestCardWidth(input);
    g.layout = PreviewGridLayout::compute(n, available.width, available.height, g.aspectRatio,
                                          largestCard);
    double w = g.layout.panelSize.width;
    double h = g.layout.panelSize.height;

    g.usesCompactList = input.dockMode && input.compactListPreferred;
    if (g.usesCompactList) {
        w = std::min(compactListWidth, widestPanel(area));
        h = std::min(std::max(minimumCompactHeight, area.height - verticalScreenMargins),
                     compactRowHeight * n + compactChromeHeight);
    }

    // Above the strip the panel never reaches down over it: the grid shrinks (and scrolls) to
    // leave the gap below and the top margin above.
    if (!input.anchor && input.switcherFrame && !g.usesCompactList) {
        const double hint = input.showsSearchHint ? searchHintHeight : 0;
        const double room = roomAboveStrip(area, *input.switcherFrame) - hint;
        if (h > room && room >= smallestGridAboveStrip) {
            g.layout =
                PreviewGridLayout::compute(n, available.width, room, g.aspectRatio, largestCard);
            w = g.layout.panelSize.width;
            h = g.layout.panelSize.height;
        }
    }

    if (windowCount > 0) {
        double header = headerRowWidth(input.windows.front().applicationName, windowCount,
                                       input.showsDockControls, measurer);
        if (input.hasCloseButton) {
            header += closeButtonWidth;
        }
        w = std::min(std::max(w, header), widestPanel(area));
    }

    if (input.showsSearchHint) {
        h = std::min(std::max(minimumPanelHeight, area.height - hintScreenMargins),
                     h + searchHintHeight);
    }

    g.panelSize = {w, h};
    g.origin = PreviewPanelPlacement::origin(g.panelSize, area, input.anchor, input.switcherFrame);
    return g;
}

}  // namespace pellucine
