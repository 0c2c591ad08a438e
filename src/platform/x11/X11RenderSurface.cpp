#include "platform/x11/X11RenderSurface.h"

namespace pellucine {

X11RenderSurface::~X11RenderSurface() {
    release();
}

void X11RenderSurface::reserve(QSize size, QList<xcb_void_cookie_t>& checks) {
    if (pixmap_ != XCB_NONE && size_.width() >= size.width() && size_.height() >= size.height()) {
        return;
    }
    // Grown to hold the old size too, unless that would more than double what is asked.
    const QSize grown = size.expandedTo(size_);
    if (qint64(grown.width()) * grown.height() <= 2 * qint64(size.width()) * size.height()) {
        size = grown;
    }
    release();
    pixmap_ = xcb_generate_id(connection_);
    picture_ = xcb_generate_id(connection_);
    size_ = size;
    checks.append(xcb_create_pixmap_checked(connection_, 32, pixmap_, root_,
                                            static_cast<uint16_t>(size.width()),
                                            static_cast<uint16_t>(size.height())));
    const uint32_t repeat = XCB_RENDER_REPEAT_PAD;
    checks.append(xcb_render_create_picture_checked(connection_, picture_, pixmap_, format_,
                                                    XCB_RENDER_CP_REPEAT, &repeat));
}

void X11RenderSurface::shrinkTo(qint64 bytes) {
    if (qint64(size_.width()) * size_.height() * 4 > bytes) {
        release();
    }
}

void X11RenderSurface::release() {
    if (pixmap_ == XCB_NONE) {
        return;
    }
    xcb_render_free_picture(connection_, picture_);
    xcb_free_pixmap(connection_, pixmap_);
    pixmap_ = XCB_NONE;
    picture_ = XCB_NONE;
    size_ = QSize(0, 0);
}

}  // namespace pellucine
