#include "design/KeyCap.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "base/KeyNames.h"
#include "design/Yard.h"

namespace pellucine {

KeyCap::KeyCap(const QString& label, bool onRail, bool isInline, QWidget* parent)
    : QWidget(parent), label_(label), onRail_(onRail), isInline_(isInline) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAccessibleName(KeyNames::spoken(label));
}

void KeyCap::setLabel(const QString& label) {
    if (label_ != label) {
        label_ = label;
        setAccessibleName(KeyNames::spoken(label));
        updateGeometry();
        update();
    }
}

void KeyCap::setOnRail(bool onRail) {
    if (onRail_ != onRail) {
        onRail_ = onRail;
        update();
    }
}

void KeyCap::setInline(bool isInline) {
    if (isInline_ != isInline) {
        isInline_ = isInline;
        updateGeometry();
        update();
    }
}

QSize KeyCap::size(const QString& label, bool isInline) {
    const QFontMetricsF metrics(Yard::keyFont());
    const int labelWidth = static_cast<int>(std::ceil(metrics.horizontalAdvance(label)));
    const int labelHeight = static_cast<int>(std::ceil(metrics.height()));
    const int minimum = isInline ? minimumInlineLabelWidth : minimumLabelWidth;
    const int padX = isInline ? inlineHorizontalPadding : horizontalPadding;
    const int padY = isInline ? inlineVerticalPadding : verticalPadding;
    return {std::max(labelWidth, minimum) + 2 * padX, labelHeight + 2 * padY};
}

void KeyCap::paint(QPainter& painter, const QRectF& rect, const QString& label,
                   const Yard::Palette& palette, bool onRail) {
    const QColor ink = onRail ? palette.railInk : palette.fore;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    if (onRail) {
        painter.fillRect(rect, palette.railSheet);
    }
    QColor border = ink;
    border.setAlphaF(static_cast<float>(onRail ? railBorderOpacity : borderOpacity));
    Yard::strokeInside(painter, rect, border, borderWidth);
    painter.setPen(ink);
    painter.setFont(Yard::keyFont());
    painter.drawText(rect, Qt::AlignCenter | Qt::TextSingleLine, label);
    painter.restore();
}

void KeyCap::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paint(painter, rect(), label_, Yard::palette(this), onRail_);
}

}  // namespace pellucine
