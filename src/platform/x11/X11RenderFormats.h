#pragma once

#include <xcb/render.h>
#include <xcb/xcb.h>

#include <QHash>
#include <optional>

namespace pellucine {

// The picture formats of a server with RENDER 0.10 or later (bilinear filters, pad repeat and
// transforms): the format of each visual and the 32-bit premultiplied ARGB format pictures are
// reduced into.
class X11RenderFormats {
  public:
    // None when the server lacks RENDER 0.10 or a 32-bit ARGB format with the usual layout.
    static std::optional<X11RenderFormats> query(xcb_connection_t* connection);

    xcb_render_pictformat_t argb32() const { return argb32_; }
    // The format of windows of `visual`; none for a visual RENDER does not know.
    std::optional<xcb_render_pictformat_t> forVisual(xcb_visualid_t visual) const;

  private:
    xcb_render_pictformat_t argb32_ = XCB_NONE;
    QHash<xcb_visualid_t, xcb_render_pictformat_t> visuals_;
};

}  // namespace pellucine
