#include "platform/x11/X11WindowRequests.h"

#include <QList>
#include <algorithm>
#include <utility>

#include "platform/x11/X11Properties.h"

namespace pellucine {

namespace {

// Source indication of EWMH client messages: a pager, which acts for the user.
constexpr uint32_t sourcePager = 2;
constexpr uint32_t stateRemove = 0;
constexpr uint32_t stateAdd = 1;
constexpr uint32_t iconicState = 3;
constexpr quint32 everyDesktop = 0xFFFFFFFF;
constexpr int desktopSwitchDeadline = 1000;

xcb_client_message_event_t clientMessage(xcb_window_t window, xcb_atom_t type,
                                         const std::array<uint32_t, 5>& data) {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = type;
    std::copy(data.begin(), data.end(), event.data.data32);
    return event;
}

}  // namespace

QPoint configurePosition(const QRect& frame, const X11FrameExtents& e, uint32_t gravity) {
    if (gravity == XCB_GRAVITY_STATIC) {
        return {frame.x() + e.left, frame.y() + e.top};
    }
    int x = frame.x();
    int y = frame.y();
    switch (gravity) {
        case XCB_GRAVITY_NORTH:
        case XCB_GRAVITY_CENTER:
        case XCB_GRAVITY_SOUTH:
            x += (e.left + e.right) / 2;
            break;
        case XCB_GRAVITY_NORTH_EAST:
        case XCB_GRAVITY_EAST:
        case XCB_GRAVITY_SOUTH_EAST:
            x += e.left + e.right;
            break;
        default:
            break;
    }
    switch (gravity) {
        case XCB_GRAVITY_WEST:
        case XCB_GRAVITY_CENTER:
        case XCB_GRAVITY_EAST:
            y += (e.top + e.bottom) / 2;
            break;
        case XCB_GRAVITY_SOUTH_WEST:
        case XCB_GRAVITY_SOUTH:
        case XCB_GRAVITY_SOUTH_EAST:
            y += e.top + e.bottom;
            break;
        default:
            break;
    }
    return {x, y};
}

std::optional<quint32> desktopToShow(std::optional<quint32> windowDesktop,
                                     std::optional<quint32> currentDesktop) {
    if (!windowDesktop || !currentDesktop || *windowDesktop == everyDesktop ||
        *windowDesktop == *currentDesktop) {
        return std::nullopt;
    }
    return windowDesktop;
}

QSize clientSizeFor(const QRect& frame, const X11FrameExtents& e) {
    return {std::max(1, frame.width() - e.left - e.right),
            std::max(1, frame.height() - e.top - e.bottom)};
}

void X11WindowRequests::sendToRoot(xcb_window_t window, xcb_atom_t type,
                                   const std::array<uint32_t, 5>& data) {
    const xcb_client_message_event_t event = clientMessage(window, type, data);
    xcb_send_event(connection_.get(), 0, connection_.root(),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
    connection_.flush();
}

X11WindowRequests::X11WindowRequests(X11Connection& connection) : connection_(connection) {
    events_ = QObject::connect(
        &connection, &X11Connection::eventReceived, [this](const xcb_generic_event_t& event) {
            if ((event.response_type & 0x7f) != XCB_PROPERTY_NOTIFY) {
                return;
            }
            const auto& notify = reinterpret_cast<const xcb_property_notify_event_t&>(event);
            if (notify.window != connection_.root()) {
                return;
            }
            if (notify.atom == connection_.atoms()._NET_CLIENT_LIST_STACKING) {
                raisedAhead_ = XCB_NONE;
            } else if (notify.atom == connection_.atoms()._NET_CURRENT_DESKTOP) {
                desktopChanged();
            }
        });
    switchDeadline_.setSingleShot(true);
    switchDeadline_.setInterval(desktopSwitchDeadline);
    QObject::connect(&switchDeadline_, &QTimer::timeout, [this] {
        if (pendingActivation_ != XCB_NONE) {
            sendActivation(std::exchange(pendingActivation_, XCB_NONE));
        }
    });
}

X11WindowRequests::~X11WindowRequests() {
    QObject::disconnect(events_);
}

void X11WindowRequests::raise(xcb_window_t window) {
    raisedAhead_ = window;
    const X11Atoms& atoms = connection_.atoms();
    if (connection_.supports(atoms._NET_RESTACK_WINDOW)) {
        sendToRoot(window, atoms._NET_RESTACK_WINDOW,
                   {sourcePager, XCB_NONE, XCB_STACK_MODE_ABOVE, 0, 0});
        return;
    }
    const uint32_t above = XCB_STACK_MODE_ABOVE;
    xcb_configure_window(connection_.get(), window, XCB_CONFIG_WINDOW_STACK_MODE, &above);
    connection_.flush();
}

void X11WindowRequests::iconify(xcb_window_t window) {
    sendToRoot(window, connection_.atoms().WM_CHANGE_STATE, {iconicState, 0, 0, 0, 0});
}

void X11WindowRequests::deiconify(xcb_window_t window) {
    xcb_map_window(connection_.get(), window);
    connection_.flush();
}

void X11WindowRequests::setFullScreen(xcb_window_t window, bool on) {
    const X11Atoms& atoms = connection_.atoms();
    sendToRoot(window, atoms._NET_WM_STATE,
               {on ? stateAdd : stateRemove, atoms._NET_WM_STATE_FULLSCREEN, 0, sourcePager, 0});
}

bool X11WindowRequests::close(const X11WindowInfo& window) {
    if (!window.acceptsDelete) {
        return false;
    }
    const X11Atoms& atoms = connection_.atoms();
    const xcb_client_message_event_t event =
        clientMessage(window.window, atoms.WM_PROTOCOLS,
                      {atoms.WM_DELETE_WINDOW, connection_.serverTime(), 0, 0, 0});
    xcb_send_event(connection_.get(), 0, window.window, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&event));
    connection_.flush();
    return true;
}

void X11WindowRequests::moveResize(const X11WindowInfo& window, const QRect& frame) {
    configure(window, frame.topLeft(), frame.size());
}

void X11WindowRequests::move(const X11WindowInfo& window, QPoint topLeft) {
    configure(window, topLeft, std::nullopt);
}

void X11WindowRequests::resize(const X11WindowInfo& window, QSize size) {
    configure(window, std::nullopt, size);
}

void X11WindowRequests::configure(const X11WindowInfo& window, std::optional<QPoint> topLeft,
                                  std::optional<QSize> size) {
    const X11Atoms& atoms = connection_.atoms();
    if (window.isMaximized) {
        sendToRoot(window.window, atoms._NET_WM_STATE,
                   {stateRemove, atoms._NET_WM_STATE_MAXIMIZED_VERT,
                    atoms._NET_WM_STATE_MAXIMIZED_HORZ, sourcePager, 0});
    }
    // Asked of the window manager's frame, which holds the client's shadow too.
    const QRect frame = window.outerFrame(QRect(topLeft.value_or(window.frameRect().topLeft()),
                                                size.value_or(window.frameRect().size())));
    const QSize client = clientSizeFor(frame, window.extents);
    if (connection_.supports(atoms._NET_MOVERESIZE_WINDOW)) {
        // With north-west gravity named in the request, x and y are the frame's corner.
        constexpr uint32_t xAndY = 0x300;
        constexpr uint32_t widthAndHeight = 0xC00;
        const uint32_t fields = (topLeft ? xAndY : 0) | (size ? widthAndHeight : 0);
        sendToRoot(window.window, atoms._NET_MOVERESIZE_WINDOW,
                   {XCB_GRAVITY_NORTH_WEST | fields | (sourcePager << 12),
                    static_cast<uint32_t>(frame.x()), static_cast<uint32_t>(frame.y()),
                    static_cast<uint32_t>(client.width()), static_cast<uint32_t>(client.height())});
        return;
    }
    // A plain ConfigureRequest is read with the client's own gravity.
    const QPoint at = configurePosition(frame, window.extents, window.gravity);
    uint16_t mask = 0;
    QList<uint32_t> values;
    if (topLeft) {
        mask |= XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y;
        values << static_cast<uint32_t>(at.x()) << static_cast<uint32_t>(at.y());
    }
    if (size) {
        mask |= XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT;
        values << static_cast<uint32_t>(client.width()) << static_cast<uint32_t>(client.height());
    }
    xcb_configure_window(connection_.get(), window.window, mask, values.constData());
    connection_.flush();
}

xcb_timestamp_t X11WindowRequests::markUserTime(xcb_window_t window) {
    const X11Atoms& atoms = connection_.atoms();
    xcb_connection_t* c = connection_.get();
    const std::optional<X11Property> named =
        takeProperty(c, requestProperty(c, window, atoms._NET_WM_USER_TIME_WINDOW, 1));
    const std::optional<quint32> timeWindow = named ? named->first32() : std::nullopt;
    const xcb_window_t target = timeWindow && *timeWindow != XCB_NONE ? *timeWindow : window;
    const xcb_timestamp_t time = connection_.serverTime();
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, target, atoms._NET_WM_USER_TIME,
                        XCB_ATOM_CARDINAL, 32, 1, &time);
    connection_.flush();
    return time;
}

