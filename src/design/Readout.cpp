#include "design/Readout.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

#include "design/Eliding.h"
#include "design/Yard.h"

namespace pellucine {

Readout::Readout(const QString& text, bool path, QWidget* parent) : QWidget(parent), path_(path) {
    Yard::installAccessibility();
    setFont(Yard::readoutFont());
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    Yard::allowEliding(*this, path_);
    setText(text);
}

void Readout::setText(const QString& text) {
    text_ = text;
    // One line: breaks show as spaces.
    text_.replace(u'\n', u' ');
    text_.replace(u'\r', u' ');
    setToolTip(text);
    setAccessibleName(text);
    updateGeometry();
    update();
}

void Readout::setPath(bool path) {
    if (path_ != path) {
        path_ = path;
        Yard::allowEliding(*this, path_);
        update();
    }
}

QString Readout::shownText(int width) const {
    return QFontMetricsF(font()).elidedText(text_, path_ ? Qt::ElideMiddle : Qt::ElideRight, width);
}

QSize Readout::sizeHint() const {
    const QFontMetricsF metrics(font());
    return {static_cast<int>(std::ceil(metrics.horizontalAdvance(text_))),
            static_cast<int>(std::ceil(metrics.height()))};
}

QSize Readout::minimumSizeHint() const {
    const QFontMetricsF metrics(font());
    return {static_cast<int>(std::ceil(metrics.horizontalAdvance(QStringLiteral("…")))),
            static_cast<int>(std::ceil(metrics.height()))};
}

int Readout::firstBaseline() const {
    return QFontMetrics(font()).ascent();
}

void Readout::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(Yard::palette(this).muted);
    painter.drawText(QPointF(0, QFontMetricsF(font()).ascent()), shownText(width()));
}

}  // namespace pellucine
