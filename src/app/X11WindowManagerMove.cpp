#include "app/X11WindowManagerMove.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QScreen>
#include <QWindow>
#include <array>

#include "platform/x11/X11Atoms.h"
#include "platform/x11/X11Properties.h"
#include "platform/x11/X11Reply.h"

namespace pellucine {

namespace {

constexpr uint32_t moveDirection = 8;
constexpr uint32_t sourceApplication = 1;

// Qt's global coordinates keep each screen's origin and scale the distances from it.
QPoint rootPixels(const QWindow& window, QPoint pointer) {
    const QScreen* screen = window.screen();
    if (screen == nullptr) {
        return pointer;
    }
    const QPoint origin = screen->geometry().topLeft();
    return origin + ((pointer - origin) * screen->devicePixelRatio());
}

}  // namespace

bool startWindowManagerMove(QWindow& window, QPoint pointer) {
    const auto* x11 = qGuiApp != nullptr
                          ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                          : nullptr;
    if (x11 == nullptr || x11->connection() == nullptr) {
        return false;
    }
    xcb_connection_t* connection = x11->connection();
    const auto id = static_cast<xcb_window_t>(window.winId());
    constexpr std::array<const char*, 2> names{"_NET_WM_MOVERESIZE", "_NET_SUPPORTED"};
    const std::vector<xcb_atom_t> atoms = internAtoms(connection, names);
    const auto tree = takeReply(connection, xcb_query_tree_reply, xcb_query_tree(connection, id));
    if (!tree || atoms[0] == XCB_NONE) {
        return false;
    }
    const std::optional<X11Property> supported =
        takeProperty(connection, requestProperty(connection, tree->root, atoms[1]));
    if (!supported || !supported->values32().contains(atoms[0])) {
        return false;
    }
    const QPoint at = rootPixels(window, pointer);
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = id;
    message.type = atoms[0];
    message.data.data32[0] = uint32_t(at.x());
    message.data.data32[1] = uint32_t(at.y());
    message.data.data32[2] = moveDirection;
    message.data.data32[3] = XCB_BUTTON_INDEX_1;
    message.data.data32[4] = sourceApplication;
    // The window manager grabs the pointer for the move: this client's grab of the press ends.
    xcb_ungrab_pointer(connection, XCB_CURRENT_TIME);
    xcb_send_event(connection, 0, tree->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(connection);
    return true;
}

}  // namespace pellucine
