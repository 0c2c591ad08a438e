#pragma once

#include <QSize>
#include <functional>

namespace pellucine {

// One of the program's windows as the presenter handles it. Main thread.
class PresentableWindow {
  public:
    virtual ~PresentableWindow() = default;

    virtual bool isFullScreen() const = 0;
    // Asks the window to leave full screen; `done` runs once, after the window manager has taken
    // it out (never when it does not), as long as the window exists.
    virtual void exitFullScreen(std::function<void()> done) = 0;
    virtual bool isZoomed() const = 0;
    virtual void unzoom() = 0;
    // The size of the window's content, its frame left out.
    virtual void setContentSize(QSize size) = 0;
    // Centres the window on the work area of the screen it is on, shrinking it to fit there.
    virtual void centre() = 0;
    // Shows the window above the others.
    virtual void orderFront() = 0;
    // Gives the window the focus, even while another application is in front.
    virtual void activate() = 0;
};

// Brings the window forward at its default content size, centred, also when the user had moved
// or resized it; a window in full screen leaves it first and gets that size and place again once
// it has.
void presentWindow(PresentableWindow& window, QSize contentSize);

}  // namespace pellucine
