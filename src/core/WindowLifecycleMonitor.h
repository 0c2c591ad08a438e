#pragma once

#include <functional>
#include <map>
#include <memory>

#include "base/EventRecording.h"
#include "base/Scheduler.h"
#include "platform/Desktop.h"

namespace pellucine {

// Follows the windows of the other regular applications: one accessibility observer per
// application, activity (focus, title, size and position changes) reported at once, and every
// change folded into one debounced change signal, at most one per 0.4 s and never sooner than
// 0.09 s after the change that asked for it. Main thread only.
//
// Once the monitor is stopped or destroyed, no callback, observer delivery or pending signal
// reaches it. Restarting it keeps a pending signal.
class WindowLifecycleMonitor {
  public:
    static constexpr double minimumInterval = 0.4;
    static constexpr double minimumWait = 0.09;
    static constexpr double observedApplicationTimeout = 0.15;

    // A process and whether the change was a new title.
    using ActivityCallback = std::function<void(qint32 processIdentifier, bool titleChanged)>;

    WindowLifecycleMonitor(Desktop& desktop, Scheduler& scheduler, EventRecording& events);
    ~WindowLifecycleMonitor();
    WindowLifecycleMonitor(const WindowLifecycleMonitor&) = delete;
    WindowLifecycleMonitor& operator=(const WindowLifecycleMonitor&) = delete;

    void setOnChange(std::function<void()> callback) { onChange_ = std::move(callback); }
    void setOnActivity(ActivityCallback callback) { onActivity_ = std::move(callback); }

    // Observes the running regular applications afresh; records
    // "window-lifecycle-monitor-started". Without accessibility trust it only removes the
    // earlier observers.
    void start();
    // Removes every observer and drops a pending change signal and the notifications not
    // handled yet.
    void stop();

    std::size_t observedApplicationCount() const { return observers_.size(); }
    bool hasPendingDelivery() const { return debounce_.isSet(); }

  private:
    void removeObservers();
    void observe(qint32 pid);
    void registerWindowNotifications(AccessibilityObserver& observer, const ElementRef& window);
    void handleNotification(const ElementRef& element, const QString& name);
    void scheduleDelivery();
    void deliver();

    Desktop& desktop_;
    Scheduler& scheduler_;
    EventRecording& events_;
    std::function<void()> onChange_;
    ActivityCallback onActivity_;
    std::map<qint32, std::unique_ptr<AccessibilityObserver>> observers_;
    ScopedWork debounce_;
    ContinuousInstant lastDelivery_;
    // Work handed to the scheduler holds this weakly and does nothing once it is gone: at
    // destruction, and replaced at each stop.
    std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);
};

}  // namespace pellucine
