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

#include <QHash>
#include <algorithm>

#include "platform/KeyModifiers.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11KeyCharacters.h"
#include "platform/x11/X11Reply.h"

namespace pellucine {

namespace {

constexpr quint32 aKey = 0;

// The first-level keysym of each group of the keys from `first` to `last`, from XKB; empty when
// the server does not answer.
QHash<xcb_keycode_t, QList<xcb_keysym_t>> firstLevels(xcb_connection_t* c, xcb_keycode_t first,
                                                      xcb_keycode_t last) {
    const auto count = static_cast<quint8>(last - first + 1);
    const auto reply =
        takeReply(c, xcb_xkb_get_map_reply,
                  xcb_xkb_get_map(c, XCB_XKB_ID_USE_CORE_KBD, 0, XCB_XKB_MAP_PART_KEY_SYMS, 0, 0,
                                  first, count, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0));
    QHash<xcb_keycode_t, QList<xcb_keysym_t>> levels;
    if (!reply || !(reply->present & XCB_XKB_MAP_PART_KEY_SYMS)) {
        return levels;
    }
    xcb_xkb_get_map_map_t map{};
    xcb_xkb_get_map_map_unpack(xcb_xkb_get_map_map(reply.get()), reply->nTypes, reply->nKeySyms,
                               reply->nKeyActions, reply->totalActions, reply->totalKeyBehaviors,
                               reply->virtualMods, reply->totalKeyExplicit, reply->totalModMapKeys,
                               reply->totalVModMapKeys, reply->present, &map);
    xcb_xkb_key_sym_map_iterator_t it = xcb_xkb_get_map_map_syms_rtrn_iterator(reply.get(), &map);
    for (int i = 0; it.rem > 0; ++i, xcb_xkb_key_sym_map_next(&it)) {
        const xcb_keysym_t* syms = xcb_xkb_key_sym_map_syms(it.data);
        const int groups = it.data->groupInfo & 0x0f;
        const int width = it.data->width;
        QList<xcb_keysym_t>& keyLevels = levels[static_cast<xcb_keycode_t>(reply->firstKeySym + i)];
        for (int group = 0; group < groups && (group + 1) * width <= it.data->nSyms; ++group) {
            keyLevels << syms[group * width];
        }
    }
    return levels;
}

}  // namespace

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

bool X11KeyEventSource::xkbReady() const {
    if (connection_.hasError()) {
        return false;
    }
    if (!xkbReady_) {
        xcb_connection_t* c = connection_.get();
        const auto use =
            takeReply(c, xcb_xkb_use_extension_reply,
                      xcb_xkb_use_extension(c, XCB_XKB_MAJOR_VERSION, XCB_XKB_MINOR_VERSION));
        xkbReady_ = use && use->supported;
    }
    return xkbReady_;
}

quint64 X11KeyEventSource::modifierFlags() const {
    xcb_connection_t* c = connection_.get();
    if (!xkbReady()) {
        return 0;
    }
    const auto state =
        takeReply(c, xcb_xkb_get_state_reply, xcb_xkb_get_state(c, XCB_XKB_ID_USE_CORE_KBD));
    if (!state) {
        return 0;
    }
    return map_.modifiers(state->mods) |
           ((state->lockedMods & XCB_MOD_MASK_LOCK) ? KeyModifiers::capsLock : 0);
}

std::optional<char32_t> X11KeyEventSource::keyCharacter(quint32 virtualKey) const {
    const std::optional<xcb_keycode_t> key = map_.keycode(virtualKey);
    const std::optional<xcb_keycode_t> a = map_.keycode(aKey);
    if (!key || !a || !xkbReady()) {
        return std::nullopt;
    }
    xcb_connection_t* c = connection_.get();
    const auto state =
        takeReply(c, xcb_xkb_get_state_reply, xcb_xkb_get_state(c, XCB_XKB_ID_USE_CORE_KBD));
    if (!state) {
        return std::nullopt;
    }
    const QHash<xcb_keycode_t, QList<xcb_keysym_t>> levels =
        firstLevels(c, std::min(*key, *a), std::max(*key, *a));
    return X11KeyCharacters::keyCharacter(levels.value(*key), levels.value(*a), state->group);
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
