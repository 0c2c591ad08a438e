#pragma once

#include <xcb/xcb.h>

#include <QRect>
#include <QSize>
#include <optional>

#include "platform/x11/X11CaptureResult.h"

namespace pellucine {

// The top-level window (a child of the root) holding a client window: the window manager's
// frame when it reparents, else the window itself. Composite keeps its pixmap.
struct X11WindowFrame {
    xcb_window_t window = XCB_NONE;
    xcb_visualid_t visual = XCB_NONE;
    uint8_t depth = 0;
    QSize content;
    int border = 0;
    // Where the client window lies in the content (all of it when the frame is the client).
    QRect client;

    // The pixmap's size: the content inside the border.
    QSize whole() const { return content + QSize(2 * border, 2 * border); }
};

struct X11FrameLookup {
    // captured when found; else windowGone or notViewable.
    X11CaptureResult::Status status = X11CaptureResult::Status::failed;
    X11WindowFrame frame;
    // The frame is the window or its parent, which X11FrameCheck can confirm later.
    bool direct = false;
};

// Walks up from `window`, one round trip per level: two for a reparented client.
X11FrameLookup lookUpFrame(xcb_connection_t* c, xcb_window_t window);

// The questions that tell whether a frame found earlier still holds the window as it did, asked
// without waiting so that they travel with other requests.
class X11FrameCheck {
  public:
    X11FrameCheck(xcb_connection_t* c, xcb_window_t window, const X11WindowFrame& frame);

    // captured when the frame is as it was; windowGone or notViewable for the window; failed
    // when the frame changed and has to be looked up again. Call exactly once.
    X11CaptureResult::Status answer();

  private:
    xcb_connection_t* connection_;
    xcb_window_t window_;
    X11WindowFrame frame_;
    xcb_query_tree_cookie_t windowTree_;
    xcb_get_window_attributes_cookie_t windowAttributes_;
    std::optional<xcb_query_tree_cookie_t> frameTree_;
    xcb_get_geometry_cookie_t frameGeometry_;
};

// Why Composite had no pixmap of the window's frame: the window went away, or it was unmapped.
X11CaptureResult::Status whyNoPixmap(xcb_connection_t* c, xcb_window_t window);

}  // namespace pellucine
