#include "platform/x11/X11WindowCapture.h"

#include <xcb/composite.h>

#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <cstring>

#include "platform/x11/X11Reply.h"

namespace pellucine {

namespace {

// The top-level window (a child of the root) that holds `window`: the window manager's frame
// when it reparents, else the window itself. None when the window is gone.
std::optional<xcb_window_t> topLevelOf(xcb_connection_t* c, xcb_window_t window) {
    for (int depth = 0; depth < 16; ++depth) {
        const auto tree = takeReply(c, xcb_query_tree_reply, xcb_query_tree(c, window));
        if (!tree) {
            return std::nullopt;
        }
        if (tree->parent == tree->root || tree->parent == XCB_NONE) {
            return window;
        }
        window = tree->parent;
    }
    return std::nullopt;
}

uint8_t bitsPerPixel(xcb_connection_t* c, uint8_t depth) {
    auto it = xcb_setup_pixmap_formats_iterator(xcb_get_setup(c));
    for (; it.rem > 0; xcb_format_next(&it)) {
        if (it.data->depth == depth) {
            return it.data->bits_per_pixel;
        }
    }
    return 0;
}

// The drawable's pixels; none unless they are 32 bits each (depth 24 or 32).
std::optional<QImage> readPixels(xcb_connection_t* c, xcb_drawable_t drawable, QSize size) {
    const auto image = takeReply(c, xcb_get_image_reply,
                                 xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, drawable, 0, 0,
                                               static_cast<uint16_t>(size.width()),
                                               static_cast<uint16_t>(size.height()), ~0u));
    if (!image || bitsPerPixel(c, image->depth) != 32 || image->depth < 24) {
        return std::nullopt;
    }
    const uint8_t* data = xcb_get_image_data(image.get());
    const int length = xcb_get_image_data_length(image.get());
    const int stride = size.width() * 4;
    if (length < stride * size.height()) {
        return std::nullopt;
    }
    const bool hasAlpha = image->depth == 32;
    const bool swap = xcb_get_setup(c)->image_byte_order == XCB_IMAGE_ORDER_MSB_FIRST;
    QImage result(size, hasAlpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        const uint8_t* in = data + static_cast<std::ptrdiff_t>(y) * stride;
        auto* out = reinterpret_cast<quint32*>(result.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const uint8_t* p = in + x * 4;
            // Pixels are 0xAARRGGBB in the server's byte order.
            const quint32 argb = swap ? (quint32(p[0]) << 24 | quint32(p[1]) << 16 |
                                         quint32(p[2]) << 8 | quint32(p[3]))
                                      : (quint32(p[3]) << 24 | quint32(p[2]) << 16 |
                                         quint32(p[1]) << 8 | quint32(p[0]));
            out[x] = hasAlpha ? argb : (argb | 0xFF000000u);
        }
    }
    return result;
}

}  // namespace

