#include "diagnostics/SheetFrame.h"

#include <QPainter>

#include "design/Yard.h"

namespace pellucine {

void SheetFrame::paintEvent(QPaintEvent*) {
    const Yard::Palette& palette = Yard::palette(this);
    QPainter painter(this);
    painter.fillRect(rect(), palette.sheet);
    Yard::strokeInside(painter, rect(), palette.cardBorder, borderWidth);
}

}  // namespace pellucine
