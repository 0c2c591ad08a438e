#include "settings/CardFrame.h"

#include <QPainter>

#include "design/Yard.h"

namespace pellucine {

CardFrame::CardFrame(const Style& style, QBoxLayout::Direction direction, int spacing,
                     QWidget* parent)
    : QWidget(parent), style_(style), content_(new QBoxLayout(direction, this)) {
    content_->setContentsMargins(style.padding);
    content_->setSpacing(spacing);
}

void CardFrame::paintEvent(QPaintEvent*) {
    const Yard::Palette& palette = Yard::palette(this);
    QPainter painter(this);
    if (style_.fill) {
        painter.fillRect(rect(), palette.**style_.fill);
    }
    QColor border = palette.*style_.border;
    border.setAlphaF(static_cast<float>(border.alphaF() * style_.borderOpacity));
    Yard::strokeInside(painter, rect(), border, style_.borderWidth);
}

}  // namespace pellucine
