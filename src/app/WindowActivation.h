#pragma once

class QWindow;

namespace pellucine {

// Gives one of the program's windows the focus through the window manager. Main thread.
class WindowActivation {
  public:
    virtual ~WindowActivation() = default;
    // A window not yet on screen gets the focus once it is.
    virtual void activate(QWindow& window) = 0;
};

}  // namespace pellucine
