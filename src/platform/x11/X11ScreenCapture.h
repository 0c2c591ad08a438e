#pragma once

#include <QByteArray>
#include <memory>

#include "base/QtScheduler.h"
#include "platform/ScreenCapture.h"
#include "platform/x11/X11DesktopState.h"
#include "platform/x11/X11WindowCapture.h"

namespace pellucine {

// Window pictures through Composite, read on worker threads over a connection of their own.
// The shareable windows are the window manager's clients with the frames of the window list;
// a picture shows the frame, decorations included. X11 asks no permission to record the
// screen, so nothing is ever refused for want of it. Minimized windows and windows on other
// desktops are unmapped and have no picture (windowNotViewable). A client that has just come on
// screen or changed size is pictured once it has drawn (X11DrawWatch). The pointer is never
// drawn.
// Windows and pictures over the pixel budget of X11WindowCapture are refused (failed).
class X11ScreenCapture final : public ScreenCapture {
  public:
    X11ScreenCapture(std::weak_ptr<X11DesktopState> state, QByteArray displayName);

    QCoro::Task<ShareableContent> shareableContent() override;
    QCoro::Task<QImage> captureWindowImage(ShareableWindow window,
                                           WindowCaptureConfiguration configuration) override;

    // The reason a picture is missing, as the port names it; none for a picture taken.
    static std::optional<ScreenCaptureError::Case> failureOf(X11CaptureResult::Status status);

  private:
    // Returns once the window has drawn since it came on screen or changed size.
    QCoro::Task<void> untilDrawn(xcb_window_t window);

    std::weak_ptr<X11DesktopState> state_;
    X11WindowCapture capture_;
    QtScheduler scheduler_{systemContinuousClock()};
};

}  // namespace pellucine
