#pragma once

#include <xcb/xcb.h>

#include <QMetaObject>
#include <QPoint>
#include <QRect>
#include <QTimer>
#include <array>
#include <optional>

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11WindowInfo.h"

namespace pellucine {

// Where a ConfigureRequest must put a client of `extents` so that a window manager honouring
// `gravity` draws its frame at `frame` (root pixels). Static gravity names the client's own
// position; the others a point of the frame.
QPoint configurePosition(const QRect& frame, const X11FrameExtents& extents, uint32_t gravity);

// The client size that gives a frame of `frame`'s size around a client of `extents`, at least
// 1 by 1.
QSize clientSizeFor(const QRect& frame, const X11FrameExtents& extents);

// The desktop to switch to before a window on `windowDesktop` can be activated while
// `currentDesktop` is shown: none when it is on the current one or on every desktop
// (0xFFFFFFFF), or when either is unknown.
std::optional<quint32> desktopToShow(std::optional<quint32> windowDesktop,
                                     std::optional<quint32> currentDesktop);

// Requests to the window manager about other clients' windows, as EWMH and ICCCM define them.
// Each is sent at once; the window manager carries it out later, or not at all.
class X11WindowRequests {
  public:
    explicit X11WindowRequests(X11Connection& connection);
    ~X11WindowRequests();
    X11WindowRequests(const X11WindowRequests&) = delete;
    X11WindowRequests& operator=(const X11WindowRequests&) = delete;

    void raise(xcb_window_t window);
    // The window last raised on request while the window manager has not yet been seen to
    // restack: the stacking the server reports does not show it in front yet. None after the
    // next change of the stacking.
    xcb_window_t raisedAhead() const { return raisedAhead_; }
    void iconify(xcb_window_t window);
    // Maps the client, which a window manager takes as the end of its iconic state.
    void deiconify(xcb_window_t window);
    void setFullScreen(xcb_window_t window, bool on);
    // Asks the client to close the window through WM_DELETE_WINDOW. A window that does not
    // take it is left alone (false): its client is never killed.
    bool close(const X11WindowInfo& window);
    // Moves and resizes the window so that its frame, decorations included, covers `frame`
    // (root pixels). A maximized window is first taken out of that state.
    void moveResize(const X11WindowInfo& window, const QRect& frame);
    // Moves the frame's top-left corner to `topLeft`, keeping the size.
    void move(const X11WindowInfo& window, QPoint topLeft);
    // Gives the frame `size`, keeping its top-left corner.
    void resize(const X11WindowInfo& window, QSize size);
    // Focuses the window and raises it, as a pager would. A window on another desktop is
    // activated once the window manager has switched to that desktop, or has not within a
    // second.
    void activate(xcb_window_t window);
    // The window last asked to be activated, none before the first request, and how many
    // activations were asked for so far: a caller that noted the count can tell whether one
    // came since.
    struct Activation {
        quint64 count = 0;
        xcb_window_t window = XCB_NONE;
    };
    Activation lastActivation() const { return lastActivation_; }
    // The window whose activation waits for the manager to switch desktops; none otherwise.
    xcb_window_t activationPending() const { return pendingActivation_; }
    // Marks a window of this program as used by the user now (_NET_WM_USER_TIME, on the window
    // its _NET_WM_USER_TIME_WINDOW names when there is one), so that a manager preventing focus
    // stealing lets it take the focus it asks for. The server's time it stamped.
    xcb_timestamp_t markUserTime(xcb_window_t window);

  private:
    void configure(const X11WindowInfo& window, std::optional<QPoint> topLeft,
                   std::optional<QSize> size);
    void sendToRoot(xcb_window_t window, xcb_atom_t type, const std::array<uint32_t, 5>& data);
    void sendActivation(xcb_window_t window);
    std::optional<quint32> cardinal(xcb_window_t window, xcb_atom_t property) const;
    void desktopChanged();

    X11Connection& connection_;
    xcb_window_t raisedAhead_ = XCB_NONE;
    xcb_window_t pendingActivation_ = XCB_NONE;
    Activation lastActivation_;
    quint32 pendingDesktop_ = 0;
    // Sends a pending activation when the manager does not answer its desktop switch.
    QTimer switchDeadline_;
    QMetaObject::Connection events_;
};

}  // namespace pellucine
