#pragma once

#include <QList>
#include <QtGlobal>
#include <optional>

#include "base/Rect.h"

namespace pellucine {

// One window that can be pictured.
struct ShareableWindow {
    // The system window number, as the window list reports it.
    quint32 windowIdentifier = 0;
    // The window's frame in the global space.
    GlobalRect frame;
    // The owning process, where the platform knows it.
    std::optional<qint32> owningProcessIdentifier;
    // False for a window that is minimized, hidden or on another desktop.
    bool isOnScreen = false;
    // Pixels per point of the frame: the window has frame.width x scale pixels across.
    double scale = 1;

    friend bool operator==(const ShareableWindow&, const ShareableWindow&) = default;
};

// The windows that can be pictured at one moment, on screen or not, front to back.
struct ShareableContent {
    QList<ShareableWindow> windows;

    friend bool operator==(const ShareableContent&, const ShareableContent&) = default;
};

}  // namespace pellucine
