#include "design/HazardStripe.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "design/Yard.h"

namespace pellucine {
namespace {

int pixelHeight(qreal height) {
    return std::isfinite(height) && height > 0 ? static_cast<int>(std::ceil(height)) : 0;
}

}  // namespace

HazardStripe::HazardStripe(qreal height, QWidget* parent) : QWidget(parent), height_(height) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFixedHeight(pixelHeight(height_));
}

void HazardStripe::setStripeHeight(qreal height) {
    height_ = height;
    setFixedHeight(pixelHeight(height_));
    update();
}

QList<QPolygonF> HazardStripe::stripes(qreal width, qreal height) {
    // A step of 2h never advances for h <= 0; such a band has no stripes.
    if (!std::isfinite(width) || !std::isfinite(height) || height <= 0) {
        return {};
    }
    const qreal count = std::ceil((width + 3 * height) / (2 * height));
    if (count > maximumStripes) {
        return {};
    }
    QList<QPolygonF> result;
    result.reserve(static_cast<qsizetype>(std::max<qreal>(0, count)));
    const qreal h = height;
    for (int i = 0;; ++i) {
        const qreal x = -h + 2 * h * i;
        if (!(x < width + 2 * h)) {
            break;
        }
        result.append(QPolygonF(
            {QPointF(x, h), QPointF(x + h, 0), QPointF(x + 1.9 * h, 0), QPointF(x + 0.9 * h, h)}));
    }
    return result;
}

void HazardStripe::paint(QPainter& painter, const QRectF& rect, const Yard::Palette& palette) {
    if (!(rect.width() > 0) || !(rect.height() > 0)) {
        return;
    }
    painter.save();
    painter.fillRect(rect, palette.rail);
    painter.setClipRect(rect, Qt::IntersectClip);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    for (const QPolygonF& stripe : stripes(rect.width(), rect.height())) {
        path.addPolygon(stripe.translated(rect.topLeft()));
        path.closeSubpath();
    }
    painter.fillPath(path, palette.accent);
    painter.restore();
}

QSize HazardStripe::sizeHint() const {
    return {0, pixelHeight(height_)};
}

void HazardStripe::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const qreal h = pixelHeight(height_) > 0 ? std::min<qreal>(height_, height()) : 0;
    paint(painter, QRectF(0, 0, width(), h), Yard::palette(this));
}

}  // namespace pellucine
