#pragma once

#include <xcb/xcb.h>

#include <QList>
#include <QSet>
#include <optional>

#include "platform/linux/ProcessInfo.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Properties.h"
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
// Anything a client can set is checked: the client lists (on the root, which any client may
// write), process ids, frame extents, size hints and texts.
class X11WindowReader {
  public:
    // At most this many clients are read, the front-most.
    static constexpr qsizetype maximumClients = 1024;

    // Process ids at or above `pidLimit` are not believed.
    explicit X11WindowReader(X11Connection& connection, qint32 pidLimit = ProcessInfo().pidLimit())
        : connection_(connection), pidLimit_(pidLimit) {}

    // The windows of a client list that can be clients, each once and in the given order: no
    // None, no root, at most `maximumClients`.
    static QList<xcb_window_t> clientList(const QList<quint32>& windows, xcb_window_t root);

    // The clients front to back: the stacking list's windows that the client list holds too, so
    // that a stacking list written by anyone else costs no read of windows that never were.
    // Either list alone when the other is empty; as `clientList` keeps them.
    static QList<xcb_window_t> stackedClients(const QList<quint32>& stackingBottomToTop,
                                              const QList<quint32>& clients, xcb_window_t root);

    // Every property `read` asks for, of the root and of the clients.
    static QList<xcb_atom_t> readProperties(const X11Atoms& atoms);

    X11DesktopSnapshot read() const;
    // A snapshot read as `read` does that takes every client of `previous` as it was there,
    // except the `changed` ones: they, and clients new to the lists, are read again.
    struct Reread {
        X11DesktopSnapshot snapshot;
        // The clients asked of the server.
        QList<xcb_window_t> read;
    };
    Reread reread(const std::optional<X11DesktopSnapshot>& previous,
                  const QSet<xcb_window_t>& changed) const;
    // The clients of `order` to ask the server about: the changed ones and those not `kept`.
    static QList<xcb_window_t> windowsToRead(const QList<xcb_window_t>& order,
                                             const QList<X11WindowInfo>& kept,
                                             const QSet<xcb_window_t>& changed);
    // The clients of `order`, in that order: those `read` as found among `fresh` (none when
    // gone), the others as `kept`, each placed on or off `currentDesktop` again.
    static QList<X11WindowInfo> mergeWindows(const QList<xcb_window_t>& order,
                                             const QList<xcb_window_t>& read,
                                             const QList<X11WindowInfo>& fresh,
                                             const QList<X11WindowInfo>& kept,
                                             std::optional<quint32> currentDesktop);
    // The given windows as `clientList` keeps them, in that order; a window that is gone, or
    // one that cannot be a client (InputOnly), is left out.
    QList<X11WindowInfo> readWindows(const QList<xcb_window_t>& windows,
                                     std::optional<quint32> currentDesktop) const;
    std::optional<X11WindowInfo> readWindow(xcb_window_t window) const;

    // The clients front to back, without their details.
    QList<xcb_window_t> clientsFrontToBack() const;
    // The clients of _NET_CLIENT_LIST and _NET_CLIENT_LIST_STACKING as `clientList` keeps them
    // (the front-most of each), both read in one round trip and nothing read per window.
    QSet<quint32> clientNumbers() const;
    xcb_window_t activeWindow() const;
    std::optional<quint32> currentDesktop() const;

  private:
    // What one read of a client list takes: room for `maximumClients` among copies and windows
    // that cannot be clients. A longer list costs one more read of this size, of its end.
    static constexpr uint32_t listLongs = 2 * maximumClients;

    // The items of a client list read as `head`; a longer list is read again from its end,
    // where a stacking list's front-most clients are.
    QList<quint32> listValues(xcb_atom_t list, const std::optional<X11Property>& head) const;

    // Puts in the process the server knows for each local client.
    void resolvePids(QList<X11WindowInfo>& windows) const;

    X11Connection& connection_;
    qint32 pidLimit_;
};

}  // namespace pellucine
