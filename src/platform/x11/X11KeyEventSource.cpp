#include "platform/x11/X11KeyEventSource.h"

// The XKB header names a field `explicit`, which C++ reserves.
#ifdef __clang__
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wkeyword-macro"
#endif
#define explicit xkb_explicit
#include <xcb/xkb.h>
#undef explicit
#ifdef __clang__
#pragma clang diagnostic pop
#endif

#include "platform/KeyModifiers.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Reply.h"

namespace pellucine {

class X11KeyEventSource::Tap final : public KeyEventTap {
  public:
    Tap(std::shared_ptr<TapState> state, X11KeyEventSource& source)
        : state_(std::move(state)), source_(&source), alive_(source.alive_) {}
    ~Tap() override {
        state_.reset();
        if (!alive_.expired()) {
            source_->tapRemoved();
        }
    }
    void setEnabled(bool enabled) override { state_->enabled = enabled; }
    bool isEnabled() const override { return state_->enabled; }

  private:
    std::shared_ptr<TapState> state_;
    X11KeyEventSource* source_;
    std::weak_ptr<const bool> alive_;
};

X11KeyEventSource::X11KeyEventSource(X11Connection& connection, X11RawInput& rawInput)
    : connection_(connection), rawInput_(rawInput) {
    if (!connection.hasError()) {
        const X11KeyboardLayout layout = X11KeyboardLayout::read(connection.get());
        translator_.setLayout(layout);
        map_ = X11KeyboardMap(layout);
    }
    events_ = QObject::connect(&connection, &X11Connection::eventReceived,
                               [this](const xcb_generic_event_t& event) { handleEvent(event); });
}

X11KeyEventSource::~X11KeyEventSource() {
    QObject::disconnect(events_);
}

std::unique_ptr<KeyEventTap> X11KeyEventSource::createTap(Handler handler) {
    if (!rawInput_.isAvailable() || connection_.hasError()) {
        return nullptr;
    }
    if (!raw_.isActive()) {
        raw_ = rawInput_.listen(X11RawInput::keys,
                                [this](const X11RawInput::Event& event) { handleRaw(event); });
        if (!raw_.isActive()) {
            return nullptr;
        }
        // Keys already down when listening starts are known only by the modifiers they hold.
        translator_.reset(modifierFlags());
    }
    auto state = std::make_shared<TapState>(TapState{std::move(handler), true});
    taps_.add(state);
    return std::make_unique<Tap>(std::move(state), *this);
}

void X11KeyEventSource::tapRemoved() {
    if (taps_.isEmpty()) {
        raw_.reset();
    }
}

quint64 X11KeyEventSource::modifierFlags() const {
    xcb_connection_t* c = connection_.get();
    if (connection_.hasError()) {
        return 0;
    }
    if (!xkbReady_) {
        const auto use =
            takeReply(c, xcb_xkb_use_extension_reply,
                      xcb_xkb_use_extension(c, XCB_XKB_MAJOR_VERSION, XCB_XKB_MINOR_VERSION));
        xkbReady_ = use && use->supported;
        if (!xkbReady_) {
            return 0;
        }
    }
    const auto state =
        takeReply(c, xcb_xkb_get_state_reply, xcb_xkb_get_state(c, XCB_XKB_ID_USE_CORE_KBD));
    if (!state) {
        return 0;
    }
    return map_.modifiers(state->mods) |
           ((state->lockedMods & XCB_MOD_MASK_LOCK) ? KeyModifiers::capsLock : 0);
}

void X11KeyEventSource::handleRaw(const X11RawInput::Event& event) {
    using Kind = X11RawInput::Event::Kind;
    const auto keycode = static_cast<xcb_keycode_t>(event.detail);
    const std::optional<KeyEvent> translated =
        event.kind == Kind::keyPress     ? translator_.press(keycode, event.isRepeat)
        : event.kind == Kind::keyRelease ? translator_.release(keycode)
                                         : std::nullopt;
    if (!translated) {
        return;
    }
    taps_.forEach([&](const TapState& tap) {
        if (const Handler handler = tap.enabled ? tap.handler : nullptr) {
            handler(*translated);
        }
    });
}

void X11KeyEventSource::handleEvent(const xcb_generic_event_t& event) {
    if ((event.response_type & 0x7f) != XCB_MAPPING_NOTIFY) {
        return;
    }
    const auto& notify = reinterpret_cast<const xcb_mapping_notify_event_t&>(event);
    if ((notify.request == XCB_MAPPING_KEYBOARD || notify.request == XCB_MAPPING_MODIFIER) &&
        !connection_.hasError()) {
        const X11KeyboardLayout layout = X11KeyboardLayout::read(connection_.get());
        translator_.setLayout(layout);
        map_ = X11KeyboardMap(layout);
    }
}

}  // namespace pellucine
