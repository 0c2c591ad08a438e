#pragma once

#include <QImage>

namespace pellucine {

// The outcome of one window picture.
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

}  // namespace pellucine
