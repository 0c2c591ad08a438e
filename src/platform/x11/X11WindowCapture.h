#pragma once

#include <xcb/xcb.h>

#include <QByteArray>
#include <QFuture>
#include <QImage>
#include <QSize>
#include <QThreadPool>
#include <memory>
#include <mutex>
#include <optional>

namespace pellucine {

// The outcome of one picture.
struct X11CaptureResult {
    enum class Status {
        captured,
        // The window no longer exists.
        windowGone,
        // The window is not on screen (minimized, withdrawn, on another desktop): the server
        // keeps no picture of it.
        notViewable,
        // The server refused (no Composite, no connection).
        failed
    };

    Status status = Status::failed;
    QImage image;
};

// Scales `source` to fit inside `pixelSize` keeping its aspect ratio and centres it on a
// transparent picture of exactly that size.
QImage fitInto(const QImage& source, QSize pixelSize);
// Puts `source` at its own size at the top-left corner of a transparent picture of exactly
// `pixelSize`, cut at its edges.
QImage cropInto(const QImage& source, QSize pixelSize);

// Takes pictures of client windows, their decorations included, through Composite: the
// top-level windows are redirected (automatically, so the server still draws the screen) and a
// window's own pixmap is read. The work runs on worker threads over a connection of its own,
// opened on first use, so the main connection never waits for pixels.
class X11WindowCapture {
  public:
    // `displayName` as the main connection uses it.
    explicit X11WindowCapture(QByteArray displayName);
    // Waits for the pictures in flight.
    ~X11WindowCapture();

    X11WindowCapture(const X11WindowCapture&) = delete;
    X11WindowCapture& operator=(const X11WindowCapture&) = delete;

    // The picture of `window`, exactly `pixelSize` (each side at least 1): fitted into it, or at
    // its own size and cut. Read off the calling thread.
    QFuture<X11CaptureResult> capture(xcb_window_t window, QSize pixelSize,
                                      bool scalesToFit = true);
    // The same on the calling thread.
    X11CaptureResult captureNow(xcb_window_t window, QSize pixelSize, bool scalesToFit = true);

  private:
    struct Disconnect {
        void operator()(xcb_connection_t* c) const { xcb_disconnect(c); }
    };

    // The worker connection with the top-level windows redirected; null when that failed.
    xcb_connection_t* connection();

    QByteArray displayName_;
    std::mutex mutex_;
    std::unique_ptr<xcb_connection_t, Disconnect> connection_;
    xcb_window_t root_ = XCB_NONE;
    bool ready_ = false;
    QThreadPool pool_;
};

}  // namespace pellucine
