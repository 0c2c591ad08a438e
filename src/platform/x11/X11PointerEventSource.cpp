#include "platform/x11/X11PointerEventSource.h"

#include <unistd.h>
#include <xcb/xcbext.h>

#include <QAbstractEventDispatcher>
#include <vector>

#include "platform/x11/X11Properties.h"
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

// Where a motion or crossing event puts the pointer, when it is on the connection's screen.
std::optional<QPoint> positionOf(const xcb_generic_event_t& event, xcb_window_t root) {
    switch (event.response_type & 0x7f) {
        case XCB_MOTION_NOTIFY: {
            const auto& motion = reinterpret_cast<const xcb_motion_notify_event_t&>(event);
            if (motion.root == root && motion.same_screen != 0) {
                return QPoint(motion.root_x, motion.root_y);
            }
            return std::nullopt;
        }
        case XCB_ENTER_NOTIFY:
        case XCB_LEAVE_NOTIFY: {
            const auto& crossing = reinterpret_cast<const xcb_enter_notify_event_t&>(event);
            if (crossing.root == root && (crossing.same_screen_focus & 2) != 0) {
                return QPoint(crossing.root_x, crossing.root_y);
            }
            return std::nullopt;
        }
        default:
            return std::nullopt;
    }
}

}  // namespace

X11PointerEventSource::X11PointerEventSource(std::weak_ptr<X11DesktopState> state,
                                             X11RawInput& rawInput)
    : state_(std::move(state)), rawInput_(rawInput) {
    QObject::connect(&poll_, &QTimer::timeout, &context_, [this] { requestPosition(false); });
}

X11PointerEventSource::~X11PointerEventSource() {
    QObject::disconnect(events_);
    QObject::disconnect(turnEnds_);
    const auto state = state_.lock();
    if (!state || state->connection().hasError()) {
        return;
    }
    forgetRequest();
    if ((listening_ & X11RawInput::motion) != 0) {
        watchRoot(false);
        state->connection().flush();
    }
}

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
    const bool wasWatchingMoves = (listening_ & X11RawInput::motion) != 0;
    const bool watchesMoves = (streams & X11RawInput::motion) != 0;
    listening_ = streams;
    raw_.reset();
    if (watchesMoves && !wasWatchingMoves) {
        // The position when watching begins is the one a later change is measured from.
        lastMove_ = readPosition();
        watchRoot(true);
        if (const auto state = state_.lock()) {
            events_ =
                QObject::connect(&state->connection(), &X11Connection::eventReceived, &context_,
                                 [this](const xcb_generic_event_t& event) { handleEvent(event); });
        }
        if (auto* dispatcher = QAbstractEventDispatcher::instance(context_.thread())) {
            turnEnds_ = QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock,
                                         &context_, [this] { takePosition(); });
        }
        // A loop that never blocks (one driven by processEvents) still takes the answer once
        // the socket has been read.
        if (const auto state = state_.lock()) {
            reads_ = QObject::connect(&state->connection(), &X11Connection::socketRead, &context_,
                                      [this] { takePosition(); });
        }
        repoll();
    } else if (!watchesMoves && wasWatchingMoves) {
        QObject::disconnect(events_);
        QObject::disconnect(turnEnds_);
        QObject::disconnect(reads_);
        watchRoot(false);
        forgetRequest();
        poll_.stop();
        lastMove_.reset();
    }
    if (streams != 0) {
        raw_ = rawInput_.listen(streams,
                                [this](const X11RawInput::Event& event) { handleRaw(event); });
    }
}

void X11PointerEventSource::watchRoot(bool watch) {
    const auto state = state_.lock();
    if (!state || state->connection().hasError()) {
        return;
    }
    X11Connection& connection = state->connection();
    const xcb_window_t root = connection.root();
    const uint32_t kept = connection.keptEvents(root) & ~uint32_t(XCB_EVENT_MASK_POINTER_MOTION);
    connection.keepEvents(root, watch ? kept | XCB_EVENT_MASK_POINTER_MOTION : kept);
    // What the root's readers select on it, with what is kept.
    connection.selectEvents(root, XCB_EVENT_MASK_PROPERTY_CHANGE);
}

std::optional<QPoint> X11PointerEventSource::readPosition() const {
    const auto state = state_.lock();
    if (!state || state->connection().hasError()) {
        return std::nullopt;
    }
    xcb_connection_t* c = state->connection().get();
    const auto reply =
        takeReply(c, xcb_query_pointer_reply, xcb_query_pointer(c, state->connection().root()));
    if (!reply) {
        return std::nullopt;
    }
    return QPoint(reply->root_x, reply->root_y);
}

