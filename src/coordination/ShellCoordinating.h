#pragma once

#include <QtGlobal>
#include <functional>
#include <memory>

namespace pellucine {

// What the application shell asks of the coordinator: starting and stopping, the menu glance
// and the window-search panel. The coordinator implements it; the delegate owns it. Main thread.
class ShellCoordinating {
  public:
    virtual ~ShellCoordinating() = default;

    // Starts following the keyboard, the pointer and the windows; nothing waits for a
    // permission.
    virtual void start() = 0;
    // Opens the glance of the application's windows with the status menu as its source, or
    // closes it when such a glance is already showing.
    virtual void showWindows(qint32 processIdentifier) = 0;
    // Shows the window-search panel (its controller is made on first use), or asks for the
    // permissions it lacks.
    virtual void showWindowSearch() = 0;
    // Ends timers, tasks, taps and monitors and hides the glance. Calling it again does nothing.
    virtual void stop() = 0;
};

// Makes the coordinator at launch; it may make none, and then the shell's actions that need one
// do nothing.
using CoordinatorFactory = std::function<std::unique_ptr<ShellCoordinating>()>;

}  // namespace pellucine
