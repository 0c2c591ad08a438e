#include "latency/BenchDisplay.h"

#include <poll.h>
#include <xcb/res.h>
#include <xcb/xtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace pellucine {

namespace {

template <typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

template <typename T>
Reply<T> reply(T* raw) {
    return Reply<T>(raw, &std::free);
}

}  // namespace

BenchDisplay::BenchDisplay(const QByteArray& displayName) {
    xcb_connection_t* c = xcb_connect(displayName.constData(), nullptr);
    if (xcb_connection_has_error(c) != 0) {
        xcb_disconnect(c);
        return;
    }
    connection_ = c;
    root_ = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    symbols_ = xcb_key_symbols_alloc(c);
    wmName_ = atom("WM_NAME");
    clientList_ = atom("_NET_CLIENT_LIST");
    activeWindow_ = atom("_NET_ACTIVE_WINDOW");
    closeWindow_ = atom("_NET_CLOSE_WINDOW");
    wmPid_ = atom("_NET_WM_PID");
    wmProtocols_ = atom("WM_PROTOCOLS");
    takeFocus_ = atom("WM_TAKE_FOCUS");
    // Creations, reparentings and mappings of top-level windows and active-window changes
    // wake waitUntil.
    const quint32 mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(c, root_, XCB_CW_EVENT_MASK, &mask);
    sync();
}

BenchDisplay::~BenchDisplay() {
    if (symbols_ != nullptr) {
        xcb_key_symbols_free(symbols_);
    }
    if (connection_ != nullptr) {
        xcb_disconnect(connection_);
    }
}

xcb_atom_t BenchDisplay::atom(const char* name) {
    const auto answer = reply(xcb_intern_atom_reply(
        connection_, xcb_intern_atom(connection_, 0, static_cast<quint16>(qstrlen(name)), name),
        nullptr));
    return answer ? answer->atom : XCB_NONE;
}

void BenchDisplay::key(xcb_keysym_t keysym, bool press) {
    const auto codes = std::unique_ptr<xcb_keycode_t, decltype(&std::free)>(
        xcb_key_symbols_get_keycode(symbols_, keysym), &std::free);
    if (!codes || *codes == XCB_NO_SYMBOL) {
        return;
    }
    xcb_test_fake_input(connection_, press ? XCB_KEY_PRESS : XCB_KEY_RELEASE, *codes,
                        XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_flush(connection_);
}

void BenchDisplay::sync() {
    std::free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
}

void BenchDisplay::drainEvents() {
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
        if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY) {
            const auto* map = reinterpret_cast<const xcb_map_notify_event_t*>(event);
            if (map->event == root_) {
                mapped_.append(map->window);
            }
        }
        std::free(event);
    }
}

bool BenchDisplay::waitUntil(const QDeadlineTimer& deadline, const std::function<bool()>& done,
                             int pollMilliseconds) {
    for (;;) {
        drainEvents();
        if (done()) {
            return true;
        }
        if (deadline.hasExpired() || xcb_connection_has_error(connection_) != 0) {
            return false;
        }
        pollfd descriptor{xcb_get_file_descriptor(connection_), POLLIN, 0};
        const auto remaining = static_cast<int>(deadline.remainingTime());
        poll(&descriptor, 1, std::min(pollMilliseconds, remaining));
    }
}

QList<xcb_window_t> BenchDisplay::takeMapped() {
    drainEvents();
    return std::exchange(mapped_, {});
}

void BenchDisplay::watchStructure(xcb_window_t window) {
    const quint32 mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_FOCUS_CHANGE;
    xcb_change_window_attributes(connection_, window, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection_);
}

QByteArray BenchDisplay::property(xcb_window_t window, xcb_atom_t property, xcb_atom_t type) {
    const auto answer = reply(xcb_get_property_reply(
        connection_, xcb_get_property(connection_, 0, window, property, type, 0, 4096), nullptr));
    if (!answer) {
        return {};
    }
    return {static_cast<const char*>(xcb_get_property_value(answer.get())),
            xcb_get_property_value_length(answer.get())};
}

