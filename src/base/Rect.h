#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <algorithm>
#include <cmath>
#include <limits>

namespace pellucine {

// Coordinate spaces. Global: origin at the main display's top-left, y down (window frames,
// display bounds, event locations). Screen: origin at the main display's bottom-left, y up
// (screen frames, visible frames, the pointer, panel placement). The two never mix.
struct GlobalSpace {};
struct ScreenSpace {};

struct Size {
    double width = 0;
    double height = 0;

    friend bool operator==(const Size&, const Size&) = default;
    QSizeF toQt() const { return {width, height}; }
};

template <class Space>
struct Point {
    double x = 0;
    double y = 0;

    friend bool operator==(const Point&, const Point&) = default;
    QPointF toQt() const { return {x, y}; }
    static Point fromQt(const QPointF& p) { return {p.x(), p.y()}; }
};

// A rectangle with the semantics of the desktop's rectangle type: negative sizes are
// standardised before any query, containment is half-open, and the empty intersection is the
// null rectangle.
template <class Space>
struct Rect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;

    static Rect null() {
        const double inf = std::numeric_limits<double>::infinity();
        return {inf, inf, 0, 0};
    }
    static Rect fromQt(const QRectF& r) { return {r.x(), r.y(), r.width(), r.height()}; }
    QRectF toQt() const {
        const Rect s = standardized();
        return {s.x, s.y, s.width, s.height};
    }

    Point<Space> origin() const { return {x, y}; }
    Size size() const { return {width, height}; }

    bool isNull() const { return std::isinf(x) || std::isinf(y); }
    bool isEmpty() const { return isNull() || width == 0 || height == 0; }

    Rect standardized() const {
        if (isNull()) {
            return *this;
        }
        Rect r = *this;
        if (r.width < 0) {
            r.x += r.width;
            r.width = -r.width;
        }
        if (r.height < 0) {
            r.y += r.height;
            r.height = -r.height;
        }
        return r;
    }

    double minX() const { return standardized().x; }
    double minY() const { return standardized().y; }
    double maxX() const {
        const Rect s = standardized();
        return s.x + s.width;
    }
    double maxY() const {
        const Rect s = standardized();
        return s.y + s.height;
    }
    double midX() const {
        const Rect s = standardized();
        return s.x + s.width / 2;
    }
    double midY() const {
        const Rect s = standardized();
        return s.y + s.height / 2;
    }

    // The overlap of two rectangles; null when they do not overlap (touching edges included).
    Rect intersected(const Rect& other) const {
        if (isNull() || other.isNull()) {
            return null();
        }
        const double left = std::max(minX(), other.minX());
        const double top = std::max(minY(), other.minY());
        const double right = std::min(maxX(), other.maxX());
        const double bottom = std::min(maxY(), other.maxY());
        if (right <= left || bottom <= top) {
            return null();
        }
        return {left, top, right - left, bottom - top};
    }
    bool intersects(const Rect& other) const { return !intersected(other).isNull(); }

    // The smallest rectangle holding both; a null rectangle contributes nothing.
    Rect united(const Rect& other) const {
        if (isNull()) {
            return other.standardized();
        }
        if (other.isNull()) {
            return standardized();
        }
        const double left = std::min(minX(), other.minX());
        const double top = std::min(minY(), other.minY());
        return {left, top, std::max(maxX(), other.maxX()) - left,
                std::max(maxY(), other.maxY()) - top};
    }

    // Half-open: the minimum edges belong to the rectangle, the maximum edges do not.
    bool contains(const Point<Space>& p) const {
        if (isNull()) {
            return false;
        }
        return p.x >= minX() && p.x < maxX() && p.y >= minY() && p.y < maxY();
    }

    // Moves every edge inward by dx and dy (outward when negative); null when nothing is left.
    Rect insetBy(double dx, double dy) const {
        if (isNull()) {
            return *this;
        }
        const Rect s = standardized();
        Rect r{s.x + dx, s.y + dy, s.width - 2 * dx, s.height - 2 * dy};
        if (r.width < 0 || r.height < 0) {
            return null();
        }
        return r;
    }

    Rect offsetBy(double dx, double dy) const {
        if (isNull()) {
            return *this;
        }
        return {x + dx, y + dy, width, height};
    }

    double area() const {
        if (isNull()) {
            return 0;
        }
        return std::abs(width * height);
    }

    // Equality of the standardised rectangles.
    friend bool operator==(const Rect& a, const Rect& b) {
        if (a.isNull() || b.isNull()) {
            return a.isNull() && b.isNull();
        }
        const Rect sa = a.standardized();
        const Rect sb = b.standardized();
        return sa.x == sb.x && sa.y == sb.y && sa.width == sb.width && sa.height == sb.height;
    }
};

using GlobalPoint = Point<GlobalSpace>;
using ScreenPoint = Point<ScreenSpace>;
using GlobalRect = Rect<GlobalSpace>;
using ScreenRect = Rect<ScreenSpace>;

// The one conversion between the spaces: x, width and height are kept and y becomes the main
// display's height minus the rectangle's maximum y. The same formula maps both ways.
inline ScreenRect toScreenSpace(const GlobalRect& r, double mainDisplayHeight) {
    if (r.isNull()) {
        return ScreenRect::null();
    }
    const GlobalRect s = r.standardized();
    return {s.x, mainDisplayHeight - s.maxY(), s.width, s.height};
}
inline GlobalRect toGlobalSpace(const ScreenRect& r, double mainDisplayHeight) {
    if (r.isNull()) {
        return GlobalRect::null();
    }
    const ScreenRect s = r.standardized();
    return {s.x, mainDisplayHeight - s.maxY(), s.width, s.height};
}
inline ScreenPoint toScreenSpace(const GlobalPoint& p, double mainDisplayHeight) {
    return {p.x, mainDisplayHeight - p.y};
}
inline GlobalPoint toGlobalSpace(const ScreenPoint& p, double mainDisplayHeight) {
    return {p.x, mainDisplayHeight - p.y};
}

}  // namespace pellucine
