#pragma once

#include <functional>
#include <memory>

#include "base/EventRecording.h"
#include "base/Scheduler.h"
#include "coordination/ShortcutDecision.h"
#include "platform/Desktop.h"

namespace pellucine {

// Watches the session's keyboard through a listen-only tap and reports four moments: Tab with
// the modifiers the desktop's switcher opens on (advance, backwards with Shift), F with Command
// (search), Command pressed on its own (Command down) and every modifier change without Command
// (release). Events pass on to other applications unchanged. Each report runs later, in a task of
// its own on the main thread, in event order; once the monitor is destroyed none of them runs. Main
// thread only.
class GlobalShortcutMonitor {
  public:
    GlobalShortcutMonitor(Desktop& desktop, Scheduler& scheduler, EventRecording& events);
    ~GlobalShortcutMonitor();
    GlobalShortcutMonitor(const GlobalShortcutMonitor&) = delete;
    GlobalShortcutMonitor& operator=(const GlobalShortcutMonitor&) = delete;

    void setOnAdvance(std::function<void(bool backward)> callback) {
        onAdvance_ = std::move(callback);
    }
    void setOnRelease(std::function<void()> callback) { onRelease_ = std::move(callback); }
    void setOnCommandDown(std::function<void()> callback) { onCommandDown_ = std::move(callback); }
    void setOnSearch(std::function<void()> callback) { onSearch_ = std::move(callback); }
    void setOnDismiss(std::function<void()> callback) { onDismiss_ = std::move(callback); }

    // Stops, installs the tap when one is wanted and records "shortcut-monitor-started" with
    // what came of it.
    void start(bool tapWanted);
    // Removes the tap. Reports already under way still arrive; `commandIsDown` is kept.
    void stop();

    bool isListening() const { return tap_ != nullptr; }
    // Command reported down and not yet released.
    bool commandIsDown() const { return commandIsDown_; }

  private:
    bool installTap();
    // The modifiers the switcher's Tab is held with.
    quint64 switcherHold() const;
    void handle(const KeyEvent& event);
    void perform(const KeyEvent& event);

    Desktop& desktop_;
    Scheduler& scheduler_;
    EventRecording& events_;
    std::function<void(bool)> onAdvance_;
    std::function<void()> onRelease_;
    std::function<void()> onCommandDown_;
    std::function<void()> onSearch_;
    std::function<void()> onDismiss_;
    bool commandIsDown_ = false;
    std::unique_ptr<KeyEventTap> tap_;
    // Deferred reports hold this weakly and do nothing once it is gone.
    std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);
};

}  // namespace pellucine
