#include "app/X11PanelWindowHints.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QList>
#include <array>

#include "platform/x11/X11Atoms.h"
#include "platform/x11/X11Properties.h"
#include "platform/x11/X11Reply.h"

namespace pellucine {

namespace {

// The request stands for a direct user action (EWMH: pagers and the like).
constexpr uint32_t sourceUser = 2;
constexpr uint32_t allDesktops = 0xFFFFFFFF;

// The atoms of an ATOM-list property; none when it is unset or of another type.
QList<xcb_atom_t> readAtoms(xcb_connection_t* connection, xcb_window_t window,
                            xcb_atom_t property) {
    const std::optional<X11Property> value =
        takeProperty(connection, requestProperty(connection, window, property));
    return value && value->type == XCB_ATOM_ATOM ? value->values32() : QList<xcb_atom_t>();
}

xcb_window_t windowOf(const QWidget& widget) {
    return static_cast<xcb_window_t>(widget.winId());
}

}  // namespace

X11PanelWindowHints::X11PanelWindowHints(QWidget& panel) : panel_(&panel) {
    const auto* x11 = qGuiApp == nullptr
                          ? nullptr
                          : qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->connection() == nullptr) {
        return;
    }
    connection_ = x11->connection();
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
    if (screen == nullptr) {
        connection_ = nullptr;
        return;
    }
    root_ = screen->root;
    const std::array<std::pair<const char*, xcb_atom_t*>, 8> names{{
        {"_NET_WM_STATE", &atoms_.state},
        {"_NET_WM_STATE_STICKY", &atoms_.sticky},
        {"_NET_WM_STATE_SKIP_TASKBAR", &atoms_.skipTaskbar},
        {"_NET_WM_STATE_SKIP_PAGER", &atoms_.skipPager},
        {"_NET_WM_DESKTOP", &atoms_.desktop},
        {"_NET_ACTIVE_WINDOW", &atoms_.activeWindow},
        {"_NET_SUPPORTED", &atoms_.supported},
        {"_PELLUCINE_FOCUS_STAMP", &atoms_.stamp},
    }};
    std::array<const char*, names.size()> asked{};
    for (std::size_t i = 0; i < names.size(); ++i) {
        asked[i] = names[i].first;
    }
    const std::vector<xcb_atom_t> atoms = internAtoms(connection_, asked);
    for (std::size_t i = 0; i < names.size(); ++i) {
        *names[i].second = atoms[i];
    }
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11PanelWindowHints::~X11PanelWindowHints() {
    if (connection_ != nullptr && QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->removeNativeEventFilter(this);
    }
}

void X11PanelWindowHints::applyBeforeMapping() {
    if (connection_ == nullptr || !panel_ || atoms_.state == XCB_NONE) {
        return;
    }
    const xcb_window_t window = windowOf(*panel_);
    QList<xcb_atom_t> states = readAtoms(connection_, window, atoms_.state);
    for (const xcb_atom_t added : {atoms_.sticky, atoms_.skipTaskbar, atoms_.skipPager}) {
        if (added != XCB_NONE && !states.contains(added)) {
            states.append(added);
        }
    }
    xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window, atoms_.state, XCB_ATOM_ATOM, 32,
                        static_cast<uint32_t>(states.size()), states.constData());
    if (atoms_.desktop != XCB_NONE) {
        xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window, atoms_.desktop,
                            XCB_ATOM_CARDINAL, 32, 1, &allDesktops);
    }
    xcb_flush(connection_);
}

void X11PanelWindowHints::requestFocus() {
    if (!panel_) {
        return;
    }
    panel_->raise();
    if (connection_ == nullptr || atoms_.stamp == XCB_NONE) {
        panel_->activateWindow();
        return;
    }
    // Appending nothing to a property of the panel's own window makes the server send a
    // PropertyNotify stamped with its current time; the request leaves when it arrives. The
    // panel's mapping was sent before on the same connection, so the window manager learns of
    // the window before it reads the request.
    focusPending_ = true;
    xcb_change_property(connection_, XCB_PROP_MODE_APPEND, windowOf(*panel_), atoms_.stamp,
                        XCB_ATOM_STRING, 8, 0, nullptr);
    xcb_flush(connection_);
}

bool X11PanelWindowHints::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t" || !panel_) {
        return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const uint8_t type = event->response_type & 0x7f;
    if (type == XCB_FOCUS_IN) {
        const auto* focus = reinterpret_cast<const xcb_focus_in_event_t*>(event);
        if (focus->event == windowOf(*panel_) && focus->detail != XCB_NOTIFY_DETAIL_POINTER) {
            // Qt ignores focus coming back to the window it still counts as focused (a hidden
            // panel shown again before its focus-out settled) and leaves the widget inactive;
            // once Qt has read the event, the widget is made active to match.
            QMetaObject::invokeMethod(
                panel_, [panel = panel_] { catchUpActivation(panel); }, Qt::QueuedConnection);
        }
        return false;
    }
    if (!focusPending_ || type != XCB_PROPERTY_NOTIFY) {
        return false;
    }
    const auto* notify = reinterpret_cast<const xcb_property_notify_event_t*>(event);
    if (notify->atom != atoms_.stamp || notify->window != windowOf(*panel_)) {
        return false;
    }
    focusPending_ = false;
    if (panel_->isVisible()) {
        activate(notify->time);
    }
    return true;
}

void X11PanelWindowHints::catchUpActivation(const QPointer<QWidget>& panel) {
    if (panel && panel->isVisible() && !panel->isActiveWindow() &&
        QGuiApplication::focusWindow() == panel->windowHandle()) {
        QApplication::setActiveWindow(panel);
    }
}

void X11PanelWindowHints::activate(xcb_timestamp_t time) {
    const xcb_window_t window = windowOf(*panel_);
    if (managerSupportsActivation()) {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = window;
        event.type = atoms_.activeWindow;
        event.data.data32[0] = sourceUser;
        event.data.data32[1] = time;
        xcb_send_event(connection_, 0, root_,
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&event));
    } else {
        const uint32_t above = XCB_STACK_MODE_ABOVE;
        xcb_configure_window(connection_, window, XCB_CONFIG_WINDOW_STACK_MODE, &above);
        xcb_set_input_focus(connection_, XCB_INPUT_FOCUS_PARENT, window, time);
    }
    xcb_flush(connection_);
}

bool X11PanelWindowHints::managerSupportsActivation() {
    if (atoms_.activeWindow == XCB_NONE || atoms_.supported == XCB_NONE) {
        return false;
    }
    // Read each time: the window manager may have been replaced since.
    return readAtoms(connection_, root_, atoms_.supported).contains(atoms_.activeWindow);
}

}  // namespace pellucine
