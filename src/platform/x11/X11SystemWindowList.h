#pragma once

#include <memory>

#include "platform/SystemWindowList.h"
#include "platform/x11/X11DesktopState.h"

namespace pellucine {

// The window manager's clients front to back (_NET_CLIENT_LIST_STACKING), with their XIDs as
// numbers, their processes as owners, layers from their window types and frames (decorations
// included) as bounds. On screen means mapped, not hidden and on the current desktop.
class X11SystemWindowList final : public SystemWindowList {
  public:
    explicit X11SystemWindowList(std::weak_ptr<X11DesktopState> state) : state_(std::move(state)) {}

    QList<WindowListEntry> windows(const WindowListOptions& options) const override;
    // The client lists only; empty once the desktop is gone.
    QSet<quint32> liveWindowNumbers() const override;

  private:
    std::weak_ptr<X11DesktopState> state_;
};

}  // namespace pellucine
