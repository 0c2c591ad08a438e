#include "platform/x11/X11DrawWatch.h"

#include "platform/x11/X11Reply.h"
#include "platform/x11/X11SnapshotChanges.h"

namespace pellucine {

X11DrawWatch::X11DrawWatch(X11Connection& connection, X11WindowEvents& events,
                           const ContinuousClock& clock, QObject* parent)
    : QObject(parent), connection_(connection), clock_(clock) {
    // Asked now, answered by the first use: no round trip at start.
    xcb_prefetch_extension_data(connection_.get(), &xcb_damage_id);
    connect(&events, &X11WindowEvents::windowEvent, this, &X11DrawWatch::windowEvent);
}

X11DrawWatch::~X11DrawWatch() {
    for (const Followed& followed : std::as_const(followed_)) {
        if (followed.damage != XCB_NONE) {
            xcb_damage_destroy(connection_.get(), followed.damage);
        }
    }
    connection_.flush();
}

bool X11DrawWatch::damageOffered() {
    if (!offered_) {
        xcb_connection_t* c = connection_.get();
        const xcb_query_extension_reply_t* damage = xcb_get_extension_data(c, &xcb_damage_id);
        offered_ = false;
        if (damage != nullptr && damage->present != 0) {
            // The version must be asked before any other request of the extension.
            const auto version =
                takeReply(c, xcb_damage_query_version_reply, xcb_damage_query_version(c, 1, 1));
            if (version) {
                offered_ = true;
                noticeCode_ = static_cast<uint8_t>(damage->first_event + XCB_DAMAGE_NOTIFY);
            }
        }
    }
    return *offered_;
}

bool X11DrawWatch::isDamageNotice(const xcb_generic_event_t& event) const {
    return noticeCode_ != 0 && (event.response_type & 0x7f) == noticeCode_;
}

std::optional<Duration> X11DrawWatch::wait(xcb_window_t window, QSize size) {
    if (!sizes_.contains(window)) {
        sizes_.insert(window, size);
    }
    const auto it = followed_.constFind(window);
    if (it == followed_.cend() || !it->settling) {
        return std::nullopt;
    }
    const ContinuousInstant now = clock_.now();
    if (it->settling->isSettled(now)) {
        end(window);
        return std::nullopt;
    }
    return it->settling->wait(now);
}

void X11DrawWatch::arm(Followed& followed, xcb_window_t window) {
    if (followed.damage != XCB_NONE || !damageOffered()) {
        return;
    }
    xcb_connection_t* c = connection_.get();
    followed.damage = xcb_generate_id(c);
    followed.made =
        xcb_damage_create(c, followed.damage, window, XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES)
            .sequence;
    connection_.flush();
}

void X11DrawWatch::hidden(xcb_window_t window) {
    Followed& followed = followed_[window];
    followed.settling.reset();
    followed.changed = false;
    followed.exposed = false;
    arm(followed, window);
}

void X11DrawWatch::shown(xcb_window_t window) {
    Followed& followed = followed_[window];
    followed.changed = false;
    // Armed before it was mapped, it is heard from the start: what comes before its Expose is
    // the server's painting of the background.
    followed.exposed = followed.damage == XCB_NONE;
    followed.settling = DrawSettling{clock_.now(), std::nullopt};
    arm(followed, window);
}

void X11DrawWatch::shownLate(xcb_window_t window) {
    if (const auto it = followed_.constFind(window); it != followed_.cend() && it->settling) {
        return;
    }
    Followed& followed = followed_[window];
    followed.exposed = true;
    followed.settling = DrawSettling{clock_.now(), std::nullopt};
    arm(followed, window);
}

void X11DrawWatch::resized(xcb_window_t window, QSize size) {
    const auto known = sizes_.find(window);
    if (known == sizes_.end() || *known == size) {
        sizes_.insert(window, size);
        return;
    }
    *known = size;
    changed(frames_.value(window, window));
}

void X11DrawWatch::changed(xcb_window_t window) {
    const auto it = followed_.find(window);
    // An unmapped client is heard from its next showing on.
    if ((it != followed_.end() && !it->settling) || !damageOffered()) {
        return;
    }
    Followed& followed = it != followed_.end() ? *it : followed_[window];
    followed.settling = DrawSettling{clock_.now(), std::nullopt};
    followed.exposed = false;
    followed.changed = true;
    arm(followed, window);
    watchFrame(window);
    // A request of no effect marks the moment: what the server reports after it is the client's,
    // what it reported before is the change (the window manager's frame may follow the client).
    followed.heardAt =
        xcb_damage_subtract(connection_.get(), followed.damage, XCB_NONE, XCB_NONE).sequence;
    connection_.flush();
}

void X11DrawWatch::watchFrame(xcb_window_t window) {
    if (framed_.contains(window)) {
        return;
    }
    xcb_connection_t* c = connection_.get();
    xcb_window_t frame = window;
    for (int depth = 0; depth < maximumFrameDepth; ++depth) {
        const auto tree = takeReply(c, xcb_query_tree_reply, xcb_query_tree(c, frame));
        if (!tree || tree->parent == tree->root || tree->parent == XCB_NONE) {
            break;
        }
        frame = tree->parent;
    }
    framed_.insert(window, frame);
    if (frame == window) {
        return;
    }
    // Selected before its size is read: a later change is a notice.
    connection_.selectEvents(frame, XCB_EVENT_MASK_STRUCTURE_NOTIFY);
    frames_.insert(frame, window);
    if (const auto geometry = takeReply(c, xcb_get_geometry_reply, xcb_get_geometry(c, frame))) {
        sizes_.insert(frame, QSize(geometry->width, geometry->height));
    }
}

void X11DrawWatch::forget(xcb_window_t window) {
    end(window, /*destroyed=*/true);
    sizes_.remove(window);
    if (const xcb_window_t frame = framed_.take(window); frame != XCB_NONE && frame != window) {
        frames_.remove(frame);
        sizes_.remove(frame);
    }
}

bool X11DrawWatch::isFrameNotice(const xcb_generic_event_t& event) const {
    const std::optional<xcb_window_t> on = X11SnapshotChanges::structureNoticeSelectedOn(event);
    return on && frames_.contains(*on);
}

void X11DrawWatch::drawn(xcb_window_t window, unsigned int sequence) {
    const auto it = followed_.find(window);
    if (it == followed_.end() || !it->settling) {
        return;
    }
    const ContinuousInstant now = clock_.now();
    // After a change only what the server reports from the mark on (sequence numbers wrap at 32
    // bits); else what comes after the Expose.
    const bool counts = it->changed ? static_cast<int>(sequence - it->heardAt) >= 0 : it->exposed;
    if (!counts) {
        return;
    }
    if (it->settling->isSettled(now)) {
        // Past the limit, what it shows now is its own.
        end(window);
    } else {
        it->settling->drawn(now);
    }
}

void X11DrawWatch::end(xcb_window_t window, bool destroyed) {
    const auto it = followed_.constFind(window);
    if (it == followed_.cend()) {
        return;
    }
    // A destroyed window's Damage objects went with it.
    if (it->damage != XCB_NONE && !destroyed) {
        xcb_damage_destroy(connection_.get(), it->damage);
        connection_.flush();
    }
    followed_.erase(it);
}

void X11DrawWatch::windowEvent(const X11WindowEvent& event) {
    switch (event.kind) {
        // A new client's map came before it was announced.
        case X11WindowEvent::Kind::created:
        // Also for managers that keep a minimized client mapped inside its unmapped frame.
        case X11WindowEvent::Kind::deminiaturized:
            shownLate(event.window);
            break;
        case X11WindowEvent::Kind::destroyed:
            forget(event.window);
            break;
        default:
            break;
    }
}

void X11DrawWatch::note(const xcb_generic_event_t& event) {
    if (isDamageNotice(event)) {
        const auto& notice = reinterpret_cast<const xcb_damage_notify_event_t&>(event);
        if (const auto it = followed_.constFind(notice.drawable); it != followed_.cend() &&
                                                                  it->damage == notice.damage &&
                                                                  event.full_sequence != it->made) {
            drawn(notice.drawable, event.full_sequence);
        }
        return;
    }
    if (isFrameNotice(event)) {
        const auto& e = reinterpret_cast<const xcb_configure_notify_event_t&>(event);
        if ((event.response_type & 0x7f) == XCB_CONFIGURE_NOTIFY && e.event == e.window &&
            (event.response_type & 0x80) == 0) {
            resized(e.window, QSize(e.width, e.height));
        }
        return;
    }
    // Only a client's own notices: the connection follows no client's substructure.
    switch (event.response_type & 0x7f) {
        case XCB_MAP_NOTIFY: {
            const auto& e = reinterpret_cast<const xcb_map_notify_event_t&>(event);
            if (e.event == e.window && e.override_redirect == 0) {
                shown(e.window);
            }
            break;
        }
        case XCB_UNMAP_NOTIFY: {
            const auto& e = reinterpret_cast<const xcb_unmap_notify_event_t&>(event);
            if (e.event == e.window) {
                hidden(e.window);
            }
            break;
        }
        case XCB_EXPOSE: {
            const auto& e = reinterpret_cast<const xcb_expose_event_t&>(event);
            if (const auto it = followed_.find(e.window);
                it != followed_.end() && it->settling && e.count == 0) {
                it->exposed = true;
            }
            break;
        }
        case XCB_CONFIGURE_NOTIFY: {
            // The window manager's synthetic ones repeat a size the server reported already.
            const auto& e = reinterpret_cast<const xcb_configure_notify_event_t&>(event);
            if (e.event == e.window && (event.response_type & 0x80) == 0 &&
                e.override_redirect == 0) {
                resized(e.window, QSize(e.width, e.height));
            }
            break;
        }
        case XCB_DESTROY_NOTIFY: {
            const auto& e = reinterpret_cast<const xcb_destroy_notify_event_t&>(event);
            if (e.event == e.window) {
                forget(e.window);
            }
            break;
        }
        default:
            break;
    }
}

}  // namespace pellucine
