#pragma once

#include <QPoint>
#include <QRect>

#include "base/Rect.h"

namespace pellucine {

// Maps root-window pixels to the global space: the main monitor's top-left corner is the origin
// and `scale` pixels make one point. Frames read from the server and frames requested of it go
// through the same mapping, so that a frame read back agrees with the frame that was asked for.
class X11CoordinateSpace {
  public:
    X11CoordinateSpace() = default;
    explicit X11CoordinateSpace(QPoint mainOrigin, double scale = 1.0);

    QPoint mainOrigin() const { return origin_; }
    double scale() const { return scale_; }

    GlobalRect toGlobal(const QRect& root) const;
    GlobalPoint toGlobal(QPoint root) const;
    // Rounded to whole pixels; a null rectangle gives an empty one at the origin.
    QRect toRoot(const GlobalRect& global) const;
    QPoint toRoot(const GlobalPoint& global) const;

  private:
    QPoint origin_;
    double scale_ = 1.0;
};

}  // namespace pellucine
