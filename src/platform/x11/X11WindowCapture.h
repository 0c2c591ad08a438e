#pragma once

#include <xcb/xcb.h>

#include <QByteArray>
#include <QFuture>
#include <QImage>
#include <QSize>
#include <QThreadPool>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include "platform/x11/X11CapturePlan.h"

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
        // The window or the asked picture has more pixels than a capture may handle.
        tooLarge,
        // The server refused (no Composite, no connection, no memory).
        failed
    };

    Status status = Status::failed;
    QImage image;
};

// Scales `source` to fit inside `pixelSize` keeping its aspect ratio and centres it on a
// transparent picture of exactly that size. A null picture when memory ran out.
QImage fitInto(const QImage& source, QSize pixelSize);
// Puts `source` at its own size at the top-left corner of a transparent picture of exactly
// `pixelSize`, cut at its edges. A null picture when memory ran out.
QImage cropInto(const QImage& source, QSize pixelSize);

// Which of the server's extensions the captures use.
struct X11CaptureMethods {
    // Pictures are reduced to their size on the server (RENDER).
    bool render = false;
    // Pixels arrive through shared memory (MIT-SHM).
    bool sharedMemory = false;

    friend bool operator==(const X11CaptureMethods&, const X11CaptureMethods&) = default;
};

// Takes pictures of client windows, their decorations included, through Composite: the
// top-level windows are redirected (automatically, so the server still draws the screen) and a
// window's own pixmap is read. Where the server offers RENDER the pixmap is reduced to the
// picture's size there, and where it offers MIT-SHM the pixels arrive through shared memory;
// without them the whole pixmap is read and reduced here. The buffers stay for the next
// capture. The work runs on worker threads over a connection of its own, opened on first use,
// so the main connection never waits for pixels.
class X11WindowCapture {
  public:
    struct Options {
        // Reduce on the server when it offers RENDER.
        bool useRender = true;
        // Read through shared memory when the server offers MIT-SHM.
        bool useSharedMemory = true;
        // Windows and pictures with more pixels are refused (tooLarge).
        qint64 maximumPixels = maximumCapturePixels;
        // Called on the capturing thread once the window's frame is found, before its pixels
        // are read.
        std::function<void(xcb_window_t frame)> beforeReading;
    };

    // `displayName` as the main connection uses it.
    explicit X11WindowCapture(QByteArray displayName, Options options);
    explicit X11WindowCapture(QByteArray displayName)
        : X11WindowCapture(std::move(displayName), Options{}) {}
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

    // The methods captures use, connecting first; none without a server with Composite.
    std::optional<X11CaptureMethods> methods();

  private:
    class Link;

    // The worker connection with the top-level windows redirected; null when that failed.
    std::shared_ptr<Link> link();

    QByteArray displayName_;
    Options options_;
    std::mutex mutex_;
    std::shared_ptr<Link> link_;
    QThreadPool pool_;
};

}  // namespace pellucine
