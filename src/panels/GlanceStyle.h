#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRectF>
#include <QStringView>

#include "design/ColorScheme.h"
#include "design/Symbols.h"
#include "design/YardPalette.h"

class QPainter;

namespace pellucine::GlanceStyle {

// The text styles of the floating panels, in device-independent pixels.
QFont headlineFont();  // 13 bold
QFont bodyFont();      // 13
QFont calloutFont();   // 12
QFont captionFont();   // 10
QFont caption2Font();  // 10

// The primary and secondary label colours, the tertiary one of the peek's hint, and the red of
// destructive controls.
QColor primary(const Yard::Palette& palette, qreal opacity = 1.0);
QColor secondary(const Yard::Palette& palette);
QColor tertiary(const Yard::Palette& palette);
QColor destructive(ColorScheme scheme);

// The panels' ground: the scheme's, opaque. With no blur behind it, any translucency lets the
// text of the windows below read through; a compositing manager only rounds the corners.
QColor panelMaterial(const Yard::Palette& palette);
// The rim of a panel cut to its shape without a compositing manager: a quarter of the way from
// the ground to the ink, so that it reads on dark and light desktops alike.
QColor shapedEdge(const Yard::Palette& palette);
// The thick material of badges and round buttons, drawn over the panel's own content.
QColor thickMaterial(const Yard::Palette& palette);
// The white outline of a panel at `opacity`.
QColor outline(qreal opacity);

// A rounded rectangle filled with `fill`.
void fillRounded(QPainter& painter, const QRectF& rect, qreal radius, const QColor& fill);
// A one-point outline centred on the rounded rectangle's edge.
void strokeRounded(QPainter& painter, const QRectF& rect, qreal radius, const QColor& colour);
// `name` in one colour, centred in `rect`.
void drawSymbol(QPainter& painter, QStringView name, const QRectF& rect, qreal pointSize,
                SymbolWeight weight, const QColor& colour);
// The largest rectangle of `size`'s proportions inside `bounds` (fit), or the smallest that
// covers it (fill), centred.
QRectF fitted(const QSizeF& size, const QRectF& bounds);
QRectF filling(const QSizeF& size, const QRectF& bounds);
// Where a picture of `size` points is drawn in `bounds`: fitted when larger, at its own size
// when it fits, centred either way.
QRectF shrunkToFit(const QSizeF& size, const QRectF& bounds);
// The points a picture of `pixels` covers on a screen of `scale` pixels per point (1 when the
// scale is not positive).
QSizeF pointSize(const QSize& pixels, qreal scale);

}  // namespace pellucine::GlanceStyle
