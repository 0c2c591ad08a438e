#include "platform/x11/shell/X11StripWindow.h"

#include <unistd.h>

#include <algorithm>
#include <array>

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

X11StripWindow::X11StripWindow(X11Connection& connection, Role role)
    : connection_(connection), role_(role) {
    if (connection.hasError()) {
        return;
    }
    xcb_connection_t* c = connection.get();
    const xcb_screen_t& screen = connection.screen();
    window_ = xcb_generate_id(c);
    // A dock window is a client the window events follow on this connection too. The pointer's
    // moves over it and across its edges tell the pointer source where the pointer is.
    const uint32_t pointer =
        XCB_EVENT_MASK_POINTER_MOTION | XCB_EVENT_MASK_ENTER_WINDOW | XCB_EVENT_MASK_LEAVE_WINDOW;
    const uint32_t events =
        XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_BUTTON_PRESS | (role == Role::dock ? pointer : 0u);
    connection.keepEvents(window_, events);
    const uint32_t values[] = {screen.black_pixel, role == Role::strip ? 1u : 0u, events};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window_, screen.root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT,
                      XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK, values);
    const QByteArray name = role == Role::strip ? "Pellucine Switcher" : "Pellucine Dock";
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window_, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                        static_cast<uint32_t>(name.size()), name.constData());
    const QByteArray windowClass =
        (role == Role::strip ? QByteArray("pellucine-switcher") : QByteArray("pellucine-dock")) +
        '\0' + "Pellucine" + '\0';
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window_, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                        static_cast<uint32_t>(windowClass.size()), windowClass.constData());
    if (role == Role::dock) {
        describeDock();
    }
    gc_ = xcb_generate_id(c);
    xcb_create_gc(c, gc_, window_, 0, nullptr);
    connection.flush();
    events_ = QObject::connect(&connection, &X11Connection::eventReceived,
                               [this](const xcb_generic_event_t& event) { handle(event); });
}

void X11StripWindow::describeDock() {
    xcb_connection_t* c = connection_.get();
    const X11Atoms& atoms = connection_.atoms();
    const auto set32 = [&](xcb_atom_t property, xcb_atom_t type, const auto& values) {
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window_, property, type, 32,
                            static_cast<uint32_t>(std::size(values)), std::data(values));
    };
    const std::array<uint32_t, 1> type{atoms._NET_WM_WINDOW_TYPE_DOCK};
    set32(atoms._NET_WM_WINDOW_TYPE, XCB_ATOM_ATOM, type);
    const std::array<uint32_t, 4> state{atoms._NET_WM_STATE_STICKY, atoms._NET_WM_STATE_ABOVE,
                                        atoms._NET_WM_STATE_SKIP_TASKBAR,
                                        atoms._NET_WM_STATE_SKIP_PAGER};
    set32(atoms._NET_WM_STATE, XCB_ATOM_ATOM, state);
    const std::array<uint32_t, 1> everyDesktop{0xFFFFFFFFu};
    set32(atoms._NET_WM_DESKTOP, XCB_ATOM_CARDINAL, everyDesktop);
    const std::array<uint32_t, 1> pid{static_cast<uint32_t>(::getpid())};
    set32(atoms._NET_WM_PID, XCB_ATOM_CARDINAL, pid);
    // WM_HINTS with the input hint off: the bar never takes the focus.
    const std::array<uint32_t, 9> hints{1, 0, 0, 0, 0, 0, 0, 0, 0};
    set32(XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, hints);
}

X11StripWindow::~X11StripWindow() {
    QObject::disconnect(events_);
    connection_.keepEvents(window_, XCB_EVENT_MASK_NO_EVENT);
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
    const auto width = static_cast<uint32_t>(std::max(1, frame.width()));
    const auto height = static_cast<uint32_t>(std::max(1, frame.height()));
    if (role_ == Role::dock) {
        // WM_NORMAL_HINTS: placed and sized by the program, at a fixed size.
        constexpr uint32_t position = 1 | 4;
        constexpr uint32_t size = 2 | 8;
        constexpr uint32_t minimum = 16;
        constexpr uint32_t maximum = 32;
        const std::array<uint32_t, 18> hints{position | size | minimum | maximum,
                                             static_cast<uint32_t>(frame.x()),
                                             static_cast<uint32_t>(frame.y()),
                                             width,
                                             height,
                                             width,
                                             height,
                                             width,
                                             height};
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window_, XCB_ATOM_WM_NORMAL_HINTS,
                            XCB_ATOM_WM_SIZE_HINTS, 32, static_cast<uint32_t>(hints.size()),
                            hints.data());
    }
    const uint32_t geometry[] = {static_cast<uint32_t>(frame.x()), static_cast<uint32_t>(frame.y()),
                                 width, height, XCB_STACK_MODE_ABOVE};
    xcb_configure_window(c, window_,
                         XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH |
                             XCB_CONFIG_WINDOW_HEIGHT | XCB_CONFIG_WINDOW_STACK_MODE,
                         geometry);
    xcb_map_window(c, window_);
    shown_ = true;
    paint();
    connection_.flush();
}

void X11StripWindow::setStrut(const QList<quint32>& partial) {
    if (window_ == XCB_NONE || connection_.hasError()) {
        return;
    }
    xcb_connection_t* c = connection_.get();
    const X11Atoms& atoms = connection_.atoms();
    if (partial.size() != 12) {
        xcb_delete_property(c, window_, atoms._NET_WM_STRUT_PARTIAL);
        xcb_delete_property(c, window_, atoms._NET_WM_STRUT);
    } else {
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window_, atoms._NET_WM_STRUT_PARTIAL,
                            XCB_ATOM_CARDINAL, 32, 12, partial.constData());
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window_, atoms._NET_WM_STRUT,
                            XCB_ATOM_CARDINAL, 32, 4, partial.constData());
    }
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
    // The next showing brings its own picture.
    picture_ = QImage();
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
    paintSequence_.reset();
    for (int y = 0; y < image.height(); y += rowsPerBand) {
        const int rows = std::min(rowsPerBand, image.height() - y);
        const xcb_void_cookie_t band = xcb_put_image(
            c, XCB_IMAGE_FORMAT_Z_PIXMAP, window_, gc_, static_cast<uint16_t>(image.width()),
            static_cast<uint16_t>(rows), 0, static_cast<int16_t>(y), 0, depth,
            static_cast<uint32_t>(stride * rows), image.constScanLine(y));
        if (!paintSequence_) {
            paintSequence_ = band.sequence;
        }
    }
}

bool X11StripWindow::paintCovers(std::optional<uint32_t> paintSequence, uint32_t exposureSequence) {
    // Sequence numbers wrap; the nearer way round tells which came first.
    return paintSequence && static_cast<int32_t>(exposureSequence - *paintSequence) < 0;
}

void X11StripWindow::handle(const xcb_generic_event_t& event) {
    switch (event.response_type & 0x7f) {
        case XCB_EXPOSE: {
            const auto& expose = reinterpret_cast<const xcb_expose_event_t&>(event);
            // A window mapped with its picture is exposed by the map, before the picture
            // that follows the map in the same requests is drawn.
            if (expose.window == window_ && expose.count == 0 && shown_ &&
                !paintCovers(paintSequence_, event.full_sequence)) {
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
