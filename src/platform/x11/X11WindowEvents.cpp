#include "platform/x11/X11WindowEvents.h"

#include <QPointer>
#include <QSet>

#include "platform/x11/X11Properties.h"

namespace pellucine {

namespace {

// Exposure for X11DrawWatch: a client's Expose tells its drawing from the server's.
constexpr uint32_t clientEventMask =
    XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_EXPOSURE;

}  // namespace

X11WindowEvents::X11WindowEvents(X11Connection& connection, QObject* parent)
    : QObject(parent), connection_(connection), reader_(connection) {
    connect(&connection_, &X11Connection::eventReceived, this, &X11WindowEvents::handle);
}

X11WindowEvents::~X11WindowEvents() {
    stop();
}

void X11WindowEvents::start() {
    stop();
    running_ = true;
    syncClientList(false);
    syncActiveWindow(false);
}

void X11WindowEvents::stop() {
    if (!running_) {
        return;
    }
    running_ = false;
    for (auto it = tracked_.cbegin(); it != tracked_.cend(); ++it) {
        connection_.selectEvents(it.key(), XCB_EVENT_MASK_NO_EVENT);
    }
    for (auto it = pending_.cbegin(); it != pending_.cend(); ++it) {
        connection_.selectEvents(it.key(), XCB_EVENT_MASK_NO_EVENT);
    }
    connection_.flush();
    tracked_.clear();
    pending_.clear();
    active_ = XCB_NONE;
}

void X11WindowEvents::emitEvent(X11WindowEvent::Kind kind, xcb_window_t window,
                                std::optional<qint32> pid) {
    emit windowEvent(X11WindowEvent{kind, window, pid});
}

void X11WindowEvents::follow(const X11WindowInfo& info) {
    connection_.selectEvents(info.window, clientEventMask);
    tracked_.insert(info.window,
                    Tracked{info.pid, info.frameRect(), info.title, info.isMinimized()});
}

bool X11WindowEvents::watch(const QList<X11WindowInfo>& windows) {
    if (!running_) {
        return false;
    }
    bool selected = false;
    for (const X11WindowInfo& info : windows) {
        if (!tracked_.contains(info.window) && !pending_.contains(info.window)) {
            connection_.selectEvents(info.window, clientEventMask);
            pending_.insert(info.window, info);
            selected = true;
        }
    }
    if (selected) {
        // Once the server has answered, it has taken the selection: every later change of
        // these windows, by any client, is reported.
        connection_.sync();
    }
    return !selected;
}

void X11WindowEvents::forget(xcb_window_t window) {
    const auto it = tracked_.find(window);
    if (it == tracked_.end()) {
        return;
    }
    const std::optional<qint32> pid = it->pid;
    tracked_.erase(it);
    emitEvent(X11WindowEvent::Kind::destroyed, window, pid);
}

void X11WindowEvents::syncClientList(bool announce) {
    const QList<xcb_window_t> clients = reader_.clientsFrontToBack();
    const QSet<xcb_window_t> present(clients.begin(), clients.end());
    QList<xcb_window_t> gone;
    for (auto it = tracked_.cbegin(); it != tracked_.cend(); ++it) {
        if (!present.contains(it.key())) {
            gone.append(it.key());
        }
    }
    // Windows already watched start from what was read when they were first seen: the events
    // since then are on their way.
    QList<X11WindowInfo> infos;
    QList<xcb_window_t> unread;
    for (const xcb_window_t window : clients) {
        if (tracked_.contains(window)) {
            continue;
        }
        if (const auto it = pending_.constFind(window); it != pending_.cend()) {
            infos.append(*it);
        } else {
            unread.append(window);
        }
    }
    pending_.removeIf([&present](const auto& entry) { return !present.contains(entry.key()); });
    for (const X11WindowInfo& info : infos) {
        pending_.remove(info.window);
    }
    // Select first, read after: a change between the two is then seen as an event.
    for (const xcb_window_t window : unread) {
        connection_.selectEvents(window, clientEventMask);
    }
    infos.append(reader_.readWindows(unread, reader_.currentDesktop()));
    connection_.flush();

    QPointer<X11WindowEvents> self(this);
    for (const xcb_window_t window : gone) {
        forget(window);
        if (!self || !running_) {
            return;
        }
    }
    for (const X11WindowInfo& info : infos) {
        follow(info);
        if (announce) {
            emitEvent(X11WindowEvent::Kind::created, info.window, info.pid);
            if (!self || !running_) {
                return;
            }
        }
    }
}

void X11WindowEvents::postClientListSync() {
    // One read of the list for every change announced before it runs: a client that maps and
    // destroys windows without pause costs one read per turn of the event loop.
    if (syncPosted_) {
        return;
    }
    syncPosted_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            syncPosted_ = false;
            if (running_) {
                syncClientList(true);
            }
        },
        Qt::QueuedConnection);
}

