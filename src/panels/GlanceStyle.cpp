#include "panels/GlanceStyle.h"

#include <QPainter>
#include <QPainterPath>

#include "design/YardFonts.h"

namespace pellucine::GlanceStyle {

namespace {

// A quarter of the way from `from` to `to`, opaque.
QColor quarterToward(const QColor& from, const QColor& to) {
    const auto mix = [](int a, int b) { return (3 * a + b + 2) / 4; };
    return QColor(mix(from.red(), to.red()), mix(from.green(), to.green()),
                  mix(from.blue(), to.blue()));
}

}  // namespace

QFont headlineFont() {
    return Yard::font(13, QFont::Bold);
}

QFont bodyFont() {
    return Yard::font(13);
}

QFont calloutFont() {
    return Yard::font(12);
}

QFont captionFont() {
    return Yard::font(10);
}

QFont caption2Font() {
    return Yard::font(10);
}

QColor primary(const Yard::Palette& palette, qreal opacity) {
    QColor colour = palette.fore;
    colour.setAlphaF(static_cast<float>(opacity));
    return colour;
}

QColor secondary(const Yard::Palette& palette) {
    // Legible on a tile's tinted ground too.
    return quarterToward(palette.muted, palette.fore);
}

QColor tertiary(const Yard::Palette& palette) {
    return palette.muted;
}

QColor destructive(ColorScheme scheme) {
    return scheme == ColorScheme::dark ? QColor(0xff, 0x45, 0x3a) : QColor(0xe0, 0x2e, 0x24);
}

QColor panelMaterial(const Yard::Palette& palette) {
    return palette.ground;
}

QColor shapedEdge(const Yard::Palette& palette) {
    return quarterToward(palette.ground, palette.fore);
}

QColor thickMaterial(const Yard::Palette& palette) {
    QColor colour = palette.sheet;
    colour.setAlphaF(0.86F);
    return colour;
}

QColor outline(qreal opacity) {
    QColor colour(Qt::white);
    colour.setAlphaF(static_cast<float>(opacity));
    return colour;
}

void fillRounded(QPainter& painter, const QRectF& rect, qreal radius, const QColor& fill) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(rect, radius, radius);
    painter.restore();
}

void strokeRounded(QPainter& painter, const QRectF& rect, qreal radius, const QColor& colour) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colour, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    painter.restore();
}

void drawSymbol(QPainter& painter, QStringView name, const QRectF& rect, qreal pointSize,
                SymbolWeight weight, const QColor& colour) {
    Symbols::draw(painter, name, rect, pointSize, weight, {colour});
}

QRectF fitted(const QSizeF& size, const QRectF& bounds) {
    if (size.isEmpty() || bounds.isEmpty()) {
        return {bounds.center(), QSizeF(0, 0)};
    }
    const QSizeF scaled = size.scaled(bounds.size(), Qt::KeepAspectRatio);
    QRectF r(QPointF(0, 0), scaled);
    r.moveCenter(bounds.center());
    return r;
}

QRectF shrunkToFit(const QSizeF& size, const QRectF& bounds) {
    const QRectF fit = fitted(size, bounds);
    if (fit.width() <= size.width() && fit.height() <= size.height()) {
        return fit;
    }
    QRectF r(QPointF(0, 0), size);
    r.moveCenter(bounds.center());
    return r;
}

QSizeF pointSize(const QSize& pixels, qreal scale) {
    return QSizeF(pixels) / (scale > 0 ? scale : 1.0);
}

QRectF filling(const QSizeF& size, const QRectF& bounds) {
    if (size.isEmpty() || bounds.isEmpty()) {
        return bounds;
    }
    const QSizeF scaled = size.scaled(bounds.size(), Qt::KeepAspectRatioByExpanding);
    QRectF r(QPointF(0, 0), scaled);
    r.moveCenter(bounds.center());
    return r;
}

}  // namespace pellucine::GlanceStyle
