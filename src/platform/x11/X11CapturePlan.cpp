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

std::optional<X11ReductionPlan> planReduction(QSize content, int border, QSize target,
                                              bool scalesToFit, qint64 maximumPixels) {
    if (border < 0 || !pictureBytes(content, maximumPixels) ||
        !pictureBytes(target, maximumPixels) || target.width() > maximumPixmapSide ||
        target.height() > maximumPixmapSide) {
        return std::nullopt;
    }
    X11ReductionPlan plan;
    if (!scalesToFit) {
        plan.smooth = false;
        plan.placed = QRect(QPoint(0, 0), content.boundedTo(target));
        plan.steps.append({plan.placed.size(), 1, 1, double(border), double(border)});
        return representable(plan.steps.back()) ? std::optional(plan) : std::nullopt;
    }

    const QSize fitted = content.scaled(target, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    plan.placed = QRect(
        QPoint((target.width() - fitted.width()) / 2, (target.height() - fitted.height()) / 2),
        fitted);
    double width = content.width();
    double height = content.height();
    double offset = border;
    while (width > 2.0 * fitted.width() || height > 2.0 * fitted.height()) {
        const double factorX = width > 2.0 * fitted.width() ? 2 : 1;
        const double factorY = height > 2.0 * fitted.height() ? 2 : 1;
        width /= factorX;
        height /= factorY;
        const QSize half(static_cast<int>(std::ceil(width)), static_cast<int>(std::ceil(height)));
        plan.steps.append({half, factorX, factorY, offset, offset});
        offset = 0;
    }
    plan.steps.append({fitted, width / fitted.width(), height / fitted.height(), offset, offset});
    if (!std::all_of(plan.steps.begin(), plan.steps.end(), representable)) {
        return std::nullopt;
    }
    return plan;
}

}  // namespace pellucine
