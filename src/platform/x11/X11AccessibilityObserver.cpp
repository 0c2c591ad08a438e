#include "platform/x11/X11AccessibilityObserver.h"

#include <QTimer>

#include "platform/AccessibilityNames.h"

namespace pellucine {

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
    if (x11 == nullptr || x11->pid() != pid_ || x11->kind() == X11Element::Kind::closeButton ||
        state_.expired()) {
        return AccessibilityStatus::failure;
    }
    const bool onApplication = x11->kind() == X11Element::Kind::application;
    const bool applicationNotification =
        notification == ax::windowCreated || notification == ax::focusedWindowChanged;
    if (onApplication != applicationNotification) {
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
    using Kind = X11WindowEvent::Kind;
    if (event.pid != pid_) {
        return;
    }
    switch (event.kind) {
        case Kind::created:
            if (registrations_.contains({XCB_NONE, ax::windowCreated.toString()})) {
                post(event.window, ax::windowCreated);
            }
            return;
        case Kind::focusChanged:
            if (registrations_.contains({XCB_NONE, ax::focusedWindowChanged.toString()})) {
                post(event.window, ax::focusedWindowChanged);
            }
            return;
        case Kind::destroyed:
            post(event.window, ax::elementDestroyed);
            return;
        case Kind::miniaturized:
            post(event.window, ax::windowMiniaturized);
            return;
        case Kind::deminiaturized:
            post(event.window, ax::windowDeminiaturized);
            return;
        case Kind::titleChanged:
            post(event.window, ax::titleChanged);
            return;
        case Kind::resized:
            post(event.window, ax::resized);
            return;
        case Kind::moved:
            post(event.window, ax::moved);
            return;
    }
}

void X11AccessibilityObserver::post(xcb_window_t subject, QStringView notification) {
    const bool applicationNotification =
        notification == ax::windowCreated || notification == ax::focusedWindowChanged;
    if (!applicationNotification && !registrations_.contains({subject, notification.toString()})) {
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
