#pragma once

#include <xcb/xcb.h>

#include <QImage>
#include <QMetaObject>
#include <QPoint>
#include <QRect>
#include <functional>

namespace pellucine {

class X11Connection;

// The switcher strip's window: override-redirect, so the window manager neither frames, places
// nor focuses it, stacked above every other window (full-screen ones included) when shown. It
// shows a picture and reports clicks. Main thread only.
class X11StripWindow {
  public:
    explicit X11StripWindow(X11Connection& connection);
    ~X11StripWindow();
    X11StripWindow(const X11StripWindow&) = delete;
    X11StripWindow& operator=(const X11StripWindow&) = delete;

    xcb_window_t id() const { return window_; }
    bool isShown() const { return shown_; }

    // Places the window at `frame` (root pixels) above every other one, maps it and draws the
    // picture, which must be of the frame's size.
    void show(const QRect& frame, QImage picture);
    // Draws a new picture of the same size.
    void update(QImage picture);
    void hide();

    // A press of a pointer button on the window, at a point relative to it.
    void setOnClick(std::function<void(QPoint)> onClick) { onClick_ = std::move(onClick); }

  private:
    void handle(const xcb_generic_event_t& event);
    void paint();

    X11Connection& connection_;
    xcb_window_t window_ = XCB_NONE;
    xcb_gcontext_t gc_ = XCB_NONE;
    QImage picture_;
    bool shown_ = false;
    std::function<void(QPoint)> onClick_;
    QMetaObject::Connection events_;
};

}  // namespace pellucine
