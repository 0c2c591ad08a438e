#pragma once

#include <xcb/xcb.h>

#include <QList>
#include <QSet>
#include <optional>

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11WindowInfo.h"

namespace pellucine {

// The window manager's clients at one moment.
struct X11DesktopSnapshot {
    // Front to back (_NET_CLIENT_LIST_STACKING reversed); windows gone while read are left out.
    QList<X11WindowInfo> windows;
    // The clients in the order they were first mapped (_NET_CLIENT_LIST).
    QList<xcb_window_t> mappingOrder;
    xcb_window_t activeWindow = XCB_NONE;
    std::optional<quint32> currentDesktop;

    const X11WindowInfo* find(xcb_window_t window) const;
};

// Reads client windows from the server, every request of one read in a single round trip.
class X11WindowReader {
  public:
    explicit X11WindowReader(X11Connection& connection) : connection_(connection) {}

    X11DesktopSnapshot read() const;
    // The given windows, in the given order; a window that is gone is left out.
    QList<X11WindowInfo> readWindows(const QList<xcb_window_t>& windows,
                                     std::optional<quint32> currentDesktop) const;
    std::optional<X11WindowInfo> readWindow(xcb_window_t window) const;

    // The clients front to back, without their details.
    QList<xcb_window_t> clientsFrontToBack() const;
    // Every client of _NET_CLIENT_LIST and _NET_CLIENT_LIST_STACKING, both read in one round
    // trip and nothing read per window.
    QSet<quint32> clientNumbers() const;
    xcb_window_t activeWindow() const;
    std::optional<quint32> currentDesktop() const;

  private:
    void fillMissingPids(QList<X11WindowInfo>& windows) const;

    X11Connection& connection_;
};

}  // namespace pellucine
