#pragma once

#include <QtGlobal>

namespace pellucine {

// What the application shell asks of the coordinator: the menu glance, the window-search panel
// and stopping. The coordinator implements it; the delegate owns it. Main thread.
class ShellCoordinating {
  public:
    virtual ~ShellCoordinating() = default;

    // Opens the glance of the application's windows with the status menu as its source, or
    // closes it when such a glance is already showing.
    virtual void showWindows(qint32 processIdentifier) = 0;
    // Shows the window-search panel (its controller is made on first use), or asks for the
    // permissions it lacks.
    virtual void showWindowSearch() = 0;
    // Ends timers, tasks, taps and monitors and hides the glance. Calling it again does nothing.
    virtual void stop() = 0;
};

}  // namespace pellucine
