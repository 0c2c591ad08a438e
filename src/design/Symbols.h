#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QStringList>
#include <QStringView>

class QPainter;

namespace pellucine {

enum class SymbolWeight { ultraLight, thin, light, regular, medium, semibold, bold, heavy, black };

// The program's symbols by name ("magnifyingglass", "arrow.down.circle.fill", …), drawn from
// the bundled icon font. A symbol fills a square of `side(pointSize)`; heavier weights thicken
// the outline (the font has one weight, so weights below regular draw as regular).
//
// Colours: with one colour (monochrome) the whole symbol takes it, and marks that sit on a
// filled shape are cut out of it; with two or more (palette), the mark takes the first colour
// and the shape under it the second. Unknown names draw nothing.
namespace Symbols {

bool contains(QStringView name);
QStringList names();

qreal side(qreal pointSize);
// The symbol's image size, or an empty size for an unknown name.
QSizeF imageSize(QStringView name, qreal pointSize);

// Draws `name` centred in `rect`. Returns false, having drawn nothing, for an unknown name or
// an empty palette.
bool draw(QPainter& painter, QStringView name, const QRectF& rect, qreal pointSize,
          SymbolWeight weight, const QList<QColor>& palette);

// The symbol on a transparent image, or a null image for an unknown name.
QImage image(QStringView name, qreal pointSize, SymbolWeight weight, const QList<QColor>& palette,
             qreal devicePixelRatio = 1.0);

}  // namespace Symbols
}  // namespace pellucine
