#include "platform/x11/X11GlobalHotkeys.h"

#include <QDebug>
#include <cstdlib>

#include "platform/KeyModifiers.h"
#include "platform/x11/X11Connection.h"

namespace pellucine {

namespace {

// The bits of a key state that grabs match on.
constexpr quint16 keyStateModifiers = 0xff;

}  // namespace

X11GlobalHotkeys::X11GlobalHotkeys(xcb_connection_t* connection, xcb_window_t root)
    : connection_(connection), root_(root) {
    if (!connectionFailed()) {
        map_ = X11KeyboardMap(X11KeyboardLayout::read(connection_));
    }
}

X11GlobalHotkeys::X11GlobalHotkeys(X11Connection& connection)
    : X11GlobalHotkeys(connection.get(), connection.root()) {
    events_ = QObject::connect(&connection, &X11Connection::eventReceived,
                               [this](const xcb_generic_event_t& event) { handleEvent(event); });
}

X11GlobalHotkeys::~X11GlobalHotkeys() {
    QObject::disconnect(events_);
    if (connectionFailed()) {
        return;
    }
    const QList<quint16> variants = map_.lockVariants();
    for (const auto& [grab, count] : shares_) {
        ungrab(grab, variants);
    }
    xcb_flush(connection_);
}

bool X11GlobalHotkeys::connectionFailed() const {
    return xcb_connection_has_error(connection_) != 0;
}

HotkeyRegistrationResult X11GlobalHotkeys::registerHotkey(quint32 keyCode, quint64 modifiers,
                                                          PressHandler onPress) {
    using Status = HotkeyRegistrationResult::Status;
    if (connectionFailed()) {
        return {Status::failed, 0, connectionFailedCode};
    }
    const auto keycode = map_.keycode(keyCode);
    if (!keycode) {
        return {Status::keyUnavailable, 0, keyUnavailableCode};
    }
    const Grab wanted{*keycode, map_.modifierMask(modifiers & KeyModifiers::all)};
    if (const auto error = acquire(wanted)) {
        return {*error == XCB_ACCESS ? Status::heldByAnotherClient : Status::failed, 0, *error};
    }
    const Handle handle = nextHandle_++;
    registrations_.emplace(
        handle, Registration{keyCode, modifiers & KeyModifiers::all, wanted, std::move(onPress)});
    return {Status::registered, handle, 0};
}

void X11GlobalHotkeys::unregisterHotkey(Handle handle) {
    const auto it = registrations_.find(handle);
    if (it == registrations_.end()) {
        return;
    }
    const std::optional<Grab> grab = it->second.grab;
    registrations_.erase(it);
    if (grab) {
        release(*grab);
    }
}

std::optional<qint32> X11GlobalHotkeys::acquire(const Grab& wanted) {
    if (const auto it = shares_.find(wanted); it != shares_.end()) {
        ++it->second;
        return std::nullopt;
    }
    if (const auto error = grab(wanted)) {
        return error;
    }
    shares_[wanted] = 1;
    return std::nullopt;
}

void X11GlobalHotkeys::release(const Grab& held) {
    const auto it = shares_.find(held);
    if (it == shares_.end() || --it->second > 0) {
        return;
    }
    shares_.erase(it);
    if (!connectionFailed()) {
        ungrab(held, map_.lockVariants());
        xcb_flush(connection_);
    }
}

std::optional<qint32> X11GlobalHotkeys::grab(const Grab& wanted) {
    const QList<quint16> variants = map_.lockVariants();
    QList<xcb_void_cookie_t> cookies;
    for (const quint16 variant : variants) {
        cookies << xcb_grab_key_checked(connection_, 0, root_, wanted.second | variant,
                                        wanted.first, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    }
    std::optional<qint32> firstError;
    QList<quint16> made;
    for (qsizetype i = 0; i < cookies.size(); ++i) {
        if (xcb_generic_error_t* error = xcb_request_check(connection_, cookies[i])) {
            if (!firstError) {
                firstError = error->error_code;
            }
            std::free(error);
        } else {
            made << variants[i];
        }
    }
    if (firstError) {
        ungrab(wanted, made);
    }
    if (!firstError && connectionFailed()) {
        firstError = connectionFailedCode;
    }
    xcb_flush(connection_);
    return firstError;
}

void X11GlobalHotkeys::ungrab(const Grab& held, const QList<quint16>& lockVariants) {
    for (const quint16 variant : lockVariants) {
        xcb_ungrab_key(connection_, held.first, root_, held.second | variant);
    }
}

void X11GlobalHotkeys::handleEvent(const xcb_generic_event_t& event) {
    switch (event.response_type & 0x7f) {
        case XCB_KEY_PRESS: {
            const auto& press = reinterpret_cast<const xcb_key_press_event_t&>(event);
            const bool repeat = lastRelease_ && lastRelease_->first == press.detail &&
                                lastRelease_->second == press.time;
            lastRelease_.reset();
            if (!repeat) {
                pressed(
                    {press.detail, quint16(press.state & keyStateModifiers & ~map_.lockMask())});
            }
            break;
        }
        case XCB_KEY_RELEASE: {
            const auto& release = reinterpret_cast<const xcb_key_release_event_t&>(event);
            lastRelease_ = {release.detail, release.time};
            break;
        }
        case XCB_MAPPING_NOTIFY: {
            const auto& notify = reinterpret_cast<const xcb_mapping_notify_event_t&>(event);
            if (notify.request == XCB_MAPPING_KEYBOARD || notify.request == XCB_MAPPING_MODIFIER) {
                remap();
            }
            break;
        }
        default:
            break;
    }
}

void X11GlobalHotkeys::pressed(const Grab& grab) {
    QList<Handle> matching;
    for (const auto& [handle, registration] : registrations_) {
        if (registration.grab == grab) {
            matching << handle;
        }
    }
    for (const Handle handle : matching) {
        const auto it = registrations_.find(handle);
        if (it == registrations_.end() || !it->second.onPress) {
            continue;
        }
        // A copy: the handler may end its own registration.
        const PressHandler onPress = it->second.onPress;
        onPress();
    }
}

void X11GlobalHotkeys::remap() {
    if (connectionFailed()) {
        return;
    }
    const QList<quint16> oldVariants = map_.lockVariants();
    map_ = X11KeyboardMap(X11KeyboardLayout::read(connection_));
    // The server also announces mappings that did not change (a key from another keyboard):
    // grabs that stay as they are are kept, so that no press is lost in between.
    const bool sameLocks = map_.lockVariants() == oldVariants;
    std::map<Grab, int> wanted;
    for (auto& [handle, registration] : registrations_) {
        registration.grab.reset();
        if (const auto keycode = map_.keycode(registration.keyCode)) {
            registration.grab = Grab{*keycode, map_.modifierMask(registration.modifiers)};
            ++wanted[*registration.grab];
        }
    }
    for (const auto& [held, count] : shares_) {
        if (!sameLocks || !wanted.contains(held)) {
            ungrab(held, oldVariants);
        }
    }
    std::map<Grab, int> kept;
    for (const auto& [next, count] : wanted) {
        if (!sameLocks || !shares_.contains(next)) {
            if (const auto error = grab(next)) {
                qWarning(
                    "A global hotkey could not be grabbed again after a keyboard change (X "
                    "error %d).",
                    *error);
                for (auto& [handle, registration] : registrations_) {
                    if (registration.grab == next) {
                        registration.grab.reset();
                    }
                }
                continue;
            }
        }
        kept[next] = count;
    }
    shares_ = std::move(kept);
    xcb_flush(connection_);
}

}  // namespace pellucine
