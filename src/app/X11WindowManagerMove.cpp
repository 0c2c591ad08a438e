#include "app/X11WindowManagerMove.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QScreen>
#include <QWindow>
#include <algorithm>
#include <cstdlib>
#include <memory>

namespace pellucine {

namespace {

constexpr uint32_t moveDirection = 8;
constexpr uint32_t sourceApplication = 1;

template <class T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

xcb_atom_t internAtom(xcb_connection_t* connection, const char* name) {
    const Reply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 1, uint16_t(qstrlen(name)), name), nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_NONE);
}

bool supports(xcb_connection_t* connection, xcb_window_t root, xcb_atom_t atom) {
    const xcb_atom_t supported = internAtom(connection, "_NET_SUPPORTED");
    if (atom == XCB_NONE || supported == XCB_NONE) {
        return false;
    }
    const Reply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(
            connection, xcb_get_property(connection, 0, root, supported, XCB_ATOM_ATOM, 0, 4096),
            nullptr),
        &std::free);
    if (!reply || reply->format != 32) {
        return false;
    }
    const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
    const int count = xcb_get_property_value_length(reply.get()) / int(sizeof(xcb_atom_t));
    return std::find(atoms, atoms + count, atom) != atoms + count;
}

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
    const Reply<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(connection, xcb_query_tree(connection, id), nullptr), &std::free);
    const xcb_atom_t moveResize = internAtom(connection, "_NET_WM_MOVERESIZE");
    if (!tree || !supports(connection, tree->root, moveResize)) {
        return false;
    }
    const QPoint at = rootPixels(window, pointer);
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = id;
    message.type = moveResize;
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
