#include "settings/SymbolIcon.h"

#include <QPainter>

#include "design/Yard.h"

namespace pellucine {

SymbolIcon::SymbolIcon(const QString& name, qreal pointSize, SymbolWeight weight, Ink ink,
                       QSize frame, Qt::Alignment alignment, QWidget* parent)
    : QWidget(parent),
      name_(name),
      pointSize_(pointSize),
      weight_(weight),
      ink_(ink),
      frame_(frame),
      alignment_(alignment) {
    setFixedSize(frame);
}

void SymbolIcon::setSymbol(const QString& name, Ink ink) {
    if (name_ != name || ink_ != ink) {
        name_ = name;
        ink_ = ink;
        update();
    }
}

QRectF SymbolIcon::placement(QSizeF frame, qreal pointSize, Qt::Alignment alignment) {
    const qreal side = Symbols::side(pointSize);
    qreal x = (frame.width() - side) / 2;
    qreal y = (frame.height() - side) / 2;
    if (alignment & Qt::AlignLeft) {
        x = 0;
    } else if (alignment & Qt::AlignRight) {
        x = frame.width() - side;
    }
    if (alignment & Qt::AlignTop) {
        y = 0;
    } else if (alignment & Qt::AlignBottom) {
        y = frame.height() - side;
    }
    return {x, y, side, side};
}

void SymbolIcon::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    Symbols::draw(painter, name_, placement(size(), pointSize_, alignment_), pointSize_, weight_,
                  {Yard::palette(this).*ink_});
}

}  // namespace pellucine
