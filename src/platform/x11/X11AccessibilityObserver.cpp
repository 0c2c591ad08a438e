#include "platform/x11/X11AccessibilityObserver.h"

#include <QTimer>

#include "platform/AccessibilityNames.h"

namespace pellucine {

namespace {

// Notifications registered on the application element rather than on one of its windows.
bool isApplicationNotification(QStringView notification) {
    return notification == ax::windowCreated || notification == ax::focusedWindowChanged;
}

}  // namespace

QStringView X11AccessibilityObserver::notificationFor(X11WindowEvent::Kind kind) {
    using Kind = X11WindowEvent::Kind;
    switch (kind) {
        case Kind::created:
            return ax::windowCreated;
        case Kind::focusChanged:
            return ax::focusedWindowChanged;
        case Kind::destroyed:
            return ax::elementDestroyed;
        case Kind::miniaturized:
            return ax::windowMiniaturized;
        case Kind::deminiaturized:
            return ax::windowDeminiaturized;
        case Kind::titleChanged:
            return ax::titleChanged;
        case Kind::resized:
            return ax::resized;
        case Kind::moved:
            return ax::moved;
    }
    return {};
}

X11AccessibilityObserver::X11AccessibilityObserver(std::weak_ptr<X11DesktopState> state, qint32 pid,
                                                   Callback callback)
    : state_(std::move(state)),
      pid_(pid),
      delivery_(std::make_shared<Delivery>(Delivery{false, std::move(callback)})) {}

X11AccessibilityObserver::~X11AccessibilityObserver() {
    stop();
}

AccessibilityStatus X11AccessibilityObserver::addNotification(const ElementRef& element,
                                                              QStringView notification) {
    const auto* x11 = dynamic_cast<const X11Element*>(element.get());
    const auto state = state_.lock();
    if (x11 == nullptr || x11->pid() != pid_ || x11->kind() == X11Element::Kind::closeButton ||
        !state) {
        return AccessibilityStatus::failure;
    }
    const bool onApplication = x11->kind() == X11Element::Kind::application;
    if (onApplication != isApplicationNotification(notification)) {
        return AccessibilityStatus::failure;
    }
    registrations_.emplace(onApplication ? XCB_NONE : x11->window(), notification.toString());
    return AccessibilityStatus::success;
}

void X11AccessibilityObserver::start() {
    const auto state = state_.lock();
    if (!state || delivery_->started) {
        return;
    }
    delivery_->started = true;
    connection_ = QObject::connect(&state->events(), &X11WindowEvents::windowEvent,
                                   [this](const X11WindowEvent& event) { handle(event); });
}

void X11AccessibilityObserver::stop() {
    delivery_->started = false;
    QObject::disconnect(connection_);
}

void X11AccessibilityObserver::handle(const X11WindowEvent& event) {
    if (event.pid == pid_) {
        post(event.window, notificationFor(event.kind));
    }
    if (event.kind == X11WindowEvent::Kind::destroyed) {
        // A window gone takes its registrations along; its number may come back for another.
        // So do windows registered on only after their end was told (the registration for a new
        // window comes a turn or two after it was announced): the events follow them no more.
        const auto state = state_.lock();
        const X11WindowEvents* events =
            state && state->events().isRunning() ? &state->events() : nullptr;
        std::erase_if(registrations_, [&](const Registration& r) {
            return r.first == event.window ||
                   (r.first != XCB_NONE && events != nullptr && !events->follows(r.first));
        });
    }
}

void X11AccessibilityObserver::post(xcb_window_t subject, QStringView notification) {
    const bool applicationNotification = isApplicationNotification(notification);
    const xcb_window_t registeredOn = applicationNotification ? XCB_NONE : subject;
    if (!registrations_.contains({registeredOn, notification.toString()})) {
        return;
    }
    const auto state = state_.lock();
    if (!state) {
        return;
    }
    const ElementRef element = X11Element::make(state_, X11Element::Kind::window, pid_, subject);
    QTimer::singleShot(
        0, &state->events(),
        [delivery = std::weak_ptr<Delivery>(delivery_), element, name = notification.toString()] {
            const auto d = delivery.lock();
            if (d && d->started && d->callback) {
                d->callback(element, name);
            }
        });
}

}  // namespace pellucine
