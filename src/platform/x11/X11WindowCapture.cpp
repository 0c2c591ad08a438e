#include "platform/x11/X11WindowCapture.h"

#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <cstring>
#include <new>

#include "base/ThreadPoolExecutor.h"
#include "platform/x11/X11CaptureLink.h"

namespace pellucine {

QImage fitInto(const QImage& source, QSize pixelSize) {
    pixelSize = pixelSize.expandedTo(QSize(1, 1));
    QImage scaled = source.scaled(pixelSize, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    // Never hand out the caller's pixels, which may be borrowed.
    if (!scaled.isNull() && scaled.constBits() == source.constBits()) {
        scaled = scaled.copy();
    }
    if (scaled.isNull() || scaled.size() == pixelSize) {
        return scaled;
    }
    QImage result(pixelSize, QImage::Format_ARGB32_Premultiplied);
    if (result.isNull()) {
        return {};
    }
    result.fill(Qt::transparent);
    const int left = (pixelSize.width() - scaled.width()) / 2;
    const int top = (pixelSize.height() - scaled.height()) / 2;
    const int rowBytes = std::min(scaled.width(), pixelSize.width() - left) * 4;
    for (int y = 0; y < scaled.height() && top + y < pixelSize.height(); ++y) {
        std::memcpy(result.scanLine(top + y) + left * 4, scaled.constScanLine(y),
                    static_cast<std::size_t>(rowBytes));
    }
    return result;
}

QImage cropInto(const QImage& source, QSize pixelSize) {
    pixelSize = pixelSize.expandedTo(QSize(1, 1));
    const QImage converted = source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage result(pixelSize, QImage::Format_ARGB32_Premultiplied);
    if (converted.isNull() || result.isNull()) {
        return {};
    }
    result.fill(Qt::transparent);
    const int rows = std::min(converted.height(), pixelSize.height());
    const int rowBytes = std::min(converted.width(), pixelSize.width()) * 4;
    for (int y = 0; y < rows; ++y) {
        std::memcpy(result.scanLine(y), converted.constScanLine(y),
                    static_cast<std::size_t>(rowBytes));
    }
    return result;
}

X11WindowCapture::X11WindowCapture(QByteArray displayName, Options options)
    : displayName_(std::move(displayName)), options_(std::move(options)) {
    pool_.setMaxThreadCount(2);
    pool_.setExpiryTimeout(ThreadPoolExecutor::idleWorkerExpiryMs);
}

X11WindowCapture::~X11WindowCapture() {
    // The pictures still queued finish at once as failed; only those being read are waited for.
    closing_ = true;
    pool_.waitForDone();
}

QFuture<X11CaptureResult> X11WindowCapture::capture(xcb_window_t window, QSize pixelSize,
                                                    bool scalesToFit, QMargins shadow) {
    return QtConcurrent::run(&pool_, [this, window, pixelSize, scalesToFit, shadow] {
        if (closing_) {
            return X11CaptureResult{X11CaptureResult::Status::failed, {}};
        }
        return captureNow(window, pixelSize, scalesToFit, shadow);
    });
}

std::shared_ptr<X11CaptureLink> X11WindowCapture::link() {
    const std::lock_guard lock(mutex_);
    // A link without Composite stays: nothing more to try. A broken one is replaced.
    if (!link_ || link_->broken()) {
        link_ = X11CaptureLink::open(displayName_, options_);
    }
    return link_->usable() && !link_->broken() ? link_ : nullptr;
}

std::optional<X11CaptureMethods> X11WindowCapture::methods() {
    const std::shared_ptr<X11CaptureLink> link = this->link();
    return link ? std::optional(link->methods()) : std::nullopt;
}

X11CaptureResult X11WindowCapture::captureNow(xcb_window_t window, QSize pixelSize,
                                              bool scalesToFit, QMargins shadow) {
    try {
        const std::shared_ptr<X11CaptureLink> link = this->link();
        if (!link) {
            return {X11CaptureResult::Status::failed, {}};
        }
        return link->capture(window, pixelSize.expandedTo(QSize(1, 1)), scalesToFit, shadow);
    } catch (const std::bad_alloc&) {
        return {X11CaptureResult::Status::failed, {}};
    }
}

}  // namespace pellucine
