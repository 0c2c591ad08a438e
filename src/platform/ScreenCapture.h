#pragma once

#include <QCoro/QCoroTask>
#include <QImage>

#include "platform/ScreenCaptureError.h"
#include "platform/ShareableContent.h"
#include "platform/WindowCaptureConfiguration.h"

namespace pellucine {

// Still pictures of other applications' windows. Called on the main thread; an implementation
// may do the work elsewhere (a worker connection, a system queue) but resumes its caller on the
// main thread. It outlives every call made to it.
class ScreenCapture {
  public:
    virtual ~ScreenCapture() = default;

    // Every window that can be pictured, desktop windows included and not only those on screen
    // (minimized, hidden and other-desktop windows are listed too). Without permission to
    // record the screen this fails, so it doubles as the live test of that permission.
    // Throws ScreenCaptureError.
    virtual QCoro::Task<ShareableContent> shareableContent() = 0;

    // One picture of the window alone, showing its own content wherever it is and whatever
    // covers it, exactly `configuration.pixelSize` in size. Throws ScreenCaptureError
    // (windowNotViewable where the platform keeps no picture of windows off screen).
    virtual QCoro::Task<QImage> captureWindowImage(ShareableWindow window,
                                                   WindowCaptureConfiguration configuration) = 0;
};

}  // namespace pellucine