bool X11PointerEventSource::isOwnWindowUnderPointer() const {
    const auto state = state_.lock();
    if (!state || state->connection().hasError()) {
        return false;
    }
    xcb_connection_t* c = state->connection().get();
    // The windows under the pointer from the root's child down (a frame, a tray holding an
    // embedded icon, the icon); a reparenting window manager puts clients a level or two down.
    constexpr int deepest = 12;
    std::vector<xcb_window_t> path;
    xcb_window_t window = state->connection().root();
    while (path.size() < deepest) {
        const auto reply = takeReply(c, xcb_query_pointer_reply, xcb_query_pointer(c, window));
        if (!reply || reply->same_screen == 0 || reply->child == XCB_NONE) {
            break;
        }
        window = reply->child;
        path.push_back(window);
    }
    const xcb_atom_t pidAtom = state->connection().atoms()._NET_WM_PID;
    std::vector<xcb_get_property_cookie_t> asked;
    asked.reserve(path.size());
    for (const xcb_window_t step : path) {
        asked.push_back(requestProperty(c, step, pidAtom));
    }
    const auto own = static_cast<quint32>(getpid());
    bool found = false;
    for (const xcb_get_property_cookie_t cookie : asked) {
        const std::optional<X11Property> pid = takeProperty(c, cookie);
        found = found || (pid && pid->type == XCB_ATOM_CARDINAL && pid->first32() == own);
    }
    return found;
}

GlobalPoint X11PointerEventSource::pointerLocation() const {
    const auto state = state_.lock();
    const std::optional<QPoint> position = readPosition();
    return state && position ? state->space().toGlobal(*position) : GlobalPoint{};
}

void X11PointerEventSource::forgetRequest() {
    const auto state = state_.lock();
    if (request_ && state && !state->connection().hasError()) {
        xcb_discard_reply(state->connection().get(), *request_);
    }
    request_.reset();
    movedSinceRequest_ = false;
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
        positionHeard_ = false;
        if (!motionQueued_) {
            motionQueued_ = true;
            QMetaObject::invokeMethod(
                &context_, [this] { rawMotionSettled(); }, Qt::QueuedConnection);
        }
        return;
    }
    if (event.kind != Kind::buttonPress && event.kind != Kind::buttonRelease) {
        return;
    }
    const auto button = buttonEvent(event.detail, event.kind == Kind::buttonPress);
    const unsigned kind = button && button->type == PointerEvent::Type::scrolled ? scrolls : clicks;
    if (button && isWanted(kind)) {
        PointerEvent located = *button;
        located.location = pointerLocation();
        located.toOwnWindow = kind == clicks && isOwnWindowUnderPointer();
        deliver(kind, located);
    }
}

void X11PointerEventSource::handleEvent(const xcb_generic_event_t& event) {
    const auto state = state_.lock();
    if (!state) {
        return;
    }
    if (const auto position = positionOf(event, state->connection().root())) {
        positionHeard_ = true;
        moved(*position);
    }
}

void X11PointerEventSource::rawMotionSettled() {
    motionQueued_ = false;
    takePosition();
    if (!positionHeard_) {
        requestPosition(true);
    }
}

void X11PointerEventSource::requestPosition(bool moved) {
    const auto state = state_.lock();
    if (!state || state->connection().hasError()) {
        return;
    }
    if (request_) {
        movedSinceRequest_ = movedSinceRequest_ || moved;
        return;
    }
    X11Connection& connection = state->connection();
    request_ = xcb_query_pointer(connection.get(), connection.root()).sequence;
    requestMoved_ = moved;
    movedSinceRequest_ = false;
    connection.flush();
}

void X11PointerEventSource::takePosition() {
    const auto state = state_.lock();
    if (!request_ || !state) {
        return;
    }
    void* answer = nullptr;
    xcb_generic_error_t* error = nullptr;
    if (xcb_poll_for_reply(state->connection().get(), *request_, &answer, &error) == 0) {
        return;
    }
    request_.reset();
    std::free(error);
    const X11Reply<xcb_query_pointer_reply_t> reply(
        static_cast<xcb_query_pointer_reply_t*>(answer));
    const bool again = movedSinceRequest_;
    if (reply && reply->same_screen != 0) {
        const QPoint position(reply->root_x, reply->root_y);
        if (requestMoved_ || position != lastMove_) {
            moved(position);
        }
    }
    if (again) {
        requestPosition(true);
    }
}

void X11PointerEventSource::moved(QPoint rootPixels) {
    const auto state = state_.lock();
    if (!state || (listening_ & X11RawInput::motion) == 0) {
        return;
    }
    lastMove_ = rootPixels;
    PointerEvent event{PointerEvent::Type::moved};
    event.location = state->space().toGlobal(rootPixels);
    deliver(moves, event);
    repoll();
}

void X11PointerEventSource::repoll() {
    if ((listening_ & X11RawInput::motion) == 0) {
        return;
    }
    const std::optional<X11PointerPoll::Dock> dock = dock_ ? dock_() : std::nullopt;
    const std::optional<int> interval =
        X11PointerPoll::intervalMilliseconds(lastMove_, dock, rawInput_.isAvailable());
    if (!interval) {
        poll_.stop();
    } else if (!poll_.isActive() || poll_.interval() != *interval) {
        poll_.start(*interval);
    }
}

bool X11PointerEventSource::isWanted(unsigned kind) const {
    bool wanted = false;
    monitors_.forEach([&](const Monitor& monitor) { wanted |= (monitor.kinds & kind) != 0; });
    return wanted;
}

void X11PointerEventSource::deliver(unsigned kind, PointerEvent event) {
    monitors_.forEach([&](const Monitor& monitor) {
        if (const Handler handler = (monitor.kinds & kind) != 0 ? monitor.handler : nullptr) {
            handler(event);
        }
    });
}

}  // namespace pellucine
