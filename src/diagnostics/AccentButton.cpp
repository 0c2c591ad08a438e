#include "diagnostics/AccentButton.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

#include "design/YardFonts.h"

namespace pellucine::ReportProblem {

namespace {
constexpr int spinnerSteps = 12;
constexpr int spinnerIntervalMs = 80;
}  // namespace

AccentButton::AccentButton(const QString& text, QColor fill, QColor ink, QWidget* parent)
    : QAbstractButton(parent), fill_(std::move(fill)), ink_(std::move(ink)) {
    setText(text);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFont(labelFont());
    spinner_.setInterval(spinnerIntervalMs);
    connect(&spinner_, &QTimer::timeout, this, [this] {
        spinnerStep_ = (spinnerStep_ + 1) % spinnerSteps;
        update();
    });
}

QFont AccentButton::labelFont() const {
    return Yard::font(13, QFont::DemiBold);
}

void AccentButton::setBusy(bool busy) {
    if (busy_ == busy) {
        return;
    }
    busy_ = busy;
    if (busy) {
        spinner_.start();
    } else {
        spinner_.stop();
    }
    updateGeometry();
    update();
}

void AccentButton::setMinimumLabelWidth(int width) {
    minimumLabelWidth_ = width;
    updateGeometry();
}

int AccentButton::labelWidth() const {
    const QFontMetricsF metrics(font());
    int width = static_cast<int>(std::ceil(metrics.horizontalAdvance(text())));
    if (busy_) {
        width += spinnerSide + spinnerSpacing;
    }
    return std::max(width, minimumLabelWidth_);
}

QSize AccentButton::sizeHint() const {
    const QFontMetricsF metrics(font());
    const int height = std::max(static_cast<int>(std::ceil(metrics.height())), spinnerSide);
    return {labelWidth() + 2 * horizontalInset, height + 2 * verticalInset};
}

void AccentButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(isEnabled() ? 1.0 : disabledOpacity);
    QPainterPath plate;
    plate.addRoundedRect(QRectF(rect()), cornerRadius, cornerRadius);
    QColor plateColour = fill_;
    plateColour.setAlphaF(plateColour.alphaF() * (isDown() ? pressedFillOpacity : 1.0));
    painter.fillPath(plate, plateColour);

    const QFontMetricsF metrics(font());
    const qreal textWidth = metrics.horizontalAdvance(text());
    const qreal content = busy_ ? spinnerSide + spinnerSpacing + textWidth : textWidth;
    qreal x = (width() - content) / 2;
    if (busy_) {
        const QRectF disc(x, (height() - spinnerSide) / 2.0, spinnerSide, spinnerSide);
        QPen pen(ink_, 1.5);
        pen.setCapStyle(Qt::RoundCap);
        painter.setPen(pen);
        const int start = -spinnerStep_ * (360 / spinnerSteps) * 16;
        painter.drawArc(disc.adjusted(1, 1, -1, -1), start, 270 * 16);
        x += spinnerSide + spinnerSpacing;
    }
    painter.setPen(ink_);
    painter.drawText(QRectF(x, 0, textWidth + 1, height()), Qt::AlignLeft | Qt::AlignVCenter,
                     text());
}

}  // namespace pellucine::ReportProblem
