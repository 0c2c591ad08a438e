#include "design/CardRule.h"

#include <QPainter>

#include "design/Yard.h"

namespace pellucine {

CardRule::CardRule(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFixedHeight(2 * margin + thickness);
}

void CardRule::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(QRect(0, margin, width(), thickness), Yard::palette(this).hairline);
}

}  // namespace pellucine
