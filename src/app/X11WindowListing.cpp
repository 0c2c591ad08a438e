#include "app/X11WindowListing.h"

#include <QGuiApplication>
#include <QList>
#include <QWindow>
#include <array>
#include <cstdlib>
#include <vector>

#include "platform/x11/X11Atoms.h"

namespace pellucine {

namespace {

template <class T>
struct FreeReply {
    void operator()(T* p) const { std::free(p); }
};
template <class T>
using Reply = std::unique_ptr<T, FreeReply<T>>;

constexpr uint32_t stateRemove = 0;
constexpr uint32_t stateAdd = 1;
// The request comes from an ordinary application.
constexpr uint32_t sourceApplication = 1;

QList<xcb_atom_t> readAtoms(xcb_connection_t* connection, xcb_window_t window,
                            xcb_atom_t property) {
    const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, property, XCB_ATOM_ATOM, 0, 1024),
        nullptr));
    QList<xcb_atom_t> atoms;
    if (!reply || reply->format != 32 || reply->type != XCB_ATOM_ATOM) {
        return atoms;
    }
    const auto* values = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
    const int count = xcb_get_property_value_length(reply.get()) / 4;
    for (int i = 0; i < count; ++i) {
        atoms.append(values[i]);
    }
    return atoms;
}

}  // namespace

std::unique_ptr<X11WindowListing> X11WindowListing::forApplication() {
    const auto* x11 = qGuiApp == nullptr
                          ? nullptr
                          : qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->connection() == nullptr) {
        return nullptr;
    }
    xcb_connection_t* connection = x11->connection();
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (screen == nullptr) {
        return nullptr;
    }
    return std::unique_ptr<X11WindowListing>(new X11WindowListing(connection, screen->root));
}

X11WindowListing::X11WindowListing(xcb_connection_t* connection, xcb_window_t root)
    : connection_(connection), root_(root) {
    const std::array<const char*, 3> names{"_NET_WM_STATE", "_NET_WM_STATE_SKIP_TASKBAR",
                                           "_NET_WM_STATE_SKIP_PAGER"};
    const std::vector<xcb_atom_t> atoms = internAtoms(connection_, names);
    state_ = atoms[0];
    skipTaskbar_ = atoms[1];
    skipPager_ = atoms[2];
}

void X11WindowListing::setUnlisted(QWindow& window, bool unlisted, bool mapped) {
    if (state_ == XCB_NONE || skipTaskbar_ == XCB_NONE || skipPager_ == XCB_NONE) {
        return;
    }
    const auto id = static_cast<xcb_window_t>(window.winId());
    if (mapped) {
        // Once mapped, the state belongs to the window manager: ask it.
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = id;
        event.type = state_;
        event.data.data32[0] = unlisted ? stateAdd : stateRemove;
        event.data.data32[1] = skipTaskbar_;
        event.data.data32[2] = skipPager_;
        event.data.data32[3] = sourceApplication;
        xcb_send_event(connection_, 0, root_,
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&event));
    } else {
        // Before mapping, the window's own property is read by the window manager; Qt keeps
        // states it finds there when it maps the window.
        QList<xcb_atom_t> atoms = readAtoms(connection_, id, state_);
        atoms.removeAll(skipTaskbar_);
        atoms.removeAll(skipPager_);
        if (unlisted) {
            atoms << skipTaskbar_ << skipPager_;
        }
        xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, id, state_, XCB_ATOM_ATOM, 32,
                            static_cast<uint32_t>(atoms.size()), atoms.constData());
    }
    xcb_flush(connection_);
}

}  // namespace pellucine
