#include "panels/SearchHint.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

#include "design/KeyCap.h"
#include "design/Yard.h"
#include "panels/GlanceStyle.h"

namespace pellucine {

SearchHint::SearchHint(QWidget* parent) : QWidget(parent) {
    setAccessibleName(spokenText());
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize SearchHint::sizeHint() const {
    const QSize cap = KeyCap::size(key(), false);
    const QFontMetricsF metrics(GlanceStyle::captionFont());
    const int width =
        cap.width() + spacing + static_cast<int>(std::ceil(metrics.horizontalAdvance(text())));
    const int height = std::max(cap.height(), static_cast<int>(std::ceil(metrics.height())));
    return {width, height + bottomPadding};
}

void SearchHint::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const Yard::Palette& palette = Yard::palette(this);
    const QSize cap = KeyCap::size(key(), false);
    const QFontMetricsF metrics(GlanceStyle::captionFont());
    const qreal textWidth = std::ceil(metrics.horizontalAdvance(text()));
    const qreal lineHeight = height() - bottomPadding;
    qreal left = (width() - (cap.width() + spacing + textWidth)) / 2;
    Yard::Palette muted = palette;
    muted.fore = GlanceStyle::secondary(palette);
    KeyCap::paint(painter, QRectF(left, (lineHeight - cap.height()) / 2, cap.width(), cap.height()),
                  key(), muted, false);
    left += cap.width() + spacing;
    painter.setFont(GlanceStyle::captionFont());
    painter.setPen(GlanceStyle::secondary(palette));
    painter.drawText(QRectF(left, 0, textWidth, lineHeight),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text());
}

}  // namespace pellucine
