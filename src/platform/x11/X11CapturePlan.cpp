#include "platform/x11/X11CapturePlan.h"

#include <algorithm>
#include <cmath>

namespace pellucine {

namespace {

bool representable(const X11ReductionStep& step) {
    return step.size.width() <= maximumPixmapSide && step.size.height() <= maximumPixmapSide &&
           toFixed(step.scaleX) && toFixed(step.scaleY) && toFixed(step.offsetX) &&
           toFixed(step.offsetY);
}

}  // namespace

std::optional<qint64> pictureBytes(QSize size, qint64 maximumPixels) {
    if (size.width() < 1 || size.height() < 1) {
        return std::nullopt;
    }
    const qint64 pixels = qint64(size.width()) * qint64(size.height());
    if (pixels > maximumPixels) {
        return std::nullopt;
    }
    return pixels * 4;
}

std::optional<qint32> toFixed(double value) {
    const double scaled = std::round(value * 65536.0);
    if (!std::isfinite(scaled) || scaled > 2147483647.0 || scaled < -2147483648.0) {
        return std::nullopt;
    }
    return static_cast<qint32>(scaled);
}

QRect pictured(QSize content, const QRect& client, QMargins shadow) {
    const QRect all(QPoint(0, 0), content);
    const QRect shown = client.marginsRemoved(shadow);
    return shadow.isNull() || shown.isEmpty() || !all.contains(shown) ? all : shown;
}

std::optional<X11ReductionPlan> planReduction(QSize content, int border, QSize target,
                                              bool scalesToFit, qint64 maximumPixels) {
    if (border < 0) {
        return std::nullopt;
    }
    return planReduction(QRect(QPoint(border, border), content), target, scalesToFit,
                         maximumPixels);
}

std::optional<X11ReductionPlan> planReduction(const QRect& source, QSize target, bool scalesToFit,
                                              qint64 maximumPixels) {
    const QSize content = source.size();
    const QPointF corner = source.topLeft();
    if (source.x() < 0 || source.y() < 0 || !pictureBytes(content, maximumPixels) ||
        !pictureBytes(target, maximumPixels) || target.width() > maximumPixmapSide ||
        target.height() > maximumPixmapSide) {
        return std::nullopt;
    }
    X11ReductionPlan plan;
    if (!scalesToFit) {
        plan.smooth = false;
        plan.placed = QRect(QPoint(0, 0), content.boundedTo(target));
        plan.steps.append({plan.placed.size(), 1, 1, corner.x(), corner.y()});
        return representable(plan.steps.back()) ? std::optional(plan) : std::nullopt;
    }

    const QSize fitted = content.scaled(target, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    plan.placed = QRect(
        QPoint((target.width() - fitted.width()) / 2, (target.height() - fitted.height()) / 2),
        fitted);
    double width = content.width();
    double height = content.height();
    double offsetX = corner.x();
    double offsetY = corner.y();
    while (width > 2.0 * fitted.width() || height > 2.0 * fitted.height()) {
        const double factorX = width > 2.0 * fitted.width() ? 2 : 1;
        const double factorY = height > 2.0 * fitted.height() ? 2 : 1;
        width /= factorX;
        height /= factorY;
        const QSize half(static_cast<int>(std::ceil(width)), static_cast<int>(std::ceil(height)));
        plan.steps.append({half, factorX, factorY, offsetX, offsetY});
        offsetX = 0;
        offsetY = 0;
    }
    plan.steps.append({fitted, width / fitted.width(), height / fitted.height(), offsetX, offsetY});
    if (!std::all_of(plan.steps.begin(), plan.steps.end(), representable)) {
        return std::nullopt;
    }
    return plan;
}

}  // namespace pellucine
