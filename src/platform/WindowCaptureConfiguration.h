#pragma once

#include <QSize>

namespace pellucine {

// How one window picture is taken.
struct WindowCaptureConfiguration {
    // The picture's size in pixels; each side at least 1.
    QSize pixelSize{1, 1};
    // Whether the mouse pointer is drawn when it is over the window.
    bool showsCursor = false;
    // True: the window is scaled to fit inside the picture, keeping its aspect ratio and centred
    // on a transparent background. False: it is drawn at its own size from the top-left corner
    // and cut at the picture's edges.
    bool scalesToFit = true;

    friend bool operator==(const WindowCaptureConfiguration&,
                           const WindowCaptureConfiguration&) = default;
};

}  // namespace pellucine