void X11WindowEvents::syncActiveWindow(bool announce) {
    const xcb_window_t active = reader_.activeWindow();
    if (active == active_) {
        return;
    }
    active_ = active;
    if (!announce || active == XCB_NONE) {
        return;
    }
    std::optional<qint32> pid;
    if (const auto it = tracked_.constFind(active); it != tracked_.cend()) {
        pid = it->pid;
    } else if (const auto info = reader_.readWindow(active)) {
        pid = info->pid;
    }
    emitEvent(X11WindowEvent::Kind::focusChanged, active, pid);
}

void X11WindowEvents::handle(const xcb_generic_event_t& event) {
    if (!running_) {
        return;
    }
    const X11Atoms& atoms = connection_.atoms();
    switch (event.response_type & 0x7f) {
        case XCB_PROPERTY_NOTIFY: {
            const auto& e = reinterpret_cast<const xcb_property_notify_event_t&>(event);
            if (e.window == connection_.root()) {
                if (e.atom == atoms._NET_CLIENT_LIST || e.atom == atoms._NET_CLIENT_LIST_STACKING) {
                    postClientListSync();
                } else if (e.atom == atoms._NET_ACTIVE_WINDOW) {
                    syncActiveWindow(true);
                }
            } else if (tracked_.contains(e.window)) {
                reread(e.window, XCB_PROPERTY_NOTIFY, e.atom);
            }
            break;
        }
        case XCB_CONFIGURE_NOTIFY: {
            const auto& e = reinterpret_cast<const xcb_configure_notify_event_t&>(event);
            if (e.event == e.window && tracked_.contains(e.window)) {
                reread(e.window, XCB_CONFIGURE_NOTIFY, XCB_NONE);
            }
            break;
        }
        case XCB_DESTROY_NOTIFY: {
            const auto& e = reinterpret_cast<const xcb_destroy_notify_event_t&>(event);
            forget(e.window);
            break;
        }
        default:
            break;
    }
}

void X11WindowEvents::reread(xcb_window_t window, uint8_t responseType, xcb_atom_t atom) {
    const X11Atoms& atoms = connection_.atoms();
    const bool nameChange = atom == atoms._NET_WM_NAME || atom == XCB_ATOM_WM_NAME;
    const bool stateChange = atom == atoms.WM_STATE || atom == atoms._NET_WM_STATE;
    const bool frameChange =
        responseType == XCB_CONFIGURE_NOTIFY || atom == atoms._NET_FRAME_EXTENTS;
    if (!nameChange && !stateChange && !frameChange) {
        return;
    }
    const std::optional<X11WindowInfo> info = reader_.readWindow(window);
    const auto it = tracked_.find(window);

    if (!info || it == tracked_.end()) {
        // Gone: its DestroyNotify or the client list will say so.
        return;
    }
    // Each part is taken only from a notice about it, so that a read made for another notice
    // does not take a change whose own notice is still on its way (and then goes unreported).
    // The frame is not taken while the window is minimized either: a window manager may
    // animate the frame as it (de)iconifies without telling the client.
    const Tracked before = *it;
    const bool frameRead = frameChange && !info->isMinimized();
    it->pid = info->pid;
    if (nameChange) {
        it->title = info->title;
    }
    if (stateChange) {
        it->minimized = info->isMinimized();
    }
    if (frameRead) {
        it->frame = info->frameRect();
    }

    QPointer<X11WindowEvents> self(this);
    const auto announce = [&](X11WindowEvent::Kind kind) {
        if (self && running_) {
            emitEvent(kind, window, info->pid);
        }
    };
    if (nameChange && before.title != info->title) {
        announce(X11WindowEvent::Kind::titleChanged);
    }
    if (stateChange && before.minimized != info->isMinimized()) {
        announce(info->isMinimized() ? X11WindowEvent::Kind::miniaturized
                                     : X11WindowEvent::Kind::deminiaturized);
    }
    if (frameRead && before.frame.topLeft() != info->frameRect().topLeft()) {
        announce(X11WindowEvent::Kind::moved);
    }
    if (frameRead && before.frame.size() != info->frameRect().size()) {
        announce(X11WindowEvent::Kind::resized);
    }
}

}  // namespace pellucine