std::optional<quint32> X11WindowRequests::cardinal(xcb_window_t window, xcb_atom_t property) const {
    xcb_connection_t* c = connection_.get();
    const std::optional<X11Property> value =
        takeProperty(c, requestProperty(c, window, property, 1));
    return value && value->type == XCB_ATOM_CARDINAL ? value->first32() : std::nullopt;
}

void X11WindowRequests::sendActivation(xcb_window_t window) {
    switchDeadline_.stop();
    sendToRoot(window, connection_.atoms()._NET_ACTIVE_WINDOW,
               {sourcePager, connection_.serverTime(), XCB_NONE, 0, 0});
}

void X11WindowRequests::desktopChanged() {
    if (pendingActivation_ != XCB_NONE &&
        cardinal(connection_.root(), connection_.atoms()._NET_CURRENT_DESKTOP) == pendingDesktop_) {
        sendActivation(std::exchange(pendingActivation_, XCB_NONE));
    }
}

void X11WindowRequests::activate(xcb_window_t window) {
    lastActivation_ = {lastActivation_.count + 1, window};
    const X11Atoms& atoms = connection_.atoms();
    if (connection_.supports(atoms._NET_ACTIVE_WINDOW)) {
        // A later activation replaces one still waiting.
        pendingActivation_ = XCB_NONE;
        const std::optional<quint32> target =
            connection_.supports(atoms._NET_CURRENT_DESKTOP)
                ? desktopToShow(cardinal(window, atoms._NET_WM_DESKTOP),
                                cardinal(connection_.root(), atoms._NET_CURRENT_DESKTOP))
                : std::nullopt;
        if (!target) {
            sendActivation(window);
            return;
        }
        // Some managers refuse to focus a window off the current desktop, others bring it over
        // to the user's: the user goes to the window first.
        pendingActivation_ = window;
        pendingDesktop_ = *target;
        switchDeadline_.start();
        sendToRoot(connection_.root(), atoms._NET_CURRENT_DESKTOP,
                   {*target, connection_.serverTime(), 0, 0, 0});
        return;
    }
    deiconify(window);
    raise(window);
    xcb_set_input_focus(connection_.get(), XCB_INPUT_FOCUS_PARENT, window,
                        connection_.serverTime());
    connection_.flush();
}

}  // namespace pellucine
