#include "platform/x11/X11ScreenCapture.h"

#include <QCoro/QCoroFuture>

#include "base/Sleep.h"

namespace pellucine {

X11ScreenCapture::X11ScreenCapture(std::weak_ptr<X11DesktopState> state, QByteArray displayName)
    : state_(std::move(state)), capture_(std::move(displayName)) {}

std::optional<ScreenCaptureError::Case> X11ScreenCapture::failureOf(
    X11CaptureResult::Status status) {
    switch (status) {
        case X11CaptureResult::Status::captured:
            return std::nullopt;
        case X11CaptureResult::Status::windowGone:
            return ScreenCaptureError::Case::windowGone;
        case X11CaptureResult::Status::notViewable:
            return ScreenCaptureError::Case::windowNotViewable;
        case X11CaptureResult::Status::tooLarge:
        case X11CaptureResult::Status::failed:
            return ScreenCaptureError::Case::failed;
    }
    return ScreenCaptureError::Case::failed;
}

QCoro::Task<ShareableContent> X11ScreenCapture::shareableContent() {
    const auto state = state_.lock();
    if (!state) {
        throw ScreenCaptureError(ScreenCaptureError::Case::failed);
    }
    const X11DesktopSnapshot snapshot = state->snapshot();
    const X11CoordinateSpace space = state->space();
    ShareableContent content;
    for (const X11WindowInfo& info : snapshot.windows) {
        content.windows.append(ShareableWindow{info.window, space.toGlobal(info.frameRect()),
                                               info.pid, info.isOnScreen(), space.scale()});
    }
    co_return content;
}

QCoro::Task<void> X11ScreenCapture::untilDrawn(xcb_window_t window) {
    while (true) {
        std::optional<Duration> wait;
        if (const auto state = state_.lock()) {
            const std::optional<X11WindowInfo> info = state->window(window);
            // Every event that came before what was read is noted: a change the read shows has
            // been heard of.
            state->connection().receivedEventCount();
            if (info) {
                wait = state->drawWatch().wait(window, info->clientRect.size());
            }
        }
        if (!wait) {
            co_return;
        }
        co_await Sleep(scheduler_, *wait);
    }
}

QCoro::Task<QImage> X11ScreenCapture::captureWindowImage(ShareableWindow window,
                                                         WindowCaptureConfiguration configuration) {
    // The capture object lives as long as this port, which outlives every call made to it.
    co_await untilDrawn(window.windowIdentifier);
    QMargins shadow;
    if (const auto state = state_.lock()) {
        if (const auto info = state->window(window.windowIdentifier)) {
            shadow = info->shadow;
        }
    }
    const X11CaptureResult result = co_await capture_.capture(
        window.windowIdentifier, configuration.pixelSize, configuration.scalesToFit, shadow);
    if (const auto failure = failureOf(result.status)) {
        throw ScreenCaptureError(*failure);
    }
    co_return QImage(result.image);
}

}  // namespace pellucine
