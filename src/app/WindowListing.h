#pragma once

class QWindow;

namespace pellucine {

// Whether the desktop lists one of the program's windows in its taskbar and pager.
class WindowListing {
  public:
    virtual ~WindowListing() = default;
    // `mapped`: the window is already on screen (or minimized), not about to be shown.
    virtual void setUnlisted(QWindow& window, bool unlisted, bool mapped) = 0;
};

}  // namespace pellucine
