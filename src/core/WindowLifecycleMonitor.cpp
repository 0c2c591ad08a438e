#include "core/WindowLifecycleMonitor.h"

#include <array>

#include "core/AccessibilityWindowService.h"
#include "platform/AccessibilityNames.h"

namespace pellucine {

namespace {

constexpr std::array<QStringView, 6> windowNotifications{ax::elementDestroyed,
                                                         ax::windowMiniaturized,
                                                         ax::windowDeminiaturized,
                                                         ax::titleChanged,
                                                         ax::resized,
                                                         ax::moved};

}  // namespace

WindowLifecycleMonitor::WindowLifecycleMonitor(Desktop& desktop, Scheduler& scheduler,
                                               EventRecording& events)
    : desktop_(desktop),
      scheduler_(scheduler),
      events_(events),
      lastDelivery_(scheduler.clock().now() + -std::chrono::seconds(1)) {}

WindowLifecycleMonitor::~WindowLifecycleMonitor() {
    stop();
}

void WindowLifecycleMonitor::start() {
    // A change signal already on its way stays pending: the restart must not swallow it.
    removeObservers();
    if (!desktop_.accessibility().isProcessTrusted()) {
        return;
    }
    const qint32 ownPID = desktop_.process().processIdentifier();
    for (const RunningApplication& app : desktop_.workspace().runningApplications()) {
        if (app.activationPolicy == ActivationPolicy::regular && app.processIdentifier != ownPID &&
            !app.isTerminated && app.processIdentifier >= 1) {
            observe(app.processIdentifier);
        }
    }
    events_.record(QStringLiteral("window-lifecycle-monitor-started"),
                   {{QStringLiteral("applicationCount"), QString::number(observers_.size())}});
}

void WindowLifecycleMonitor::stop() {
    debounce_.reset();
    removeObservers();
    // Notifications already handed to the scheduler, and a handler that stopped the monitor
    // while one was being handled, find the old token gone.
    alive_ = std::make_shared<const bool>(true);
}

void WindowLifecycleMonitor::removeObservers() {
    for (auto& [pid, observer] : observers_) {
        observer->stop();
    }
    observers_.clear();
}

void WindowLifecycleMonitor::observe(qint32 pid) {
    // The observer's callback only hands the notification on: what it does may stop or
    // restart this monitor, which must not happen inside the observer's own delivery.
    auto observer = desktop_.accessibility().createObserver(
        pid, [this, alive = std::weak_ptr<const bool>(alive_)](const ElementRef& element,
                                                               const QString& name) {
            if (alive.expired()) {
                return;
            }
            scheduler_.post([this, alive, element, name] {
                if (!alive.expired()) {
                    handleNotification(element, name);
                }
            });
        });
    if (!observer) {
        return;
    }
    const ElementRef app = desktop_.accessibility().applicationElement(pid);
    app->setMessagingTimeout(seconds(observedApplicationTimeout));
    observer->addNotification(app, ax::windowCreated);
    observer->addNotification(app, ax::focusedWindowChanged);
    if (const auto windows = AccessibilityWindowService::readElementsAttribute(*app, ax::windows)) {
        for (const ElementRef& window : *windows) {
            registerWindowNotifications(*observer, window);
        }
    }
    observer->start();
    observers_[pid] = std::move(observer);
}

void WindowLifecycleMonitor::registerWindowNotifications(AccessibilityObserver& observer,
                                                         const ElementRef& window) {
    for (const QStringView name : windowNotifications) {
        observer.addNotification(window, name);
    }
}

void WindowLifecycleMonitor::handleNotification(const ElementRef& element, const QString& name) {
    const std::weak_ptr<const bool> alive = alive_;
    if (name == ax::focusedWindowChanged || name == ax::titleChanged || name == ax::resized ||
        name == ax::moved) {
        const std::optional<qint32> pid = element->processIdentifier();
        if (pid && onActivity_) {
            const ActivityCallback callback = onActivity_;
            callback(*pid, name == ax::titleChanged);
            if (alive.expired()) {
                return;
            }
        }
    }
    if (name == ax::windowCreated) {
        if (const std::optional<qint32> pid = element->processIdentifier()) {
            const auto it = observers_.find(*pid);
            if (it != observers_.end()) {
                registerWindowNotifications(*it->second, element);
            }
        }
    }
    if (!debounce_.isSet()) {
        scheduleDelivery();
    }
}

void WindowLifecycleMonitor::scheduleDelivery() {
    const Duration elapsed = scheduler_.clock().now() - lastDelivery_;
    const Duration wait = std::max(seconds(minimumInterval) - elapsed, seconds(minimumWait));
    // The work is cancelled with `debounce_`, which this monitor owns.
    debounce_ = ScopedWork(scheduler_, scheduler_.postAfter(wait, [this] { deliver(); }));
}

void WindowLifecycleMonitor::deliver() {
    debounce_.reset();
    lastDelivery_ = scheduler_.clock().now();
    if (onChange_) {
        const std::function<void()> callback = onChange_;
        callback();
    }
}

}  // namespace pellucine
