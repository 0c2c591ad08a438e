#pragma once

#include <QList>
#include <functional>
#include <memory>
#include <optional>

#include "base/EventRecording.h"
#include "base/Scheduler.h"
#include "core/NativeSwitcherProbe.h"
#include "platform/Desktop.h"

namespace pellucine {

// Notices the pointer resting on an application's Dock item and, after a delay, reports which
// application and where the pointer is; notices the pointer off the Dock and off the preview
// for a while and reports that the preview is to close. Pointer moves are looked at in a task
// of their own each; the Dock is hit-tested only near a screen edge where it can be. Main
// thread only; once the monitor is stopped or destroyed, none of its delays reports anything.
class DockHoverMonitor {
  public:
    // The Dock item under the pointer: its application and where the pointer was last seen on
    // it, in the screen space.
    struct Target {
        qint32 processIdentifier = 0;
        ScreenPoint anchor;

        friend bool operator==(const Target&, const Target&) = default;
    };

    static constexpr qint64 defaultHoverDelayMilliseconds = 300;
    static constexpr double exitDelaySeconds = 0.28;
    // How far beyond the Dock's inset of the visible frame the gate lets the pointer be.
    static constexpr double edgeBand = 150;

    DockHoverMonitor(Desktop& desktop, const NativeSwitcherProbe& probe, Scheduler& scheduler,
                     EventRecording& events);
    ~DockHoverMonitor();
    DockHoverMonitor(const DockHoverMonitor&) = delete;
    DockHoverMonitor& operator=(const DockHoverMonitor&) = delete;

    void setOnHover(std::function<void(const Target&)> callback) { onHover_ = std::move(callback); }
    void setOnExit(std::function<void()> callback) { onExit_ = std::move(callback); }
    // Whether a point of the screen space lies over the preview panel.
    void setIsPointerInPreview(std::function<bool(ScreenPoint)> test) {
        isPointerInPreview_ = std::move(test);
    }
    // Takes effect at the next Dock item; a negative delay counts as none.
    void setHoverDelayMilliseconds(qint64 delay) { hoverDelayMilliseconds_ = delay; }
    qint64 hoverDelayMilliseconds() const { return hoverDelayMilliseconds_; }

    // Stops, then watches pointer moves; records "dock-hover-monitor-started".
    void start();
    // Stops watching and forgets the candidate and the presented preview without reporting an
    // exit.
    void stop();

    // Whether the point may lie over a Dock: within the band of the first screen holding it
    // along its bottom, left, right or top edge, or on no screen at all. The band of an edge is the
    // visible frame's inset there plus `edgeBand`.
    static bool isNearDock(ScreenPoint point, const QList<Screen>& screens);

    bool isWatching() const { return monitor_.isActive(); }
    std::optional<Target> candidate() const { return candidate_; }
    std::optional<qint32> presentedProcessIdentifier() const { return presented_; }
    bool isHoverPending() const { return pendingHover_.isSet(); }
    bool isExitPending() const { return pendingExit_.isSet(); }

  private:
    void pointerMoved(GlobalPoint eventLocation);
    void pointerLeft();
    void beginHover(qint32 pid);
    void hoverElapsed(qint32 pid);
    void dismiss();
    double mainDisplayHeight() const;

    Desktop& desktop_;
    const NativeSwitcherProbe& probe_;
    Scheduler& scheduler_;
    EventRecording& events_;
    std::function<void(const Target&)> onHover_;
    std::function<void()> onExit_;
    std::function<bool(ScreenPoint)> isPointerInPreview_;
    qint64 hoverDelayMilliseconds_ = defaultHoverDelayMilliseconds;
    Subscription monitor_;
    // Set while a delay runs; cleared when it ends.
    ScopedWork pendingHover_;
    ScopedWork pendingExit_;
    std::optional<Target> candidate_;
    std::optional<qint32> presented_;
    // Work handed to the scheduler holds this weakly; replaced at each stop.
    std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);
};

}  // namespace pellucine
