#pragma once

#include <xcb/render.h>
#include <xcb/xcb.h>

#include <QList>
#include <QSize>
#include <QtGlobal>

namespace pellucine {

// A 32-bit ARGB pixmap on the server with a RENDER picture of it that repeats its edge pixels,
// drawn into and read from by captures. Grows on demand and keeps its size, so captures reuse
// it. Used by one thread at a time.
class X11RenderSurface {
  public:
    X11RenderSurface(xcb_connection_t* connection, xcb_window_t root,
                     xcb_render_pictformat_t argb32)
        : connection_(connection), root_(root), format_(argb32) {}
    ~X11RenderSurface();

    X11RenderSurface(const X11RenderSurface&) = delete;
    X11RenderSurface& operator=(const X11RenderSurface&) = delete;

    // Makes the surface at least `size`; the requests that may fail go to `checks`, to be
    // checked once a later reply has arrived.
    void reserve(QSize size, QList<xcb_void_cookie_t>& checks);
    // Gives the pixmap back when it holds more than `bytes`.
    void shrinkTo(qint64 bytes);

    xcb_pixmap_t pixmap() const { return pixmap_; }
    xcb_render_picture_t picture() const { return picture_; }

  private:
    void release();

    xcb_connection_t* connection_;
    xcb_window_t root_;
    xcb_render_pictformat_t format_;
    xcb_pixmap_t pixmap_ = XCB_NONE;
    xcb_render_picture_t picture_ = XCB_NONE;
    QSize size_{0, 0};
};

}  // namespace pellucine
