#include "platform/x11/X11Pixels.h"

#include <QtEndian>
#include <cstring>

#include "platform/x11/X11Reply.h"
#include "platform/x11/X11SharedSegment.h"

namespace pellucine {

namespace {

// Pixels are 0xAARRGGBB in the server's byte order.
void toHostByteOrder(xcb_connection_t* c, QImage& image) {
    const bool serverBigEndian = xcb_get_setup(c)->image_byte_order == XCB_IMAGE_ORDER_MSB_FIRST;
    if (serverBigEndian == (QSysInfo::ByteOrder == QSysInfo::BigEndian)) {
        return;
    }
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<quint32*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            line[x] = qbswap(line[x]);
        }
    }
}

}  // namespace

uint8_t bitsPerPixel(xcb_connection_t* c, uint8_t depth) {
    auto it = xcb_setup_pixmap_formats_iterator(xcb_get_setup(c));
    for (; it.rem > 0; xcb_format_next(&it)) {
        if (it.data->depth == depth) {
            return it.data->bits_per_pixel;
        }
    }
    return 0;
}

QImage readPixels(xcb_connection_t* c, X11SharedSegment* segment, xcb_drawable_t drawable,
                  QSize size, QImage::Format format, uint8_t depth, bool borrow) {
    const qint64 bytes = qint64(size.width()) * size.height() * 4;
    const auto width = static_cast<uint16_t>(size.width());
    const auto height = static_cast<uint16_t>(size.height());
    const qsizetype rowBytes = qsizetype(width) * 4;
    QImage image;
    if (segment != nullptr && segment->reserve(bytes)) {
        const auto reply =
            takeReply(c, xcb_shm_get_image_reply,
                      xcb_shm_get_image(c, drawable, 0, 0, width, height, ~0u,
                                        XCB_IMAGE_FORMAT_Z_PIXMAP, segment->id(), 0));
        if (!reply || reply->depth != depth) {
            return {};
        }
        if (borrow) {
            image = QImage(segment->data(), width, height, rowBytes, format);
        } else {
            image = QImage(size, format);
            if (image.isNull()) {
                return {};
            }
            for (int y = 0; y < height; ++y) {
                std::memcpy(image.scanLine(y), segment->data() + y * rowBytes,
                            std::size_t(rowBytes));
            }
        }
    } else {
        X11Reply<xcb_get_image_reply_t> reply = takeReply(
            c, xcb_get_image_reply,
            xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, drawable, 0, 0, width, height, ~0u));
        if (!reply || reply->depth != depth || qint64(reply->length) * 4 < bytes) {
            return {};
        }
        image = QImage(
            xcb_get_image_data(reply.get()), width, height, rowBytes, format,
            [](void* r) { std::free(r); }, reply.get());
        if (image.isNull()) {
            return {};
        }
        reply.release();
    }
    toHostByteOrder(c, image);
    return image;
}

}  // namespace pellucine
