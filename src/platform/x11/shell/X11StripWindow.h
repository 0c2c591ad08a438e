#pragma once

#include <xcb/xcb.h>

#include <QImage>
#include <QList>
#include <QMetaObject>
#include <QPoint>
#include <QRect>
#include <functional>
#include <optional>

namespace pellucine {

class X11Connection;

// A window of the shell that shows a picture and reports clicks. The switcher's strip is
// override-redirect, so the window manager neither frames, places nor focuses it, and is
// stacked above every other window (full-screen ones included) when shown. The Dock's bar is a
// dock window: the window manager keeps it on every desktop, above normal windows and out of
// the focus, where it asks to be, and keeps other windows clear of its strut. Main thread only.
class X11StripWindow {
  public:
    enum class Role { strip, dock };

    explicit X11StripWindow(X11Connection& connection, Role role = Role::strip);
    ~X11StripWindow();
    X11StripWindow(const X11StripWindow&) = delete;
    X11StripWindow& operator=(const X11StripWindow&) = delete;

    xcb_window_t id() const { return window_; }
    bool isShown() const { return shown_; }

    // Places the window at `frame` (root pixels), maps it and draws the picture, which must be
    // of the frame's size. Shown again, it moves to the new frame.
    void show(const QRect& frame, QImage picture);
    // Draws a new picture of the same size.
    void update(QImage picture);
    void hide();

    // The space a dock keeps free at the root window's edges (_NET_WM_STRUT_PARTIAL's 12
    // values); none removes it.
    void setStrut(const QList<quint32>& partial);

    // Whether a paint whose first request had `paintSequence` draws over an exposure reported
    // with `exposureSequence` (the last request the server had carried out when it reported
    // it): only when the server reported it before carrying out any of the paint.
    static bool paintCovers(std::optional<uint32_t> paintSequence, uint32_t exposureSequence);

    // A press of a pointer button on the window, at a point relative to it.
    void setOnClick(std::function<void(QPoint)> onClick) { onClick_ = std::move(onClick); }

  private:
    void describeDock();
    void handle(const xcb_generic_event_t& event);
    void paint();

    X11Connection& connection_;
    Role role_;
    xcb_window_t window_ = XCB_NONE;
    xcb_gcontext_t gc_ = XCB_NONE;
    QImage picture_;
    // The first request of the last paint, as counted by the connection.
    std::optional<uint32_t> paintSequence_;
    bool shown_ = false;
    std::function<void(QPoint)> onClick_;
    QMetaObject::Connection events_;
};

}  // namespace pellucine
