#pragma once

#include <xcb/xcb.h>

#include <QByteArray>
#include <QFuture>
#include <QImage>
#include <QMargins>
#include <QSize>
#include <QThreadPool>
#include <atomic>
#include <memory>
#include <mutex>
#include <optional>

#include "platform/x11/X11CaptureOptions.h"
#include "platform/x11/X11CaptureResult.h"

namespace pellucine {

class X11CaptureLink;

// Scales `source` to fit inside `pixelSize` keeping its aspect ratio and centres it on a
// transparent picture of exactly that size. A null picture when memory ran out.
QImage fitInto(const QImage& source, QSize pixelSize);
// Puts `source` at its own size at the top-left corner of a transparent picture of exactly
// `pixelSize`, cut at its edges. A null picture when memory ran out.
QImage cropInto(const QImage& source, QSize pixelSize);

// Takes pictures of client windows, their decorations included, through Composite: the
// top-level windows are redirected (automatically, so the server still draws the screen) and a
// window's own pixmap is read. Where the server offers RENDER the pixmap is reduced to the
// picture's size there, and where it offers MIT-SHM the pixels arrive through shared memory;
// without them the whole pixmap is read and reduced here. The buffers stay for the next
// capture. The work runs on worker threads over a connection of its own, opened on first use,
// so the main connection never waits for pixels.
class X11WindowCapture {
  public:
    using Options = X11CaptureOptions;

    // `displayName` as the main connection uses it.
    explicit X11WindowCapture(QByteArray displayName, Options options);
    explicit X11WindowCapture(QByteArray displayName)
        : X11WindowCapture(std::move(displayName), Options{}) {}
    // Waits for the pictures being read; those still queued finish as failed without a read.
    ~X11WindowCapture();

    X11WindowCapture(const X11WindowCapture&) = delete;
    X11WindowCapture& operator=(const X11WindowCapture&) = delete;

    // The picture of `window`, exactly `pixelSize` (each side at least 1): fitted into it, or at
    // its own size and cut; the client's `shadow` margins are left out. Read off the calling
    // thread.
    QFuture<X11CaptureResult> capture(xcb_window_t window, QSize pixelSize, bool scalesToFit = true,
                                      QMargins shadow = {});
    // The same on the calling thread.
    X11CaptureResult captureNow(xcb_window_t window, QSize pixelSize, bool scalesToFit = true,
                                QMargins shadow = {});

    // The methods captures use, connecting first; none without a server with Composite.
    std::optional<X11CaptureMethods> methods();

  private:
    // The worker connection with the top-level windows redirected; null when that failed.
    std::shared_ptr<X11CaptureLink> link();

    QByteArray displayName_;
    Options options_;
    std::mutex mutex_;
    std::shared_ptr<X11CaptureLink> link_;
    std::atomic<bool> closing_{false};
    QThreadPool pool_;
};

}  // namespace pellucine
