#include "platform/x11/X11Connection.h"

#include <QAbstractEventDispatcher>
#include <QPointer>
#include <algorithm>

#include "platform/x11/X11Error.h"
#include "platform/x11/X11Properties.h"

namespace pellucine {

X11Connection::X11Connection(const QByteArray& displayName, QObject* parent) : QObject(parent) {
    displayName_ = displayName.isEmpty() ? qgetenv("DISPLAY") : displayName;
    int screenNumber = 0;
    connection_.reset(
        xcb_connect(displayName_.isEmpty() ? nullptr : displayName_.constData(), &screenNumber));
    if (xcb_connection_has_error(connection_.get()) != 0) {
        throw X11Error(QStringLiteral("Cannot connect to the X server “%1”.")
                           .arg(QString::fromLocal8Bit(displayName_)));
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection_.get()));
    for (int i = 0; i < screenNumber && it.rem > 0; ++i) {
        xcb_screen_next(&it);
    }
    if (it.rem == 0) {
        throw X11Error(QStringLiteral("The X server “%1” has no screen %2.")
                           .arg(QString::fromLocal8Bit(displayName_))
                           .arg(screenNumber));
    }
    screen_ = it.data;
    atoms_ = X11Atoms::intern(connection_.get());

    // An invisible window of our own whose property changes yield server timestamps.
    timeWindow_ = xcb_generate_id(connection_.get());
    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(connection_.get(), XCB_COPY_FROM_PARENT, timeWindow_, root(), -1, -1, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &mask);
    selectEvents(root(), XCB_EVENT_MASK_PROPERTY_CHANGE);
    readSupported();

    notifier_ = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(connection_.get()),
                                                  QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this,
            &X11Connection::dispatchPendingEvents);
    // Replies can carry events into xcb's queue without the socket becoming readable again.
    if (auto* dispatcher = QAbstractEventDispatcher::instance(thread())) {
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this,
                &X11Connection::dispatchPendingEvents);
    }
    flush();
}

X11Connection::~X11Connection() {
    notifier_.reset();
    if (!hasError()) {
        xcb_destroy_window(connection_.get(), timeWindow_);
        xcb_flush(connection_.get());
    }
}

bool X11Connection::hasError() const {
    return xcb_connection_has_error(connection_.get()) != 0;
}

bool X11Connection::supports(xcb_atom_t hint) const {
    return hint != XCB_NONE && supported_.contains(hint);
}

void X11Connection::flush() {
    xcb_flush(connection_.get());
}

void X11Connection::sync() {
    std::free(xcb_get_input_focus_reply(connection_.get(), xcb_get_input_focus(connection_.get()),
                                        nullptr));
}

void X11Connection::selectEvents(xcb_window_t window, uint32_t mask) {
    const uint32_t all = mask | keptEvents_.value(window, XCB_EVENT_MASK_NO_EVENT);
    xcb_change_window_attributes(connection_.get(), window, XCB_CW_EVENT_MASK, &all);
}

void X11Connection::keepEvents(xcb_window_t window, uint32_t mask) {
    if (mask == XCB_EVENT_MASK_NO_EVENT) {
        keptEvents_.remove(window);
    } else {
        keptEvents_.insert(window, mask);
    }
}

void X11Connection::readSupported() {
    const auto cookie = requestProperty(get(), root(), atoms_._NET_SUPPORTED);
    const auto property = takeProperty(get(), cookie);
    supported_ = property ? property->values32() : QList<quint32>{};
}

void X11Connection::count(const xcb_generic_event_t& event) {
    ++received_;
    if (!isChange_ || isChange_(event)) {
        ++changes_;
    }
}

void X11Connection::hold(X11Reply<xcb_generic_event_t> event) {
    count(*event);
    held_.push_back(std::move(event));
    if (!dispatchPosted_) {
        dispatchPosted_ = true;
        QMetaObject::invokeMethod(this, &X11Connection::dispatchPendingEvents,
                                  Qt::QueuedConnection);
    }
}

