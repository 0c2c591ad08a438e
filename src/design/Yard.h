#pragma once

#include <QEvent>
#include <QMetaObject>
#include <QSizePolicy>
#include <functional>

#include "design/ColorScheme.h"
#include "design/YardFonts.h"
#include "design/YardPalette.h"

class QBoxLayout;
class QColor;
class QPalette;
class QPainter;
class QRectF;
class QWidget;

namespace pellucine {

class Appearance;

// The design system: palettes and fonts (YardPalette.h, YardFonts.h) and the colour scheme a
// widget draws in. A scheme set on a widget applies to it and everything inside it, as an
// environment value does; a widget with no scheme above it draws light.
namespace Yard {

ColorScheme scheme(const QWidget* widget);
const Palette& palette(const QWidget* widget);

// Sets the scheme of `widget` and its descendants, repaints them, re-applies the window ground
// where it is on, and sends each of them a `schemeChangeEvent()`.
void setScheme(QWidget* widget, ColorScheme scheme);

// The scheme's colours in Qt's roles, for the plain Qt parts of a window (scroll bars, text
// editors, tooltips): text in `fore` on `ground`, buttons on `sheet`, selection in `accent`.
QPalette qtPalette(ColorScheme scheme);

// The event type sent by `setScheme`, for widgets that restyle children when the scheme changes.
QEvent::Type schemeChangeEvent();

// Whether `event` may have changed the scheme `widget` draws in, for widgets that keep colours
// of their scheme: a scheme change, a new parent, polishing, or being shown (a widget styled
// before its page was taken into a window is shown again inside it).
bool restyles(const QEvent* event);

// Fills `window`'s background with `windowGround` of its scheme and gives its plain Qt parts
// the scheme's `qtPalette`, now and after every scheme change.
void setWindowGround(QWidget* window);

// Keeps `window`'s scheme equal to the appearance's, from now until either is gone.
QMetaObject::Connection follow(QWidget* window, const Appearance& appearance);

// Takes the whole width a layout offers, and the height its content needs at that width.
QSizePolicy fullWidthPolicy();

// Adds `widget` to a vertical `layout` at its leading edge: a widget that can grow takes the
// whole width, any other keeps its ideal width.
void addLeading(QBoxLayout* layout, QWidget* widget);

// Runs `paint` on `widget`'s painter at `opacity` as one picture, so that overlapping parts do
// not show through each other.
void paintFaded(QPainter& painter, const QWidget* widget, qreal opacity,
                const std::function<void(QPainter&)>& paint);

// Strokes a square-cornered border `width` wide that lies wholly inside `rect`.
void strokeInside(QPainter& painter, const QRectF& rect, const QColor& colour, qreal width);

// The rounded plate an application icon sits on over a highlight in `cell`: `icon` grown by a
// sixth of its side, at most half its margin in `cell`, so the highlight still shows around it.
QRectF iconPlate(const QRectF& icon, const QRectF& cell);

// Fills `iconPlate(icon, cell)` with `palette`'s ground.
void paintIconPlate(QPainter& painter, const QRectF& icon, const QRectF& cell,
                    const Palette& palette);

}  // namespace Yard
}  // namespace pellucine
