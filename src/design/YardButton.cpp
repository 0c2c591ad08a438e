#include "design/YardButton.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

#include "design/Yard.h"

namespace pellucine {

YardButton::YardButton(const QString& text, Kind kind, QWidget* parent)
    : QAbstractButton(parent), kind_(kind) {
    setText(text);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void YardButton::setKind(Kind kind) {
    if (kind_ != kind) {
        kind_ = kind;
        update();
    }
}

QString YardButton::displayText() const {
    QString label = text().toUpper();
    label.replace(u'\n', u' ');
    label.replace(u'\r', u' ');
    return label;
}

QFont YardButton::labelFont() {
    return Yard::tracked(Yard::kickerFont(), tracking);
}

qreal YardButton::opacity(bool enabled, bool pressed) {
    if (!enabled) {
        return disabledOpacity;
    }
    return pressed ? pressedOpacity : 1.0;
}

QSize YardButton::sizeHint() const {
    const QFontMetricsF metrics(labelFont());
    const int labelWidth = static_cast<int>(std::ceil(metrics.horizontalAdvance(displayText())));
    const int labelHeight = static_cast<int>(std::ceil(metrics.height()));
    return {labelWidth + 2 * horizontalPadding, labelHeight + 2 * verticalPadding};
}

void YardButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // The fade applies to the button as one picture, so fill, border and label do not show
    // through each other.
    Yard::paintFaded(painter, this, opacity(isEnabled(), isDown()),
                     [this](QPainter& p) { paintPlate(p); });
}

void YardButton::paintPlate(QPainter& painter) const {
    const Yard::Palette& palette = Yard::palette(this);
    QColor label;
    QColor fill;
    QColor border;
    switch (kind_) {
        case Kind::primary:
            label = palette.onAccent;
            fill = palette.accent;
            border = palette.accent;
            break;
        case Kind::secondary:
            label = palette.fore;
            border = palette.fore;
            break;
        case Kind::danger:
            label = palette.accentType;
            border = palette.accentType;
            break;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bounds = rect();
    if (fill.isValid()) {
        painter.fillRect(bounds, fill);
    }
    Yard::strokeInside(painter, bounds, border, borderWidth);
    painter.setPen(label);
    painter.setFont(labelFont());
    painter.drawText(bounds, Qt::AlignCenter | Qt::TextSingleLine, displayText());
}

}  // namespace pellucine