quint64 X11Connection::receivedEventCount() {
    while (X11Reply<xcb_generic_event_t> event{xcb_poll_for_event(connection_.get())}) {
        hold(std::move(event));
    }
    return received_;
}

quint64 X11Connection::receivedChangeCount() {
    receivedEventCount();
    return changes_;
}

void X11Connection::setChangeFilter(std::function<bool(const xcb_generic_event_t&)> isChange) {
    isChange_ = std::move(isChange);
}

bool X11Connection::dispatchPendingEvents() {
    dispatchPosted_ = false;
    // A share of what has arrived by now and no more; the rest waits for the next turn of the
    // event loop, so that a client flooding the server with changes cannot keep the loop from
    // its other work.
    while (X11Reply<xcb_generic_event_t> event{xcb_poll_for_event(connection_.get())}) {
        count(*event);
        held_.push_back(std::move(event));
    }
    QPointer<X11Connection> self(this);
    emit socketRead();
    if (!self) {
        return false;
    }
    for (std::size_t budget = std::min(held_.size(), eventsPerTurn);
         self && budget > 0 && !held_.empty(); --budget) {
        const X11Reply<xcb_generic_event_t> event = std::move(held_.front());
        held_.pop_front();
        handle(*event);
    }
    if (!self) {
        return false;
    }
    // Replies read meanwhile may have carried events into xcb's queue, where the socket no
    // longer wakes the loop for them.
    if (X11Reply<xcb_generic_event_t> event{xcb_poll_for_queued_event(connection_.get())}) {
        hold(std::move(event));
    } else if (!held_.empty() && !dispatchPosted_) {
        dispatchPosted_ = true;
        QMetaObject::invokeMethod(this, &X11Connection::dispatchPendingEvents,
                                  Qt::QueuedConnection);
    }
    const bool drained = held_.empty();
    if (hasError() && !lost_) {
        lost_ = true;
        notifier_->setEnabled(false);
        emit connectionLost();
    }
    return drained;
}

void X11Connection::handle(const xcb_generic_event_t& event) {
    if (event.response_type == 0) {
        // An error of a request whose reply nobody awaits, most often a window that went away
        // between two requests: the readers and the event translator cope with those.
        return;
    }
    noteTime(event);
    if ((event.response_type & 0x7f) == XCB_PROPERTY_NOTIFY) {
        const auto& notify = reinterpret_cast<const xcb_property_notify_event_t&>(event);
        if (notify.window == root() && notify.atom == atoms_._NET_SUPPORTED) {
            readSupported();
        }
    }
    emit eventReceived(event);
}

void X11Connection::noteTime(const xcb_generic_event_t& event) {
    switch (event.response_type & 0x7f) {
        case XCB_PROPERTY_NOTIFY:
            lastEventTime_ = reinterpret_cast<const xcb_property_notify_event_t&>(event).time;
            break;
        case XCB_KEY_PRESS:
        case XCB_KEY_RELEASE:
        case XCB_BUTTON_PRESS:
        case XCB_BUTTON_RELEASE:
            lastEventTime_ = reinterpret_cast<const xcb_key_press_event_t&>(event).time;
            break;
        default:
            break;
    }
}

xcb_timestamp_t X11Connection::serverTime() {
    // Appending nothing to a property of our own window still yields a PropertyNotify, stamped
    // with the server's time.
    xcb_change_property(connection_.get(), XCB_PROP_MODE_APPEND, timeWindow_,
                        atoms_._PELLUCINE_TIMESTAMP, XCB_ATOM_STRING, 8, 0, nullptr);
    xcb_flush(connection_.get());
    while (true) {
        X11Reply<xcb_generic_event_t> event(xcb_wait_for_event(connection_.get()));
        if (!event) {
            return XCB_CURRENT_TIME;
        }
        if ((event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY) {
            const auto* notify = reinterpret_cast<const xcb_property_notify_event_t*>(event.get());
            if (notify->window == timeWindow_ && notify->atom == atoms_._PELLUCINE_TIMESTAMP) {
                lastEventTime_ = notify->time;
                return notify->time;
            }
        }
        hold(std::move(event));
    }
}

}  // namespace pellucine
