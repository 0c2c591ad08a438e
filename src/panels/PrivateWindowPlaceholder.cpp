#include "panels/PrivateWindowPlaceholder.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

#include "design/Yard.h"
#include "panels/GlanceStyle.h"

namespace pellucine {

namespace {

QFont textFont() {
    QFont font = GlanceStyle::caption2Font();
    font.setWeight(QFont::Medium);
    return font;
}

}  // namespace

PrivateWindowPlaceholder::PrivateWindowPlaceholder(QWidget* parent) : QWidget(parent) {
    setAccessibleName(text());
}

QSize PrivateWindowPlaceholder::size() {
    const QFontMetricsF metrics(textFont());
    const qreal side = Symbols::side(symbolSize);
    return {static_cast<int>(std::ceil(std::max(side, metrics.horizontalAdvance(text())))),
            static_cast<int>(std::ceil(side + spacing + metrics.height()))};
}

void PrivateWindowPlaceholder::paint(QPainter& painter, const QRectF& rect,
                                     const Yard::Palette& palette) {
    const QFontMetricsF metrics(textFont());
    const qreal side = Symbols::side(symbolSize);
    const qreal height = side + spacing + metrics.height();
    const qreal top = rect.center().y() - height / 2;
    GlanceStyle::drawSymbol(painter, u"lock.fill",
                            QRectF(rect.center().x() - side / 2, top, side, side), symbolSize,
                            SymbolWeight::medium, GlanceStyle::secondary(palette));
    painter.save();
    painter.setFont(textFont());
    painter.setPen(GlanceStyle::secondary(palette));
    painter.drawText(QRectF(rect.left(), top + side + spacing, rect.width(), metrics.height()),
                     Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, text());
    painter.restore();
}

void PrivateWindowPlaceholder::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paint(painter, rect(), Yard::palette(this));
}

}  // namespace pellucine
