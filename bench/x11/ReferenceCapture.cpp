#include "x11/ReferenceCapture.h"

#include <xcb/composite.h>

#include <cstdlib>

namespace pellucine {

ReferenceCapture::ReferenceCapture(const QByteArray& displayName) {
    xcb_connection_t* c = xcb_connect(displayName.constData(), nullptr);
    if (xcb_connection_has_error(c) != 0) {
        xcb_disconnect(c);
        return;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    std::free(xcb_composite_query_version_reply(c, xcb_composite_query_version(c, 0, 4), nullptr));
    xcb_composite_redirect_subwindows(c, root, XCB_COMPOSITE_REDIRECT_AUTOMATIC);
    connection_ = c;
}

ReferenceCapture::~ReferenceCapture() {
    if (connection_ != nullptr) {
        xcb_disconnect(connection_);
    }
}

QImage ReferenceCapture::capture(xcb_window_t frame, QSize frameSize, QSize pixelSize) {
    xcb_connection_t* c = connection_;
    const xcb_pixmap_t pixmap = xcb_generate_id(c);
    xcb_composite_name_window_pixmap(c, frame, pixmap);
    xcb_get_image_reply_t* reply =
        xcb_get_image_reply(c,
                            xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap, 0, 0,
                                          static_cast<uint16_t>(frameSize.width()),
                                          static_cast<uint16_t>(frameSize.height()), ~0u),
                            nullptr);
    xcb_free_pixmap(c, pixmap);
    if (reply == nullptr) {
        return {};
    }
    const QImage pixels(xcb_get_image_data(reply), frameSize.width(), frameSize.height(),
                        frameSize.width() * 4, QImage::Format_RGB32);
    QImage scaled = pixels.scaled(pixelSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    std::free(reply);
    return scaled;
}

}  // namespace pellucine
