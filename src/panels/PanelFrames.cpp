#include "panels/PanelFrames.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

#include "panels/PanelArithmetic.h"

namespace pellucine {

QRect PanelFrames::toWidget(const ScreenRect& frame) const {
    const ScreenRect f = frame.standardized();
    const int width = static_cast<int>(std::ceil(f.width));
    const int height = static_cast<int>(std::ceil(f.height));
    const int left = static_cast<int>(roundHalfAwayFromZero(f.x));
    const int bottom = static_cast<int>(roundHalfAwayFromZero(mainHeight - f.y));
    return {mainOrigin.x() + left, mainOrigin.y() + bottom - height, width, height};
}

ScreenRect PanelFrames::fromWidget(const QRect& geometry) const {
    const double left = geometry.x() - mainOrigin.x();
    const double bottom = geometry.y() - mainOrigin.y() + geometry.height();
    return {left, mainHeight - bottom, static_cast<double>(geometry.width()),
            static_cast<double>(geometry.height())};
}

PanelFrames PanelFrames::current(const ScreenLayout& layout) {
    PanelFrames frames;
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary != nullptr) {
        frames.mainOrigin = primary->geometry().topLeft();
        frames.mainHeight = primary->geometry().height();
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
