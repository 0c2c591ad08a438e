#include "core/ScreenCapturePreviewService.h"

#include <QPointer>
#include <algorithm>
#include <cmath>

#include "base/Spawn.h"
#include "core/PreviewWidthError.h"
#include "core/WindowServiceError.h"

namespace pellucine {

ScreenCapturePreviewService::ScreenCapturePreviewService(ScreenCapture& capture,
                                                         Scheduler& scheduler, QObject* parent)
    : QObject(parent), capture_(capture), scheduler_(scheduler) {}

double ScreenCapturePreviewService::aspectRatio(Size frame) {
    const double ratio = frame.height / std::max(frame.width, 1.0);
    return std::clamp(ratio, minimumAspectRatio, maximumAspectRatio);
}

QSize ScreenCapturePreviewService::pixelSize(Size frame, double width, double scale) {
    const double ratio = aspectRatio(frame);
    const double own = std::max(frame.width, 0.0) * (scale > 0 ? scale : 1.0);
    const double across = std::min(2 * width, own);
    const auto pixels = [](double count) {
        return std::max(1, static_cast<int>(std::trunc(count)));
    };
    return {pixels(across), pixels(ratio * across)};
}

void ScreenCapturePreviewService::invalidateContent() {
    contentTask_.cancel();
    contentTask_ = {};
    cachedContent_.reset();
}

QCoro::Task<ShareableContent> ScreenCapturePreviewService::fetchContent(CancellationToken) {
    co_return co_await capture_.shareableContent();
}

QCoro::Task<ShareableContent> ScreenCapturePreviewService::shareableContent() {
    if (cachedContent_ && scheduler_.clock().now() - cachedAt_ < seconds(contentLifetimeSeconds)) {
        // A copy: co_return moves from the lvalue it is given, which would empty the held list.
        ShareableContent held = *cachedContent_;
        co_return held;
    }
    if (!contentTask_.isValid()) {
        contentTask_ = spawn(scheduler_, guarded(this, &ScreenCapturePreviewService::fetchContent));
    }
    const SharedTask<ShareableContent> task = contentTask_;
    const QPointer<ScreenCapturePreviewService> self(this);
    try {
        ShareableContent content = co_await task;
        // Only the first caller back from the current fetch keeps its answer; an invalidation
        // meanwhile replaced or dropped the fetch, and then the answer may be out of date.
        if (self && self->contentTask_ == task) {
            self->contentTask_ = {};
            self->cachedContent_ = content;
            self->cachedAt_ = self->scheduler_.clock().now();
        }
        co_return content;
    } catch (...) {
        if (self && self->contentTask_ == task) {
            self->contentTask_ = {};
        }
        throw;
    }
}

QCoro::Task<QImage> ScreenCapturePreviewService::capture(WindowDescriptor window, double width) {
    if (!(width >= 0 && width <= maximumDisplayWidth)) {
        throw PreviewWidthError(width);
    }
    ScreenCapture& source = capture_;
    const ShareableContent content = co_await shareableContent();
    const auto match = std::find_if(
        content.windows.begin(), content.windows.end(),
        [&window](const ShareableWindow& w) { return w.windowIdentifier == window.id; });
    if (match == content.windows.end()) {
        throw WindowServiceError::windowUnavailable();
    }
    // The ratio comes from the frame the capture source reports for the window.
    const WindowCaptureConfiguration configuration{
        pixelSize(match->frame.size(), width, match->scale),
        /*showsCursor=*/false, /*scalesToFit=*/true};
    QImage image = co_await source.captureWindowImage(*match, configuration);
    if (image.isNull()) {
        throw ScreenCaptureError(ScreenCaptureError::Case::failed);
    }
    co_return image;
}

}  // namespace pellucine
