#include "platform/x11/X11StripWindow.h"

#include <algorithm>

#include "platform/x11/X11Connection.h"

namespace pellucine {

namespace {

// Whether the server takes 32-bit pixels in the byte order of a QImage of this machine for the
// root window's depth.
bool takesQImagePixels(xcb_connection_t* c, uint8_t depth) {
    const xcb_setup_t* setup = xcb_get_setup(c);
    if (depth != 24 && depth != 32) {
        return false;
    }
    const bool littleEndian = QSysInfo::ByteOrder == QSysInfo::LittleEndian;
    if ((setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST) != littleEndian) {
        return false;
    }
    for (auto it = xcb_setup_pixmap_formats_iterator(setup); it.rem > 0; xcb_format_next(&it)) {
        if (it.data->depth == depth) {
            return it.data->bits_per_pixel == 32;
        }
    }
    return false;
}

}  // namespace

X11StripWindow::X11StripWindow(X11Connection& connection) : connection_(connection) {
    if (connection.hasError()) {
        return;
    }
    xcb_connection_t* c = connection.get();
    const xcb_screen_t& screen = connection.screen();
    window_ = xcb_generate_id(c);
    const uint32_t values[] = {screen.black_pixel, 1,
                               XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_BUTTON_PRESS};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window_, screen.root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT,
                      XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK, values);
    const char name[] = "Pellucine Switcher";
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window_, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                        sizeof(name) - 1, name);
    const char windowClass[] = "pellucine-switcher\0Pellucine";
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window_, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                        sizeof(windowClass), windowClass);
    gc_ = xcb_generate_id(c);
    xcb_create_gc(c, gc_, window_, 0, nullptr);
    connection.flush();
    events_ = QObject::connect(&connection, &X11Connection::eventReceived,
                               [this](const xcb_generic_event_t& event) { handle(event); });
}

X11StripWindow::~X11StripWindow() {
    QObject::disconnect(events_);
    if (window_ != XCB_NONE && !connection_.hasError()) {
        xcb_free_gc(connection_.get(), gc_);
        xcb_destroy_window(connection_.get(), window_);
        connection_.flush();
    }
}

void X11StripWindow::show(const QRect& frame, QImage picture) {
    if (window_ == XCB_NONE || connection_.hasError()) {
        return;
    }
    picture_ = std::move(picture);
    xcb_connection_t* c = connection_.get();
    const uint32_t geometry[] = {static_cast<uint32_t>(frame.x()), static_cast<uint32_t>(frame.y()),
                                 static_cast<uint32_t>(std::max(1, frame.width())),
                                 static_cast<uint32_t>(std::max(1, frame.height())),
                                 XCB_STACK_MODE_ABOVE};
    xcb_configure_window(c, window_,
                         XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH |
                             XCB_CONFIG_WINDOW_HEIGHT | XCB_CONFIG_WINDOW_STACK_MODE,
                         geometry);
    xcb_map_window(c, window_);
    shown_ = true;
    paint();
    connection_.flush();
}

void X11StripWindow::update(QImage picture) {
    picture_ = std::move(picture);
    if (shown_) {
        paint();
        connection_.flush();
    }
}

void X11StripWindow::hide() {
    if (!shown_ || connection_.hasError()) {
        shown_ = false;
        return;
    }
    shown_ = false;
    xcb_unmap_window(connection_.get(), window_);
    connection_.flush();
}

void X11StripWindow::paint() {
    xcb_connection_t* c = connection_.get();
    const uint8_t depth = connection_.screen().root_depth;
    if (picture_.isNull() || !takesQImagePixels(c, depth)) {
        return;
    }
    const QImage image = picture_.convertToFormat(QImage::Format_RGB32);
    // Rows in bands that fit one request.
    const qsizetype stride = image.bytesPerLine();
    const qsizetype maximum = qsizetype(xcb_get_maximum_request_length(c)) * 4 - 64;
    const int rowsPerBand = static_cast<int>(std::max<qsizetype>(1, maximum / stride));
    for (int y = 0; y < image.height(); y += rowsPerBand) {
        const int rows = std::min(rowsPerBand, image.height() - y);
        xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, window_, gc_,
                      static_cast<uint16_t>(image.width()), static_cast<uint16_t>(rows), 0,
                      static_cast<int16_t>(y), 0, depth, static_cast<uint32_t>(stride * rows),
                      image.constScanLine(y));
    }
}

void X11StripWindow::handle(const xcb_generic_event_t& event) {
    switch (event.response_type & 0x7f) {
        case XCB_EXPOSE: {
            const auto& expose = reinterpret_cast<const xcb_expose_event_t&>(event);
            if (expose.window == window_ && expose.count == 0 && shown_) {
                paint();
                connection_.flush();
            }
            break;
        }
        case XCB_BUTTON_PRESS: {
            const auto& press = reinterpret_cast<const xcb_button_press_event_t&>(event);
            if (press.event == window_ && shown_ && onClick_) {
                const auto onClick = onClick_;
                onClick(QPoint(press.event_x, press.event_y));
            }
            break;
        }
        default:
            break;
    }
}

}  // namespace pellucine