QList<xcb_window_t> BenchDisplay::childrenOf(const QList<xcb_window_t>& parents) {
    // Every request goes out before the first reply is read: one round trip per level, so that
    // a walk over a full desktop does not itself delay what it is looking for.
    QList<xcb_query_tree_cookie_t> cookies;
    cookies.reserve(parents.size());
    for (const xcb_window_t parent : parents) {
        cookies.append(xcb_query_tree(connection_, parent));
    }
    QList<xcb_window_t> children;
    for (const xcb_query_tree_cookie_t cookie : std::as_const(cookies)) {
        const auto tree = reply(xcb_query_tree_reply(connection_, cookie, nullptr));
        if (tree) {
            const xcb_window_t* first = xcb_query_tree_children(tree.get());
            children.append(
                QList<xcb_window_t>(first, first + xcb_query_tree_children_length(tree.get())));
        }
    }
    return children;
}

std::optional<xcb_window_t> BenchDisplay::findByName(const QString& name) {
    const QList<xcb_window_t> top = childrenOf({root_});
    QList<xcb_window_t> candidates = top;
    candidates.append(childrenOf(top));
    QList<xcb_get_property_cookie_t> cookies;
    cookies.reserve(candidates.size());
    for (const xcb_window_t window : std::as_const(candidates)) {
        cookies.append(
            xcb_get_property(connection_, 0, window, wmName_, XCB_GET_PROPERTY_TYPE_ANY, 0, 4096));
    }
    const QByteArray wanted = name.toUtf8();
    std::optional<xcb_window_t> found;
    for (qsizetype i = 0; i < cookies.size(); ++i) {
        const auto answer = reply(xcb_get_property_reply(connection_, cookies[i], nullptr));
        if (!found && answer &&
            QByteArray(static_cast<const char*>(xcb_get_property_value(answer.get())),
                       xcb_get_property_value_length(answer.get())) == wanted) {
            found = candidates[i];
        }
    }
    return found;
}

bool BenchDisplay::holdsClass(xcb_window_t window, const QByteArray& windowClass) {
    // Instance and class, each ended by a NUL.
    const auto hasClass = [&](xcb_window_t candidate) {
        return property(candidate, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING)
            .split('\0')
            .contains(windowClass);
    };
    if (hasClass(window)) {
        return true;
    }
    const auto tree =
        reply(xcb_query_tree_reply(connection_, xcb_query_tree(connection_, window), nullptr));
    if (!tree) {
        return false;
    }
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    return std::any_of(children, children + xcb_query_tree_children_length(tree.get()), hasClass);
}

bool BenchDisplay::isViewable(xcb_window_t window) {
    const auto attributes = reply(xcb_get_window_attributes_reply(
        connection_, xcb_get_window_attributes(connection_, window), nullptr));
    return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
}

