#include "platform/x11/X11DrawWatch.h"

#include "platform/x11/X11Reply.h"

namespace pellucine {

X11DrawWatch::X11DrawWatch(X11Connection& connection, X11WindowEvents& events,
                           const ContinuousClock& clock, QObject* parent)
    : QObject(parent), connection_(connection), clock_(clock) {
    // Asked now, answered by the first use: no round trip at start.
    xcb_prefetch_extension_data(connection_.get(), &xcb_damage_id);
    connect(&connection_, &X11Connection::eventReceived, this, &X11DrawWatch::handle);
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

std::optional<Duration> X11DrawWatch::wait(xcb_window_t window) {
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
    followed.exposed = false;
    arm(followed, window);
}

void X11DrawWatch::shown(xcb_window_t window) {
    Followed& followed = followed_[window];
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

void X11DrawWatch::drawn(xcb_window_t window) {
    const auto it = followed_.find(window);
    if (it == followed_.end() || !it->settling) {
        return;
    }
    const ContinuousInstant now = clock_.now();
    if (it->settling->isSettled(now)) {
        end(window);
    } else if (it->exposed) {
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
            end(event.window, /*destroyed=*/true);
            break;
        default:
            break;
    }
}

void X11DrawWatch::handle(const xcb_generic_event_t& event) {
    if (isDamageNotice(event)) {
        const auto& notice = reinterpret_cast<const xcb_damage_notify_event_t&>(event);
        if (const auto it = followed_.constFind(notice.drawable); it != followed_.cend() &&
                                                                  it->damage == notice.damage &&
                                                                  event.full_sequence != it->made) {
            drawn(notice.drawable);
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
        case XCB_DESTROY_NOTIFY: {
            const auto& e = reinterpret_cast<const xcb_destroy_notify_event_t&>(event);
            if (e.event == e.window) {
                end(e.window, /*destroyed=*/true);
            }
            break;
        }
        default:
            break;
    }
}

}  // namespace pellucine
