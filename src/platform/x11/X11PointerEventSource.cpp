#include "platform/x11/X11PointerEventSource.h"

#include "platform/x11/X11Reply.h"

namespace pellucine {

namespace {

unsigned streamsFor(unsigned kinds) {
    unsigned streams = 0;
    if (kinds & PointerEventSource::moves) {
        streams |= X11RawInput::motion;
    }
    if (kinds & (PointerEventSource::clicks | PointerEventSource::scrolls)) {
        streams |= X11RawInput::buttons;
    }
    return streams;
}

}  // namespace

X11PointerEventSource::X11PointerEventSource(std::weak_ptr<X11DesktopState> state,
                                             X11RawInput& rawInput)
    : state_(std::move(state)), rawInput_(rawInput) {
    poll_.setInterval(pollIntervalMilliseconds);
    QObject::connect(&poll_, &QTimer::timeout, &context_, [this] { pollPosition(); });
}

X11PointerEventSource::~X11PointerEventSource() = default;

Subscription X11PointerEventSource::monitor(unsigned kinds, Handler handler) {
    if (!rawInput_.isAvailable() || state_.expired()) {
        return {};
    }
    auto monitor = std::make_shared<Monitor>(Monitor{kinds, std::move(handler)});
    monitors_.add(monitor);
    reselect();
    std::weak_ptr<const bool> alive = alive_;
    return Subscription([this, alive, monitor = std::move(monitor)]() mutable {
        monitor.reset();
        if (!alive.expired()) {
            reselect();
        }
    });
}

void X11PointerEventSource::reselect() {
    unsigned kinds = 0;
    monitors_.forEach([&](const Monitor& monitor) { kinds |= monitor.kinds; });
    const unsigned streams = streamsFor(kinds);
    if (streams == listening_) {
        return;
    }
    listening_ = streams;
    raw_.reset();
    if ((streams & X11RawInput::motion) != 0) {
        // The position when watching begins is the one a later change is measured from.
        lastMove_ = pointerLocation();
        poll_.start();
    } else {
        poll_.stop();
        lastMove_.reset();
    }
    if (streams != 0) {
        raw_ = rawInput_.listen(streams,
                                [this](const X11RawInput::Event& event) { handleRaw(event); });
    }
}

GlobalPoint X11PointerEventSource::pointerLocation() const {
    const auto state = state_.lock();
    if (!state || state->connection().hasError()) {
        return {};
    }
    xcb_connection_t* c = state->connection().get();
    const auto reply =
        takeReply(c, xcb_query_pointer_reply, xcb_query_pointer(c, state->connection().root()));
    if (!reply) {
        return {};
    }
    return state->space().toGlobal(QPoint(reply->root_x, reply->root_y));
}

std::optional<PointerEvent> X11PointerEventSource::buttonEvent(quint32 button, bool pressed) {
    using Type = PointerEvent::Type;
    switch (button) {
        case 1:
            return PointerEvent{pressed ? Type::leftDown : Type::leftUp};
        case 3:
            return PointerEvent{pressed ? Type::rightDown : Type::rightUp};
        case 4:
        case 5:
        case 6:
        case 7: {
            if (!pressed) {
                return std::nullopt;
            }
            PointerEvent scroll{Type::scrolled};
            const double step = (button == 4 || button == 6) ? 1 : -1;
            (button <= 5 ? scroll.scrollY : scroll.scrollX) = step;
            return scroll;
        }
        default:
            return PointerEvent{pressed ? Type::otherDown : Type::otherUp};
    }
}

void X11PointerEventSource::handleRaw(const X11RawInput::Event& event) {
    using Kind = X11RawInput::Event::Kind;
    if (event.kind == Kind::motion) {
        if (!motionQueued_) {
            motionQueued_ = true;
            QMetaObject::invokeMethod(
                &context_, [this] { deliverMotion(); }, Qt::QueuedConnection);
        }
        return;
    }
    if (event.kind != Kind::buttonPress && event.kind != Kind::buttonRelease) {
        return;
    }
    if (const auto button = buttonEvent(event.detail, event.kind == Kind::buttonPress)) {
        deliver(button->type == PointerEvent::Type::scrolled ? scrolls : clicks, *button);
    }
}

void X11PointerEventSource::pollPosition() {
    if (motionQueued_) {
        return;
    }
    if (pointerLocation() != lastMove_) {
        deliverMotion();
    }
}

void X11PointerEventSource::deliverMotion() {
    motionQueued_ = false;
    deliver(moves, PointerEvent{PointerEvent::Type::moved});
}

void X11PointerEventSource::deliver(unsigned kind, PointerEvent event) {
    bool wanted = false;
    monitors_.forEach([&](const Monitor& monitor) { wanted |= (monitor.kinds & kind) != 0; });
    if (!wanted) {
        return;
    }
    event.location = pointerLocation();
    if (kind == moves) {
        lastMove_ = event.location;
    }
    monitors_.forEach([&](const Monitor& monitor) {
        if (const Handler handler = (monitor.kinds & kind) != 0 ? monitor.handler : nullptr) {
            handler(event);
        }
    });
}

}  // namespace pellucine