QImage fitInto(const QImage& source, QSize pixelSize) {
    pixelSize = pixelSize.expandedTo(QSize(1, 1));
    QImage scaled = source.scaled(pixelSize, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (scaled.size() == pixelSize) {
        return scaled;
    }
    QImage result(pixelSize, QImage::Format_ARGB32_Premultiplied);
    result.fill(Qt::transparent);
    const int left = (pixelSize.width() - scaled.width()) / 2;
    const int top = (pixelSize.height() - scaled.height()) / 2;
    const int rowBytes = std::min(scaled.width(), pixelSize.width() - left) * 4;
    for (int y = 0; y < scaled.height() && top + y < pixelSize.height(); ++y) {
        std::memcpy(result.scanLine(top + y) + left * 4, scaled.constScanLine(y),
                    static_cast<std::size_t>(rowBytes));
    }
    return result;
}

QImage cropInto(const QImage& source, QSize pixelSize) {
    pixelSize = pixelSize.expandedTo(QSize(1, 1));
    const QImage converted = source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage result(pixelSize, QImage::Format_ARGB32_Premultiplied);
    result.fill(Qt::transparent);
    const int rows = std::min(converted.height(), pixelSize.height());
    const int rowBytes = std::min(converted.width(), pixelSize.width()) * 4;
    for (int y = 0; y < rows; ++y) {
        std::memcpy(result.scanLine(y), converted.constScanLine(y),
                    static_cast<std::size_t>(rowBytes));
    }
    return result;
}

X11WindowCapture::X11WindowCapture(QByteArray displayName) : displayName_(std::move(displayName)) {
    pool_.setMaxThreadCount(2);
}

X11WindowCapture::~X11WindowCapture() {
    pool_.waitForDone();
}

QFuture<X11CaptureResult> X11WindowCapture::capture(xcb_window_t window, QSize pixelSize,
                                                    bool scalesToFit) {
    return QtConcurrent::run(&pool_, [this, window, pixelSize, scalesToFit] {
        return captureNow(window, pixelSize, scalesToFit);
    });
}

xcb_connection_t* X11WindowCapture::connection() {
    const std::lock_guard lock(mutex_);
    if (ready_) {
        return connection_.get();
    }
    if (connection_ && xcb_connection_has_error(connection_.get()) == 0) {
        return nullptr;  // Connected but without Composite: nothing more to try.
    }
    int screenNumber = 0;
    connection_.reset(
        xcb_connect(displayName_.isEmpty() ? nullptr : displayName_.constData(), &screenNumber));
    xcb_connection_t* c = connection_.get();
    if (xcb_connection_has_error(c) != 0) {
        return nullptr;
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber && it.rem > 0; ++i) {
        xcb_screen_next(&it);
    }
    if (it.rem == 0) {
        return nullptr;
    }
    root_ = it.data->root;
    const xcb_query_extension_reply_t* composite = xcb_get_extension_data(c, &xcb_composite_id);
    if (composite == nullptr || composite->present == 0) {
        return nullptr;
    }
    const auto version =
        takeReply(c, xcb_composite_query_version_reply, xcb_composite_query_version(c, 0, 4));
    if (!version || (version->major_version == 0 && version->minor_version < 2)) {
        return nullptr;
    }
    X11Reply<xcb_generic_error_t> error(xcb_request_check(
        c, xcb_composite_redirect_subwindows_checked(c, root_, XCB_COMPOSITE_REDIRECT_AUTOMATIC)));
    if (error) {
        return nullptr;
    }
    ready_ = true;
    return c;
}

X11CaptureResult X11WindowCapture::captureNow(xcb_window_t window, QSize pixelSize,
                                              bool scalesToFit) {
    xcb_connection_t* c = connection();
    if (c == nullptr) {
        return {X11CaptureResult::Status::failed, {}};
    }
    const std::optional<xcb_window_t> top = topLevelOf(c, window);
    const auto attributes =
        takeReply(c, xcb_get_window_attributes_reply, xcb_get_window_attributes(c, window));
    if (!top || !attributes) {
        return {X11CaptureResult::Status::windowGone, {}};
    }
    const auto topAttributes =
        takeReply(c, xcb_get_window_attributes_reply, xcb_get_window_attributes(c, *top));
    if (attributes->map_state != XCB_MAP_STATE_VIEWABLE || !topAttributes ||
        topAttributes->map_state != XCB_MAP_STATE_VIEWABLE) {
        return {X11CaptureResult::Status::notViewable, {}};
    }

    const auto geometry = takeReply(c, xcb_get_geometry_reply, xcb_get_geometry(c, *top));
    if (!geometry) {
        return {X11CaptureResult::Status::windowGone, {}};
    }
    const xcb_pixmap_t pixmap = xcb_generate_id(c);
    X11Reply<xcb_generic_error_t> error(
        xcb_request_check(c, xcb_composite_name_window_pixmap_checked(c, *top, pixmap)));
    if (error) {
        // Unmapped between the two requests, or destroyed.
        return {X11CaptureResult::Status::notViewable, {}};
    }
    const int border = geometry->border_width;
    const QSize size(geometry->width + 2 * border, geometry->height + 2 * border);
    std::optional<QImage> pixels = readPixels(c, pixmap, size);
    xcb_free_pixmap(c, pixmap);
    xcb_flush(c);
    if (!pixels) {
        return {X11CaptureResult::Status::failed, {}};
    }
    // The border is the window manager's, not the window's.
    const QImage inner = border > 0
                             ? pixels->copy(border, border, geometry->width, geometry->height)
                             : std::move(*pixels);
    return {X11CaptureResult::Status::captured,
            scalesToFit ? fitInto(inner, pixelSize) : cropInto(inner, pixelSize)};
}

}  // namespace pellucine
