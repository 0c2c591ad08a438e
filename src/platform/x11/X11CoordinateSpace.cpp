#include "platform/x11/X11CoordinateSpace.h"

#include <cmath>

namespace pellucine {

X11CoordinateSpace::X11CoordinateSpace(QPoint mainOrigin, double scale)
    : origin_(mainOrigin), scale_(scale > 0 && std::isfinite(scale) ? scale : 1.0) {}

GlobalRect X11CoordinateSpace::toGlobal(const QRect& root) const {
    return {(root.x() - origin_.x()) / scale_, (root.y() - origin_.y()) / scale_,
            root.width() / scale_, root.height() / scale_};
}

GlobalPoint X11CoordinateSpace::toGlobal(QPoint root) const {
    return {(root.x() - origin_.x()) / scale_, (root.y() - origin_.y()) / scale_};
}

QRect X11CoordinateSpace::toRoot(const GlobalRect& global) const {
    if (global.isNull()) {
        return QRect(origin_, QSize(0, 0));
    }
    const GlobalRect s = global.standardized();
    // Edges are rounded, not the size, so that adjacent rectangles stay adjacent.
    const auto px = [this](double v) { return static_cast<int>(std::lround(v * scale_)); };
    const int left = px(s.minX());
    const int top = px(s.minY());
    return {left + origin_.x(), top + origin_.y(), px(s.maxX()) - left, px(s.maxY()) - top};
}

QPoint X11CoordinateSpace::toRoot(const GlobalPoint& global) const {
    return {static_cast<int>(std::lround(global.x * scale_)) + origin_.x(),
            static_cast<int>(std::lround(global.y * scale_)) + origin_.y()};
}

}  // namespace pellucine
