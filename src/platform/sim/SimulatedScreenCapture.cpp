#include "platform/sim/SimulatedScreenCapture.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "base/Sleep.h"
#include "platform/sim/SimulatedDesktop.h"

namespace pellucine {

namespace {

// The largest rectangle of `source`'s proportions inside `bounds`, centred.
QRectF fitted(QSizeF source, QSizeF bounds) {
    if (source.isEmpty()) {
        return QRectF(QPointF(0, 0), bounds);
    }
    const QSizeF scaled = source.scaled(bounds, Qt::KeepAspectRatio);
    return {(bounds.width() - scaled.width()) / 2, (bounds.height() - scaled.height()) / 2,
            scaled.width(), scaled.height()};
}

}  // namespace

SimulatedScreenCapture::SimulatedScreenCapture(const SimulatedDesktop& desktop,
                                               Scheduler& scheduler)
    : desktop_(desktop), scheduler_(scheduler) {}

SimulatedScreenCapture::~SimulatedScreenCapture() = default;

QColor SimulatedScreenCapture::colourOf(quint32 windowNumber) {
    return QColor::fromHsv(static_cast<int>((windowNumber * 47u) % 360u), 160, 200);
}

void SimulatedScreenCapture::setCaptureDelay(quint32 windowNumber, Duration delay) {
    captureDelays_.insert(windowNumber, delay);
}

void SimulatedScreenCapture::failCapture(quint32 windowNumber,
                                         std::optional<ScreenCaptureError::Case> failure) {
    if (failure) {
        captureFailures_.insert(windowNumber, *failure);
    } else {
        captureFailures_.remove(windowNumber);
    }
}

void SimulatedScreenCapture::setShareable(quint32 windowNumber, bool shareable) {
    shareable_.insert(windowNumber, shareable);
}

void SimulatedScreenCapture::setPicture(quint32 windowNumber, QImage picture) {
    if (picture.isNull()) {
        pictures_.remove(windowNumber);
    } else {
        pictures_.insert(windowNumber, std::move(picture));
    }
}

void SimulatedScreenCapture::showUndrawn(quint32 windowNumber) {
    settling_.insert(windowNumber, DrawSettling{scheduler_.clock().now(), std::nullopt});
}

void SimulatedScreenCapture::draw(quint32 windowNumber) {
    if (const auto it = settling_.find(windowNumber); it != settling_.end()) {
        it->drawn(scheduler_.clock().now());
    }
}

ShareableContent SimulatedScreenCapture::currentContent() const {
    ShareableContent content;
    for (const quint32 number : desktop_.stackingOrder()) {
        if (!shareable_.value(number, true)) {
            continue;
        }
        const SimulatedWindow& w = *desktop_.window(number);
        const auto app = desktop_.runningApplication(w.ownerPID);
        content.windows.append({number, w.listBounds.value_or(w.frame), w.ownerPID,
                                !w.isMinimized && !(app && app->isHidden)});
    }
    return content;
}

QCoro::Task<ShareableContent> SimulatedScreenCapture::shareableContent() {
    ++fetchCount_;
    // The list is taken when asked for and arrives after the delay, possibly out of date.
    ShareableContent content = currentContent();
    const std::weak_ptr<const bool> alive = alive_;
    co_await Sleep(scheduler_, contentDelay_);
    if (alive.expired()) {
        throw ScreenCaptureError(ScreenCaptureError::Case::failed);
    }
    if (!desktop_.simulatedPermissions().canCaptureLive()) {
        throw ScreenCaptureError(ScreenCaptureError::Case::permissionDenied);
    }
    if (contentFailure_) {
        throw ScreenCaptureError(*contentFailure_);
    }
    co_return content;
}

QCoro::Task<QImage> SimulatedScreenCapture::captureWindowImage(
    ShareableWindow window, WindowCaptureConfiguration configuration) {
    const quint32 number = window.windowIdentifier;
    captureRequests_.append(
        QStringLiteral("window %1: %2 x %3, cursor %4, %5")
            .arg(number)
            .arg(configuration.pixelSize.width())
            .arg(configuration.pixelSize.height())
            .arg(configuration.showsCursor ? QStringLiteral("shown") : QStringLiteral("hidden"),
                 configuration.scalesToFit ? QStringLiteral("scaled to fit")
                                           : QStringLiteral("at its own size")));
    const std::weak_ptr<const bool> alive = alive_;
    co_await Sleep(scheduler_, captureDelays_.value(number, captureDelay_));
    while (!alive.expired()) {
        const auto settling = settling_.constFind(number);
        const ContinuousInstant now = scheduler_.clock().now();
        if (settling == settling_.cend() || settling->isSettled(now)) {
            break;
        }
        co_await Sleep(scheduler_, settling->wait(now));
    }
    if (alive.expired() || configuration.pixelSize.width() < 1 ||
        configuration.pixelSize.height() < 1) {
        throw ScreenCaptureError(ScreenCaptureError::Case::failed);
    }
    if (!desktop_.simulatedPermissions().canCaptureLive()) {
        throw ScreenCaptureError(ScreenCaptureError::Case::permissionDenied);
    }
    const SimulatedWindow* w = desktop_.window(number);
    if (w == nullptr) {
        throw ScreenCaptureError(ScreenCaptureError::Case::windowGone);
    }
    if (const auto failure = captureFailures_.constFind(number);
        failure != captureFailures_.constEnd()) {
        throw ScreenCaptureError(*failure);
    }
    if (w->isMinimized && !minimizedHavePictures_) {
        throw ScreenCaptureError(ScreenCaptureError::Case::windowNotViewable);
    }
    co_return picture(*w, configuration);
}

QImage SimulatedScreenCapture::picture(const SimulatedWindow& window,
                                       const WindowCaptureConfiguration& configuration) const {
    QImage out(configuration.pixelSize, QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    const auto custom = pictures_.constFind(window.number);
    const QSizeF source = custom != pictures_.constEnd()
                              ? QSizeF(custom->size())
                              : QSizeF(std::max(1.0, std::abs(window.frame.width)),
                                       std::max(1.0, std::abs(window.frame.height)));
    const QRectF target = configuration.scalesToFit ? fitted(source, QSizeF(out.size()))
                                                    : QRectF(QPointF(0, 0), source);
    QPainter painter(&out);
    if (const auto settling = settling_.constFind(window.number);
        settling != settling_.cend() && !settling->lastDrawnAt) {
        painter.fillRect(target, Qt::white);
    } else if (custom != pictures_.constEnd()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(target, *custom);
    } else {
        painter.fillRect(target, colourOf(window.number));
    }
    return out;
}

}  // namespace pellucine
