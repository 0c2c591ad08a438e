#pragma once

#include <memory>

#include "platform/SystemDock.h"
#include "platform/Workspace.h"
#include "platform/x11/X11DesktopState.h"
#include "platform/x11/X11PointerPoll.h"
#include "platform/x11/X11Taskbar.h"
#include "platform/x11/shell/X11DockBar.h"

namespace pellucine {

// The Dock on X11: the desktop's taskbar while it publishes its buttons (`X11Taskbar`), else
// the port's own Dock bar (`X11DockBar`), which stands aside for another dock along its edge as
// it always does. While wanted, the shell's Dock list holds the taskbar's items and the bar
// stays down; when the taskbar's buttons go (it quit, its panel was unmapped or moved away),
// its items go first and the bar comes back. Which Dock it is follows the desktop whether
// wanted or not. Main thread only.
class X11SystemDock final : public SystemDock {
  public:
    X11SystemDock(std::weak_ptr<X11DesktopState> state, Workspace& workspace);
    X11SystemDock(const X11SystemDock&) = delete;
    X11SystemDock& operator=(const X11SystemDock&) = delete;

    void setWanted(bool wanted) override;
    bool isWanted() const override { return wanted_; }
    // Read at once: the taskbar while it has buttons, else the bar's answer.
    Kind kind() const override;

    // The Dock the pointer can rest on, as the pointer's polling rule sees it: the published
    // taskbar's panel, else the bar while it shows; none otherwise.
    std::optional<X11PointerPoll::Dock> pointerDock() const;

    X11DockBar& dockBar() { return bar_; }
    X11Taskbar& taskbar() { return taskbar_; }

  private:
    // Hands the shell's Dock list to the taskbar or the bar, the one withdrawing before the
    // other shows.
    void update();

    bool wanted_ = false;
    X11DockBar bar_;
    X11Taskbar taskbar_;
};

}  // namespace pellucine
