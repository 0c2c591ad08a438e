#pragma once

#include <QList>

#include "platform/WindowListEntry.h"

namespace pellucine {

struct WindowListOptions {
    // Leave out windows that are not on screen (minimized, hidden, on another desktop).
    bool onScreenOnly = false;
    // Leave out the desktop's own background and icon windows.
    bool excludeDesktopElements = false;
};

// The system's list of windows of every process, front to back. Main thread only.
class SystemWindowList {
  public:
    virtual ~SystemWindowList() = default;
    virtual QList<WindowListEntry> windows(const WindowListOptions& options) const = 0;
};

}  // namespace pellucine
