#pragma once

#include <xcb/xcb.h>

#include <QList>
#include <QMargins>
#include <QRect>
#include <QSize>
#include <QString>
#include <optional>

#include "platform/x11/X11Atoms.h"

namespace pellucine {

// What a window says it is, from _NET_WM_WINDOW_TYPE (transient windows without a type are
// dialogs, others normal; see also markTransientDialogs).
enum class X11WindowType {
    normal,
    dialog,
    utility,
    toolbar,
    splash,
    menu,
    dropdownMenu,
    popupMenu,
    combo,
    tooltip,
    notification,
    dnd,
    dock,
    desktop
};

// The first type of the list the backend knows, in the list's order of preference; none when
// it knows none of them.
std::optional<X11WindowType> windowTypeFromAtoms(const QList<quint32>& types,
                                                 const X11Atoms& atoms);

// The window-list layer of a type: 0 for application windows (normal and dialog), above 0 for
// floating panels, docks, menus and the like, below 0 for the desktop.
int layerOf(X11WindowType type);

// The decorations the window manager draws around a client (_NET_FRAME_EXTENTS), in pixels.
struct X11FrameExtents {
    // Wider decorations than this are taken as none: any client can set the property.
    static constexpr quint32 maximum = 1024;

    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;

    // Left, right, top and bottom; none when fewer than four are given or one is beyond
    // `maximum`.
    static std::optional<X11FrameExtents> fromValues(const QList<quint32>& values);

    friend bool operator==(const X11FrameExtents&, const X11FrameExtents&) = default;
};

// The margins a client draws around what the user sees of it, for a shadow of its own
// (_GTK_FRAME_EXTENTS: left, right, top, bottom, in pixels). They lie inside the client window,
// and neither the window's frame nor its picture holds them. None unless exactly four values are
// given, none negative (above 2^31 as sent), that leave at least one pixel of a client of
// `clientSize` across and down.
std::optional<QMargins> clientShadowFromValues(const QList<quint32>& values, QSize clientSize);

// What a client asks of its size (WM_NORMAL_HINTS) that the backend uses.
struct X11SizeHints {
    // Larger steps than this, like a size of 0, are taken as none.
    static constexpr quint32 maximumIncrement = 32767;

    // The gravity the client asks for, NorthWest when it names none or one that is not a
    // gravity.
    uint32_t gravity = XCB_GRAVITY_NORTH_WEST;
    // The steps its size grows in, 1 by 1 when it names none or steps out of range.
    QSize increment{1, 1};

    // The property's 32-bit items: flags, x, y, width, height, min (2), max (2), increments (2),
    // aspects (4), base (2), gravity. A short list gives what it holds.
    static X11SizeHints fromValues(const QList<quint32>& values);

    friend bool operator==(const X11SizeHints&, const X11SizeHints&) = default;
};

// The rectangle of the client's taskbar button (_NET_WM_ICON_GEOMETRY: x, y, width, height on
// the root), in root pixels; none when fewer than four values are given, the rectangle is empty
// or a value lies beyond the protocol's coordinates.
std::optional<QRect> iconGeometryFromValues(const QList<quint32>& values);

// One top-level client window as read from the server. Rectangles are in root-window pixels.
struct X11WindowInfo {
    xcb_window_t window = XCB_NONE;
    std::optional<qint32> pid;
    X11WindowType type = X11WindowType::normal;
    xcb_window_t transientFor = XCB_NONE;
    // WM_CLIENT_LEADER: the window that stands for the client's whole session.
    xcb_window_t clientLeader = XCB_NONE;
    // The client's own area and the decorations around it.
    QRect clientRect;
    X11FrameExtents extents;
    // The client's own shadow margins inside `clientRect`.
    QMargins shadow;
    bool isViewable = false;
    // WM_STATE is IconicState.
    bool isIconic = false;
    // _NET_WM_STATE holds these.
    bool isHidden = false;
    bool isFullScreen = false;
    bool skipsTaskbar = false;
    bool isMaximized = false;
    // _NET_WM_DESKTOP; 0xFFFFFFFF is every desktop.
    std::optional<quint32> desktop;
    bool isOnCurrentDesktop = true;
    // _NET_WM_NAME, else WM_NAME.
    QString title;
    // WM_CLASS.
    QString resourceName;
    QString resourceClass;
    QString gtkApplicationId;
    // A desktop file named by the window (_KDE_NET_WM_DESKTOP_FILE or _BAMF_DESKTOP_FILE).
    QString desktopFileHint;
    // WM_NORMAL_HINTS: the gravity the client asks for (NorthWest when it names none) and the
    // steps its size grows in (1 by 1 when it names none).
    uint32_t gravity = XCB_GRAVITY_NORTH_WEST;
    QSize sizeIncrement{1, 1};
    // WM_PROTOCOLS lists WM_DELETE_WINDOW.
    bool acceptsDelete = false;
    // _NET_WM_ICON_GEOMETRY: where a taskbar shows the window's button.
    std::optional<QRect> iconGeometry;
    // _NET_WM_STRUT_PARTIAL or _NET_WM_STRUT is set: the client reserves an edge, as panels do.
    bool hasStrut = false;

    // The client with its decorations and without its shadow: the window's frame as the user
    // sees it.
    QRect frameRect() const {
        return clientRect.marginsRemoved(shadow).adjusted(-extents.left, -extents.top,
                                                          extents.right, extents.bottom);
    }
    // The window manager's frame holding a client whose frame the user sees as `frame`: its
    // shadow margins put back.
    QRect outerFrame(const QRect& frame) const { return frame.marginsAdded(shadow); }
    bool isMinimized() const { return isIconic || isHidden; }
    bool isOnScreen() const { return isViewable && !isHidden && isOnCurrentDesktop; }
    int layer() const { return layerOf(type); }
};

// Gives every window whose process is unknown (a remote client that names none) an owner that
// stands in for it: one per client leader, else per window it is transient for, else per window.
// Stand-ins lie above every process id the kernel hands out and above the shell's own, so they
// never meet a real process.
void assignProcessStandIns(QList<X11WindowInfo>& windows);

// Takes each window typed normal that is transient (WM_TRANSIENT_FOR) for a window of its own
// application for a dialog, as ICCCM and EWMH mean transient windows: transient for the root (its
// whole group), for a client of the same process, or for the client leader it names. A window
// transient for another application's keeps its type.
void markTransientDialogs(QList<X11WindowInfo>& windows, xcb_window_t root);

}  // namespace pellucine
