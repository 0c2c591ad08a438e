#include "panels/PanelFrames.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cmath>

#include "panels/PanelArithmetic.h"

namespace pellucine {

QRect PanelFrames::toWidget(const ScreenRect& frame) const {
    const ScreenRect f = frame.standardized();
    const int width = static_cast<int>(std::ceil(f.width));
    const int height = static_cast<int>(std::ceil(f.height));
    const GlobalPoint centre{f.midX(), mainHeight - f.midY()};
    const auto area = std::find_if(screens.begin(), screens.end(),
                                   [&](const Area& a) { return a.points.contains(centre); });
    const QPoint qtOrigin = area != screens.end() ? area->qtOrigin : mainOrigin;
    const GlobalPoint origin = area != screens.end() ? area->points.origin() : GlobalPoint{};
    const int left = static_cast<int>(roundHalfAwayFromZero(f.x - origin.x));
    const int bottom = static_cast<int>(roundHalfAwayFromZero(mainHeight - f.y - origin.y));
    return {qtOrigin.x() + left, qtOrigin.y() + bottom - height, width, height};
}

ScreenRect PanelFrames::fromWidget(const QRect& geometry) const {
    const auto area = std::find_if(screens.begin(), screens.end(), [&](const Area& a) {
        const QRect qt(a.qtOrigin, QSize(static_cast<int>(std::ceil(a.points.width)),
                                         static_cast<int>(std::ceil(a.points.height))));
        return qt.contains(geometry.center());
    });
    const QPoint qtOrigin = area != screens.end() ? area->qtOrigin : mainOrigin;
    const GlobalPoint origin = area != screens.end() ? area->points.origin() : GlobalPoint{};
    const double left = geometry.x() - qtOrigin.x() + origin.x;
    const double bottom = geometry.y() - qtOrigin.y() + origin.y + geometry.height();
    return {left, mainHeight - bottom, static_cast<double>(geometry.width()),
            static_cast<double>(geometry.height())};
}

PanelFrames::Area PanelFrames::area(const QRect& qt, double ratio, QPoint mainOrigin,
                                    double scale) {
    const QPoint offset = qt.topLeft() - mainOrigin;
    return {{offset.x() / scale, offset.y() / scale, qt.width() * ratio / scale,
             qt.height() * ratio / scale},
            qt.topLeft()};
}

PanelFrames PanelFrames::current(const ScreenLayout& layout) {
    PanelFrames frames;
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary != nullptr) {
        frames.mainOrigin = primary->geometry().topLeft();
        frames.mainHeight = primary->geometry().height();
        const double scale = primary->devicePixelRatio();
        for (const QScreen* screen : QGuiApplication::screens()) {
            if (screen != primary) {
                frames.screens.append(
                    area(screen->geometry(), screen->devicePixelRatio(), frames.mainOrigin, scale));
            }
        }
    }
    const GlobalRect main = layout.displayBounds(layout.mainDisplayIdentifier());
    if (!main.isEmpty()) {
        frames.mainHeight = main.standardized().height;
    }
    return frames;
}

ScreenRect visibleFrameUnder(const ScreenRect& frame, const QList<Screen>& screens,
                             const ScreenRect& fallback) {
    const Screen* best = nullptr;
    double bestArea = 0;
    for (const Screen& screen : screens) {
        const double area = screen.frame.intersected(frame).area();
        if (area > bestArea) {
            best = &screen;
            bestArea = area;
        }
    }
    if (best != nullptr) {
        return best->visibleFrame;
    }
    return screens.isEmpty() ? fallback : screens.front().visibleFrame;
}

}  // namespace pellucine
