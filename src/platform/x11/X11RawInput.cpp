#include "platform/x11/X11RawInput.h"

#include <xcb/xinput.h>

#include <cstdlib>

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Reply.h"

namespace pellucine {

namespace {

// XIKeyRepeat in the flags of a key event.
constexpr uint32_t keyRepeatFlag = 1u << 16;

quint32 maskOf(unsigned streams) {
    quint32 mask = 0;
    if (streams & X11RawInput::keys) {
        mask |= XCB_INPUT_XI_EVENT_MASK_RAW_KEY_PRESS | XCB_INPUT_XI_EVENT_MASK_RAW_KEY_RELEASE;
    }
    if (streams & X11RawInput::motion) {
        mask |= XCB_INPUT_XI_EVENT_MASK_RAW_MOTION;
    }
    if (streams & X11RawInput::buttons) {
        mask |=
            XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_PRESS | XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_RELEASE;
    }
    return mask;
}

}  // namespace

X11RawInput::X11RawInput(X11Connection& connection) : connection_(connection) {
    xcb_connection_t* c = connection.get();
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(c, &xcb_input_id);
    if (extension == nullptr || extension->present == 0) {
        return;
    }
    // Raw events arrive during other clients' grabs only for clients of 2.1 or later.
    const auto version =
        takeReply(c, xcb_input_xi_query_version_reply, xcb_input_xi_query_version(c, 2, 2));
    if (!version || version->major_version < 2 ||
        (version->major_version == 2 && version->minor_version < 1)) {
        return;
    }
    opcode_ = extension->major_opcode;
    events_ = QObject::connect(&connection, &X11Connection::eventReceived,
                               [this](const xcb_generic_event_t& event) { handle(event); });
}

X11RawInput::~X11RawInput() {
    QObject::disconnect(events_);
    listeners_ = {};
    if (selected_ != 0 && !connection_.hasError()) {
        select();
        connection_.flush();
    }
}

Subscription X11RawInput::listen(unsigned streams, Handler handler) {
    if (!isAvailable()) {
        return {};
    }
    auto listener = std::make_shared<Listener>(Listener{streams, std::move(handler)});
    listeners_.add(listener);
    select();
    std::weak_ptr<const bool> alive = alive_;
    return Subscription([this, alive, listener = std::move(listener)]() mutable {
        listener.reset();
        if (!alive.expired()) {
            select();
        }
    });
}

void X11RawInput::select() {
    unsigned wanted = 0;
    listeners_.forEach([&](const Listener& listener) { wanted |= listener.streams; });
    if (wanted == selected_ || connection_.hasError()) {
        return;
    }
    selected_ = wanted;
    struct {
        xcb_input_event_mask_t head;
        uint32_t mask;
    } mask{{XCB_INPUT_DEVICE_ALL_MASTER, 1}, maskOf(wanted)};
    // Waits for the server: events caused after `listen` returns are heard.
    std::free(xcb_request_check(
        connection_.get(),
        xcb_input_xi_select_events_checked(connection_.get(), connection_.root(), 1, &mask.head)));
}

void X11RawInput::handle(const xcb_generic_event_t& event) {
    if ((event.response_type & 0x7f) != XCB_GE_GENERIC) {
        return;
    }
    const auto& generic = reinterpret_cast<const xcb_ge_generic_event_t&>(event);
    if (generic.extension != opcode_) {
        return;
    }
    const auto& raw = reinterpret_cast<const xcb_input_raw_key_press_event_t&>(event);
    Event out{Event::Kind::motion, raw.detail, raw.time, false};
    unsigned stream = 0;
    switch (generic.event_type) {
        case XCB_INPUT_RAW_KEY_PRESS:
            out.kind = Event::Kind::keyPress;
            out.isRepeat = (raw.flags & keyRepeatFlag) != 0;
            stream = keys;
            break;
        case XCB_INPUT_RAW_KEY_RELEASE:
            out.kind = Event::Kind::keyRelease;
            stream = keys;
            break;
        case XCB_INPUT_RAW_BUTTON_PRESS:
            out.kind = Event::Kind::buttonPress;
            stream = buttons;
            break;
        case XCB_INPUT_RAW_BUTTON_RELEASE:
            out.kind = Event::Kind::buttonRelease;
            stream = buttons;
            break;
        case XCB_INPUT_RAW_MOTION:
            stream = motion;
            break;
        default:
            return;
    }
    listeners_.forEach([&](const Listener& listener) {
        if (const Handler handler = (listener.streams & stream) != 0 ? listener.handler : nullptr) {
            handler(out);
        }
    });
}

}  // namespace pellucine
