#include "coordination/DockHoverMonitor.h"

#include <algorithm>
#include <chrono>

namespace pellucine {

DockHoverMonitor::DockHoverMonitor(Desktop& desktop, const NativeSwitcherProbe& probe,
                                   Scheduler& scheduler, EventRecording& events)
    : desktop_(desktop), probe_(probe), scheduler_(scheduler), events_(events) {}

DockHoverMonitor::~DockHoverMonitor() {
    stop();
}

void DockHoverMonitor::start() {
    stop();
    std::weak_ptr<const bool> alive = alive_;
    monitor_ = desktop_.pointerEvents().monitor(
        PointerEventSource::moves, [this, alive](const PointerEvent& event) {
            if (alive.expired()) {
                return;
            }
            scheduler_.post([this, alive, location = event.location] {
                if (!alive.expired()) {
                    pointerMoved(location);
                }
            });
        });
    events_.record(QStringLiteral("dock-hover-monitor-started"));
}

void DockHoverMonitor::stop() {
    monitor_.reset();
    pendingHover_.reset();
    pendingExit_.reset();
    candidate_.reset();
    presented_.reset();
    // Moves already handed to the scheduler belong to the monitor that was stopped.
    alive_ = std::make_shared<const bool>(true);
}

bool DockHoverMonitor::isNearDock(ScreenPoint point, const QList<Screen>& screens) {
    const auto screen = std::find_if(screens.begin(), screens.end(),
                                     [&](const Screen& s) { return s.frame.contains(point); });
    if (screen == screens.end()) {
        return true;
    }
    const ScreenRect& frame = screen->frame;
    const ScreenRect& visible = screen->visibleFrame;
    const double bottomBand = visible.minY() - frame.minY() + edgeBand;
    const double leftBand = visible.minX() - frame.minX() + edgeBand;
    const double rightBand = frame.maxX() - visible.maxX() + edgeBand;
    // A taskbar can lie along the top.
    const double topBand = frame.maxY() - visible.maxY() + edgeBand;
    return point.y - frame.minY() <= bottomBand || point.x - frame.minX() <= leftBand ||
           frame.maxX() - point.x <= rightBand || frame.maxY() - point.y <= topBand;
}

double DockHoverMonitor::mainDisplayHeight() const {
    ScreenLayout& layout = desktop_.screenLayout();
    return layout.displayBounds(layout.mainDisplayIdentifier()).height;
}

void DockHoverMonitor::pointerMoved(GlobalPoint eventLocation) {
    // Where the move put the pointer: reading it again would ask the desktop on every move.
    const ScreenPoint point = toScreenSpace(eventLocation, mainDisplayHeight());
    if (isPointerInPreview_ && isPointerInPreview_(point)) {
        pendingExit_.reset();
        return;
    }
    if (!isNearDock(point, desktop_.screenLayout().screens())) {
        pointerLeft();
        return;
    }
    const std::optional<qint32> pid = probe_.processIdentifierAtDockPoint(eventLocation);
    if (!pid) {
        pointerLeft();
        return;
    }
    pendingExit_.reset();
    const bool sameItem = candidate_ && candidate_->processIdentifier == *pid;
    candidate_ = Target{*pid, point};
    // Coming back to the item whose delay the pointer's leaving cancelled starts it again.
    if (sameItem && (pendingHover_.isSet() || presented_ == *pid)) {
        return;
    }
    beginHover(*pid);
}

void DockHoverMonitor::beginHover(qint32 pid) {
    // Moving from one item to the next while a preview shows switches at once.
    const qint64 delay = presented_ ? 0 : std::max<qint64>(hoverDelayMilliseconds_, 0);
    std::weak_ptr<const bool> alive = alive_;
    pendingHover_ = ScopedWork(
        scheduler_, scheduler_.postAfter(std::chrono::milliseconds(delay), [this, alive, pid] {
            if (!alive.expired()) {
                hoverElapsed(pid);
            }
        }));
}

void DockHoverMonitor::hoverElapsed(qint32 pid) {
    pendingHover_.reset();
    if (!candidate_ || candidate_->processIdentifier != pid) {
        return;
    }
    presented_ = pid;
    const Target target = *candidate_;
    if (const auto callback = onHover_) {
        callback(target);
    }
}

void DockHoverMonitor::pointerLeft() {
    if (!candidate_ && !presented_) {
        return;
    }
    if (pendingExit_.isSet()) {
        return;
    }
    pendingHover_.reset();
    std::weak_ptr<const bool> alive = alive_;
    pendingExit_ =
        ScopedWork(scheduler_, scheduler_.postAfter(seconds(exitDelaySeconds), [this, alive] {
            if (!alive.expired()) {
                pendingExit_.reset();
                dismiss();
            }
        }));
}

void DockHoverMonitor::dismiss() {
    candidate_.reset();
    pendingHover_.reset();
    if (!presented_) {
        return;
    }
    presented_.reset();
    if (const auto callback = onExit_) {
        callback();
    }
}

}  // namespace pellucine
