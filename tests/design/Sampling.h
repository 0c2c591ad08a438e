#pragma once

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QRect>
#include <QWidget>
#include <cstdlib>
#include <ostream>

inline void PrintTo(const QColor& colour, std::ostream* out) {
    *out << colour.name(QColor::HexArgb).toStdString();
}

namespace pellucine::testing {

// The widget at its current size, drawn over an opaque `background`.
inline QImage renderOver(QWidget& widget, const QColor& background) {
    QImage image(widget.size(), QImage::Format_ARGB32);
    image.fill(background);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

inline bool near(const QColor& a, const QColor& b, int tolerance = 2) {
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance &&
           std::abs(a.alpha() - b.alpha()) <= tolerance;
}

// Within ±2 per channel, with both colours in the failure message.
inline ::testing::AssertionResult matches(const QColor& actual, const QColor& expected,
                                          int tolerance = 2) {
    if (near(actual, expected, tolerance)) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "got " << actual.name(QColor::HexArgb).toStdString() << ", expected "
           << expected.name(QColor::HexArgb).toStdString();
}

// `over` at `opacity` composited on the opaque `under`.
inline QColor blend(const QColor& under, const QColor& over, qreal opacity) {
    const qreal a = over.alphaF() * opacity;
    auto mix = [a](int u, int o) { return qRound(u * (1 - a) + o * a); };
    return QColor(mix(under.red(), over.red()), mix(under.green(), over.green()),
                  mix(under.blue(), over.blue()));
}

// Whether some pixel inside `area` is within the tolerance of `colour`.
inline bool hasPixelNear(const QImage& image, const QRect& area, const QColor& colour) {
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            if (near(image.pixelColor(x, y), colour)) {
                return true;
            }
        }
    }
    return false;
}

// Whether some pixel inside `area` has gone at least `share` of the way from the background
// `from` to `to`: thin antialiased glyph strokes rarely reach their colour exactly.
inline bool hasPixelToward(const QImage& image, const QRect& area, const QColor& from,
                           const QColor& to, double share = 0.7) {
    auto distance = [](const QColor& a, const QColor& b) {
        return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
               std::abs(a.blue() - b.blue());
    };
    const double full = distance(from, to);
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            if (distance(image.pixelColor(x, y), to) <= (1 - share) * full) {
                return true;
            }
        }
    }
    return false;
}

// Pixels that are not fully transparent.
inline int inkCount(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
        }
    }
    return count;
}

}  // namespace pellucine::testing