bool BenchDisplay::hasFocus(xcb_window_t window) {
    const auto focus =
        reply(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    if (!focus) {
        return false;
    }
    for (xcb_window_t current = focus->focus; current != XCB_NONE && current != root_;) {
        if (current == window) {
            return true;
        }
        const auto tree =
            reply(xcb_query_tree_reply(connection_, xcb_query_tree(connection_, current), nullptr));
        if (!tree) {
            return false;
        }
        current = tree->parent;
    }
    return false;
}

QList<xcb_window_t> BenchDisplay::clients() {
    const QByteArray data = property(root_, clientList_, XCB_ATOM_WINDOW);
    QList<xcb_window_t> windows;
    for (qsizetype at = 0; at + 4 <= data.size(); at += 4) {
        xcb_window_t window = XCB_NONE;
        std::memcpy(&window, data.constData() + at, sizeof window);
        windows.append(window);
    }
    return windows;
}

std::optional<xcb_window_t> BenchDisplay::activeWindow() {
    const QByteArray data = property(root_, activeWindow_, XCB_ATOM_WINDOW);
    if (data.size() < 4) {
        return std::nullopt;
    }
    xcb_window_t window = XCB_NONE;
    std::memcpy(&window, data.constData(), sizeof window);
    return window;
}

bool BenchDisplay::takesFocus(xcb_window_t window) {
    // WM_HINTS: flags, then input; bit 0 of the flags says the input field is set.
    const QByteArray hints = property(window, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS);
    std::array<quint32, 2> fields{};
    if (hints.size() < static_cast<qsizetype>(sizeof fields)) {
        return true;
    }
    std::memcpy(fields.data(), hints.constData(), sizeof fields);
    if ((fields[0] & 1U) == 0 || fields[1] != 0) {
        return true;
    }
    const QByteArray protocols = property(window, wmProtocols_, XCB_ATOM_ATOM);
    for (qsizetype at = 0; at + 4 <= protocols.size(); at += 4) {
        xcb_atom_t protocol = XCB_NONE;
        std::memcpy(&protocol, protocols.constData() + at, sizeof protocol);
        if (protocol == takeFocus_) {
            return true;
        }
    }
    return false;
}

std::optional<quint32> BenchDisplay::processOf(xcb_window_t window) {
    const QByteArray data = property(window, wmPid_, XCB_ATOM_CARDINAL);
    if (data.size() >= 4) {
        quint32 pid = 0;
        std::memcpy(&pid, data.constData(), sizeof pid);
        return pid;
    }
    // Xt clients set no _NET_WM_PID; the server knows the process of local clients.
    xcb_res_client_id_spec_t spec{window, XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID};
    const auto ids = reply(xcb_res_query_client_ids_reply(
        connection_, xcb_res_query_client_ids(connection_, 1, &spec), nullptr));
    if (!ids) {
        return std::nullopt;
    }
    for (auto it = xcb_res_query_client_ids_ids_iterator(ids.get()); it.rem > 0;
         xcb_res_client_id_value_next(&it)) {
        if ((it.data->spec.mask & XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID) != 0 &&
            xcb_res_client_id_value_value_length(it.data) >= 1) {
            return *xcb_res_client_id_value_value(it.data);
        }
    }
    return std::nullopt;
}

void BenchDisplay::sendRootMessage(xcb_window_t window, xcb_atom_t type, quint32 first) {
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = type;
    // Source indication 2: a pager, which window managers obey without focus-stealing checks.
    message.data.data32[0] = first;
    message.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(connection_, 0, root_,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(connection_);
}

void BenchDisplay::activate(xcb_window_t window) {
    sendRootMessage(window, activeWindow_, 2);
}

void BenchDisplay::close(xcb_window_t window) {
    sendRootMessage(window, closeWindow_, 0);
}

std::optional<QList<int>> BenchDisplay::countColours(xcb_window_t window,
                                                     const QList<QColor>& colours, int tolerance) {
    const auto geometry =
        reply(xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window), nullptr));
    if (!geometry || geometry->depth < 24) {
        return std::nullopt;
    }
    const auto image =
        reply(xcb_get_image_reply(connection_,
                                  xcb_get_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0,
                                                0, geometry->width, geometry->height, ~0U),
                                  nullptr));
    if (!image) {
        return std::nullopt;
    }
    // 24 and 32 bit depths both come as 32 bits a pixel, blue first.
    const auto* pixels = xcb_get_image_data(image.get());
    const int length = xcb_get_image_data_length(image.get());
    const auto near = [tolerance](int a, int b) { return std::abs(a - b) <= tolerance; };
    // The colours each 16-level cube of the colour space may hold, so that a pixel is compared
    // with a few colours only.
    const auto cube = [](int r, int g, int b) { return (r >> 4) * 256 + (g >> 4) * 16 + (b >> 4); };
    std::vector<std::vector<qsizetype>> candidates(4096);
    for (qsizetype i = 0; i < colours.size(); ++i) {
        const QColor& colour = colours[i];
        const auto low = [&](int v) { return std::max(0, v - tolerance); };
        const auto high = [&](int v) { return std::min(255, v + tolerance); };
        for (int r = low(colour.red()) >> 4; r <= high(colour.red()) >> 4; ++r) {
            for (int g = low(colour.green()) >> 4; g <= high(colour.green()) >> 4; ++g) {
                for (int b = low(colour.blue()) >> 4; b <= high(colour.blue()) >> 4; ++b) {
                    candidates[static_cast<std::size_t>(r * 256 + g * 16 + b)].push_back(i);
                }
            }
        }
    }
    QList<int> counts(colours.size(), 0);
    for (int at = 0; at + 3 < length; at += 4) {
        const int b = pixels[at];
        const int g = pixels[at + 1];
        const int r = pixels[at + 2];
        for (const qsizetype i : candidates[static_cast<std::size_t>(cube(r, g, b))]) {
            const QColor& colour = colours[i];
            if (near(b, colour.blue()) && near(g, colour.green()) && near(r, colour.red())) {
                ++counts[i];
                break;
            }
        }
    }
    return counts;
}

}  // namespace pellucine
