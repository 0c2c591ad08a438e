#include <QPointer>

#include "base/Sleep.h"
#include "base/Spawn.h"
#include "coordination/AppCoordinator.h"

namespace pellucine {

void AppCoordinator::refreshVisibleGlance() {
    inventoryDirty_ = true;
    if (!switcherPanel_ || !switcherPanel_->isPanelVisible()) {
        return;
    }
    if (followCloseAnswer() == CloseAnswer::Outcome::prompted) {
        return;
    }
    if (glanceSource_ == GlanceSource::commandTab && nativeSwitcherState_.selectedIndex) {
        return;
    }
    inventoryDirty_ = false;
    inventoryRefreshTask_.cancel();
    inventoryRefreshTask_ =
        spawn(scheduler_, guarded(this, &AppCoordinator::refreshThenShow, std::optional<qint32>(),
                                  std::optional<GlanceSource>()));
}

void AppCoordinator::windowActivity(qint32 processIdentifier, bool titleChanged) {
    if (!permissionsReady() || !model_.portablePreferences().value().keepPreviewsReady ||
        processIdentifier == ownProcessIdentifier()) {
        return;
    }
    if (titleChanged) {
        const ContinuousInstant now = scheduler_.clock().now();
        const auto last = lastTitleActivity_.find(processIdentifier);
        if (last != lastTitleActivity_.end() &&
            now - last->second < seconds(titleActivityInterval)) {
            return;
        }
        // Stamps past the interval throttle nothing: processes that have gone leave no trace.
        std::erase_if(lastTitleActivity_, [&](const auto& entry) {
            return now - entry.second >= seconds(titleActivityInterval);
        });
        lastTitleActivity_[processIdentifier] = now;
    }
    TaskHandle& task = activityTasks_[processIdentifier];
    task.cancel();
    task = spawn(scheduler_, guarded(this, &AppCoordinator::activityRefresh, processIdentifier));
}

QCoro::Task<void> AppCoordinator::activityRefresh(CancellationToken token,
                                                  qint32 processIdentifier) {
    const QPointer<AppCoordinator> self(this);
    const bool slept = co_await Sleep(scheduler_, seconds(activityDelay), token);
    if (!self || !slept) {
        co_return;
    }
    const auto entry = activityTasks_.find(processIdentifier);
    if (entry != activityTasks_.end() && entry->second.token() == token) {
        activityTasks_.erase(entry);
    }
    AppModel& model = model_;
    co_await model.refreshWindows();
    if (!self) {
        co_return;
    }
    QList<WindowDescriptor> windows;
    for (const ApplicationDescriptor& application : model.applications().value()) {
        if (application.processIdentifier == processIdentifier) {
            for (const WindowDescriptor& window : application.windows) {
                if (window.isOnScreen) {
                    windows.append(window);
                }
            }
            break;
        }
    }
    GlanceRules::sortByRecentFocus(windows);
    co_await model.warmPreviews(token, windows.mid(0, activityWarmedWindows),
                                activityWarmUpMaximumAge);
}

QCoro::Task<void> AppCoordinator::handleWorkspaceNotification(CancellationToken /*token*/,
                                                              WorkspaceNotice notice) {
    const QPointer<AppCoordinator> self(this);
    std::optional<qint32> previous;
    if (!activationHistory_.isEmpty()) {
        previous = activationHistory_.first();
    }
    std::optional<qint32> activated;
    switch (notice.kind) {
        case WorkspaceNotice::Kind::activated:
            if (desktop_.workspace().runningApplication(notice.processIdentifier)) {
                activated = notice.processIdentifier;
                recordActivation(activated);
            }
            break;
        case WorkspaceNotice::Kind::terminated:
            // A later process may be given the same number.
            activationHistory_.removeAll(notice.processIdentifier);
            [[fallthrough]];
        case WorkspaceNotice::Kind::launched:
            // Nothing watches windows without both permissions, nor after stop.
            if (!stopped_ && permissionsReady()) {
                windowLifecycleMonitor_.start();
            }
            break;
    }
    co_await refreshForNotice();
    if (!self || !activated) {
        co_return;
    }
    QList<qint32> warm{*activated};
    if (previous) {
        warm.append(*previous);
    }
    warmApplications(warm);
}

QCoro::Task<void> AppCoordinator::refreshForNotice() {
    if (!nextWorkspaceRefresh_.isValid()) {
        nextWorkspaceRefresh_ =
            spawn(scheduler_, guarded(this, &AppCoordinator::runWorkspaceRefresh));
    }
    const TaskHandle refresh = nextWorkspaceRefresh_;
    try {
        co_await refresh;
    } catch (const CancellationError&) {
    }
}

QCoro::Task<void> AppCoordinator::runWorkspaceRefresh(CancellationToken /*token*/) {
    const QPointer<AppCoordinator> self(this);
    const TaskHandle running = workspaceRefresh_;
    if (running.isValid() && !running.isFinished()) {
        try {
            co_await running;
        } catch (const CancellationError&) {
        }
        if (!self) {
            co_return;
        }
    }
    // Notices from here on need a refresh that begins after this one.
    workspaceRefresh_ = nextWorkspaceRefresh_;
    nextWorkspaceRefresh_ = {};
    co_await model_.refreshWindows();
}

void AppCoordinator::warmApplications(QList<qint32> processIdentifiers) {
    const qint32 own = ownProcessIdentifier();
    QList<qint32> unique;
    for (const qint32 pid : processIdentifiers) {
        if (pid != own && !unique.contains(pid)) {
            unique.append(pid);
        }
    }
    if (!permissionsReady() || !model_.portablePreferences().value().keepPreviewsReady ||
        unique.isEmpty()) {
        return;
    }
    warmTask_.cancel();
    warmTask_ = spawn(scheduler_, guarded(this, &AppCoordinator::warmAfterActivation, unique));
}

QCoro::Task<void> AppCoordinator::warmAfterActivation(CancellationToken token,
                                                      QList<qint32> processIdentifiers) {
    const QPointer<AppCoordinator> self(this);
    const bool slept = co_await Sleep(scheduler_, seconds(activationWarmUpDelay), token);
    if (!self || !slept) {
        co_return;
    }
    QList<WindowDescriptor> windows;
    for (const ApplicationDescriptor& application : model_.applications().value()) {
        if (processIdentifiers.contains(application.processIdentifier)) {
            windows += application.windows;
        }
    }
    co_await model_.warmPreviews(token, windows, activationWarmUpMaximumAge);
}

QCoro::Task<void> AppCoordinator::preloadIfReady(CancellationToken token) {
    if (permissionsReady() && model_.portablePreferences().value().keepPreviewsReady) {
        co_await model_.warmAllPreviews(std::move(token));
    }
}

}  // namespace pellucine
