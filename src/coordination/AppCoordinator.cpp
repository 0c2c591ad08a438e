#include "coordination/AppCoordinator.h"

#include <QPointer>

#include "base/Error.h"
#include "base/Sleep.h"
#include "base/Spawn.h"

namespace pellucine {

namespace {

// The window-search switch and hotkey; a change re-registers the hotkey.
struct WindowSearchSetting {
    bool enabled = false;
    KeyCombo hotkey;

    friend bool operator==(const WindowSearchSetting&, const WindowSearchSetting&) = default;
};

using PermissionPair = std::pair<PermissionState, PermissionState>;

bool bothGranted(const PermissionPair& pair) {
    return pair.first == PermissionState::granted && pair.second == PermissionState::granted;
}

WindowAction windowActionFor(ApplicationAction action) {
    switch (action) {
        case ApplicationAction::minimizeAll:
            return WindowAction::minimize();
        case ApplicationAction::restoreAll:
            return WindowAction::restore();
        default:
            return WindowAction::close();
    }
}

}  // namespace

AppCoordinator::AppCoordinator(AppModel& model, Platform platform, Panels panels, QObject* parent)
    : QObject(parent),
      model_(model),
      desktop_(platform.desktop),
      scheduler_(platform.scheduler),
      events_(platform.events),
      panels_(std::move(panels)),
      shortcuts_(desktop_, scheduler_, events_),
      nativeSwitcherProbe_(desktop_),
      windowLifecycleMonitor_(desktop_, scheduler_, events_),
      secureInput_(desktop_.keyboardState(), scheduler_, events_) {
    startMonitors();
}

AppCoordinator::~AppCoordinator() {
    stop();
}

SwitcherPanelControlling& AppCoordinator::switcherPanel() {
    if (!switcherPanel_) {
        const QPointer<AppCoordinator> self(this);
        switcherPanel_ = panels_.switcherPanel(SwitcherPanelCallbacks{
            .onSelect =
                [self](const WindowDescriptor& window) {
                    if (self) {
                        self->selectWindow(window);
                    }
                },
            .onAction =
                [self](WindowAction action, const WindowDescriptor& window) {
                    if (self) {
                        self->actOnWindow(action, window);
                    }
                },
            .onApplicationAction =
                [self](ApplicationAction action, qint32 pid) {
                    if (self) {
                        self->performAppAction(action, pid);
                    }
                },
        });
    }
    return *switcherPanel_;
}

WindowSearchControlling& AppCoordinator::windowSearch() {
    if (!windowSearch_) {
        const QPointer<AppCoordinator> self(this);
        windowSearch_ = panels_.windowSearch(
            [self] { return self ? self->activationHistory_ : QList<qint32>{}; });
        // Search comes in front: the glance and its peek float above every other window.
        windowSearch_->setOnOpening([self] {
            if (self) {
                self->hideGlance();
            }
        });
    }
    return *windowSearch_;
}

DockHoverMonitor& AppCoordinator::dockHoverMonitor() {
    if (!dockHoverMonitor_) {
        dockHoverMonitor_ =
            std::make_unique<DockHoverMonitor>(desktop_, nativeSwitcherProbe_, scheduler_, events_);
    }
    return *dockHoverMonitor_;
}

bool AppCoordinator::permissionsReady() const {
    return bothGranted({model_.permissions().accessibility().value(),
                        model_.permissions().screenRecording().value()});
}

qint32 AppCoordinator::ownProcessIdentifier() const {
    return desktop_.process().processIdentifier();
}

// ---- Monitors -----------------------------------------------------------------------------------

void AppCoordinator::startMonitors() {
    startMonitors(permissionsReady());
}

void AppCoordinator::startMonitors(bool ready) {
    const QPointer<AppCoordinator> self(this);
    shortcuts_.setOnAdvance([self](bool backward) {
        if (self) {
            self->commandTabStep(backward);
        }
    });
    shortcuts_.setOnRelease([self] {
        if (self) {
            self->commandReleased();
        }
    });
    shortcuts_.setOnCommandDown([self] {
        if (self) {
            self->commandKeyDown();
        }
    });
    shortcuts_.setOnDismiss([self] {
        if (self) {
            self->switcherDismissed();
        }
    });
    shortcuts_.setOnSearch([self] {
        if (self) {
            self->openWindowSearchFromCommandTab();
        }
    });
    shortcuts_.start(ready);

    dockHoverMonitor().stop();
    windowLifecycleMonitor_.stop();
    // The stopped monitor forgot the item it presented and will report no exit for it.
    if (glanceSource_ == GlanceSource::dockHover) {
        hideGlance();
    }
    if (!ready) {
        return;
    }
    windowLifecycleMonitor_.start();
    const PortablePreferences& preferences = model_.portablePreferences().value();
    if (!preferences.enableDockHoverPreviews) {
        return;
    }
    DockHoverMonitor& dock = dockHoverMonitor();
    dock.setOnHover([self](const DockHoverMonitor::Target& target) {
        if (self) {
            self->dockHoverChanged(target);
        }
    });
    dock.setOnExit([self] {
        if (self) {
            self->dockHoverEnded();
        }
    });
    dock.setHoverDelayMilliseconds(preferences.dockHoverDelayMilliseconds);
    dock.setIsPointerInPreview(
        [self](ScreenPoint point) { return self && self->panelContainsPoint(point); });
    dock.start();
}

// ---- Start and stop -----------------------------------------------------------------------------

void AppCoordinator::start() {
    const QPointer<AppCoordinator> self(this);
    windowSearch().setOnHotkeyProblemChange([self](const std::optional<QString>& problem) {
        if (self) {
            self->model_.windowSearchHotkeyProblem().set(problem);
        }
    });
    windowSearch().registerHotkey();

    secureInput_.setOnCommandPressed([self] {
        if (self) {
            self->startKeystrokeFreeWatch();
        }
    });
    secureInput_.setOnCommandReleased([self] {
        if (self) {
            self->commandReleasedUnseen();
        }
    });
    secureInput_.start();

    subscribe();
    // The synced record is read at start and on each change, not only when permissions change.
    model_.followSyncedPreferences();
    desktop_.systemDock().setWanted(model_.portablePreferences().value().enableDockHoverPreviews);
    spawn(scheduler_, guarded(this, &AppCoordinator::preloadIfReady));
    panelPreparation_ =
        ScopedWork(scheduler_, scheduler_.postAfter(seconds(panelPreparationDelay), [self] {
            if (self) {
                self->switcherPanel().prepare();
            }
        }));
    if (const auto frontmost = frontmostApplication(desktop_.workspace())) {
        recordActivation(frontmost->processIdentifier);
    }

    windowLifecycleMonitor_.setOnChange([self] {
        if (self) {
            self->refreshVisibleGlance();
        }
    });
    windowLifecycleMonitor_.setOnActivity([self](qint32 pid, bool titleChanged) {
        if (self) {
            self->windowActivity(pid, titleChanged);
        }
    });
    cancellables_ += desktop_.workspace().subscribe([self](const WorkspaceNotice& notice) {
        if (self) {
            spawn(self->scheduler_,
                  guarded(self.data(), &AppCoordinator::handleWorkspaceNotification, notice));
        }
    });
}

void AppCoordinator::subscribe() {
    const QPointer<AppCoordinator> self(this);
    cancellables_ += model_.machinePreferences().subscribeDistinct(
        [](const MachinePreferences& p) {
            return WindowSearchSetting{p.windowSearchEnabled, p.windowSearchHotkey};
        },
        [self](const WindowSearchSetting&) {
            if (self) {
                self->windowSearch().registerHotkey();
            }
        },
        &scheduler_);
    cancellables_ += model_.portablePreferences().subscribeDistinct(
        [](const PortablePreferences& p) {
            return std::pair{p.enableDockHoverPreviews, p.dockHoverDelayMilliseconds};
        },
        [self](const auto& dock) {
            if (self) {
                self->startMonitors();
                self->desktop_.systemDock().setWanted(dock.first);
            }
        },
        &scheduler_);

    // Each store of either state yields the pair as it now stands; a repeat of the last pair is
    // dropped.
    PermissionService& permissions = model_.permissions();
    auto last = std::make_shared<PermissionPair>(permissions.accessibility().value(),
                                                 permissions.screenRecording().value());
    const auto deliver = [self, last](const PermissionState&) {
        if (!self) {
            return;
        }
        PermissionService& service = self->model_.permissions();
        const PermissionPair pair{service.accessibility().value(),
                                  service.screenRecording().value()};
        if (pair == *last) {
            return;
        }
        *last = pair;
        self->permissionsChanged(bothGranted(pair));
    };
    cancellables_ += permissions.accessibility().subscribe(deliver);
    cancellables_ += permissions.screenRecording().subscribe(deliver);
}

void AppCoordinator::permissionsChanged(bool ready) {
    startMonitors(ready);
    spawn(scheduler_, guarded(this, &AppCoordinator::afterPermissionsChanged));
}

QCoro::Task<void> AppCoordinator::afterPermissionsChanged(CancellationToken token) {
    const QPointer<AppCoordinator> self(this);
    AppModel& model = model_;
    co_await model.pullSyncedPreferences();
    if (!self) {
        co_return;
    }
    co_await model.refreshWindows();
    if (!self) {
        co_return;
    }
    co_await preloadIfReady(token);
}

void AppCoordinator::stop() {
    if (stopped_) {
        return;
    }
    stopped_ = true;
    secureInput_.stop();
    keystrokeFreeWatch_.cancel();
    for (auto& [pid, task] : activityTasks_) {
        task.cancel();
    }
    activityTasks_.clear();
    previewTask_.cancel();
    switcherWarmupTask_.cancel();
    nativeSwitcherProbeTask_.cancel();
    dockActionRefreshTask_.cancel();
    closeAnswerTask_.cancel();
    previewTask_ = {};
    switcherWarmupTask_ = {};
    panelPreparation_ = {};
    shortcuts_.stop();
    dockHoverMonitor().stop();
    desktop_.systemDock().setWanted(false);
    windowLifecycleMonitor_.stop();
    hideGlance();
    cancellables_.clear();
}

// ---- Panel callbacks ----------------------------------------------------------------------------

void AppCoordinator::selectWindow(const WindowDescriptor& window) {
    if (!switcherPanel().isPanelVisible()) {
        return;
    }
    // The switch ends on the window picked. The strip lets go of the keyboard before the window
    // is asked for: some window managers change desktops only while no other client holds it.
    const bool stripClosed =
        glanceSource_ == GlanceSource::commandTab && desktop_.systemSwitcher().dismiss();
    if (model_.performWindowAction(WindowAction::focus(), window) || stripClosed) {
        hideGlance();
    } else {
        refreshVisibleGlance();
    }
}

void AppCoordinator::actOnWindow(WindowAction action, const WindowDescriptor& window) {
    const bool closing = action.kind == WindowAction::Kind::close;
    QSet<quint32> shownBefore;
    if (closing) {
        shownBefore = shownWindowsOf(window.ownerPID);
    }
    if (model_.performWindowAction(action, window) && closing) {
        awaitCloseAnswer({window.ownerPID, {window.id}, shownBefore});
    }
    scheduleDockActionRefresh(closing);
}

void AppCoordinator::scheduleDockActionRefresh(bool closed) {
    if (glanceSource_ != GlanceSource::dockHover) {
        refreshVisibleGlance();
        return;
    }
    dockActionRefreshTask_.cancel();
    dockActionRefreshTask_ =
        spawn(scheduler_, guarded(this, &AppCoordinator::dockActionRefresh,
                                  closed ? dockCloseRefreshDelay : dockActionRefreshDelay));
}

QCoro::Task<void> AppCoordinator::dockActionRefresh(CancellationToken token, double delay) {
    const QPointer<AppCoordinator> self(this);
    const bool slept = co_await Sleep(scheduler_, seconds(delay), token);
    if (self && slept) {
        refreshVisibleGlance();
    }
}

void AppCoordinator::performAppAction(ApplicationAction action, qint32 processIdentifier) {
    Workspace& workspace = desktop_.workspace();
    if (!workspace.runningApplication(processIdentifier)) {
        return;
    }
    switch (action) {
        case ApplicationAction::hide:
            workspace.hide(processIdentifier);
            refreshVisibleGlance();
            return;
        case ApplicationAction::quit: {
            const QSet<quint32> shownBefore = shownWindowsOf(processIdentifier);
            QSet<quint32> closing;
            for (const ApplicationDescriptor& application : model_.applications().value()) {
                if (application.processIdentifier == processIdentifier) {
                    for (const WindowDescriptor& window : application.windows) {
                        closing.insert(window.id);
                    }
                }
            }
            workspace.terminate(processIdentifier);
            awaitCloseAnswer({processIdentifier, closing, shownBefore});
            refreshVisibleGlance();
            return;
        }
        case ApplicationAction::minimizeAll:
        case ApplicationAction::restoreAll:
        case ApplicationAction::closeAll:
            break;
    }
    QList<WindowDescriptor> windows;
    for (const ApplicationDescriptor& application : model_.applications().value()) {
        if (application.processIdentifier == processIdentifier) {
            windows = application.windows;
            break;
        }
    }
    const WindowAction windowAction = windowActionFor(action);
    const bool closing = action == ApplicationAction::closeAll;
    const QSet<quint32> shownBefore = closing ? shownWindowsOf(processIdentifier) : QSet<quint32>{};
    QSet<quint32> closed;
    for (const WindowDescriptor& window : windows) {
        try {
            model_.windowService().performWindowAction(windowAction, window);
        } catch (const std::exception& error) {
            model_.errorMessage().set(errorDescription(error));
            events_.record(QStringLiteral("window-action-failed"),
                           {{QStringLiteral("reason"), windowAction.textForm()}});
            continue;
        }
        model_.windowActedOn(windowAction, window);
        closed.insert(window.id);
    }
    if (closing && !closed.isEmpty()) {
        awaitCloseAnswer({processIdentifier, closed, shownBefore});
    }
    scheduleDockActionRefresh(closing);
}

void AppCoordinator::showWindowSearch() {
    windowSearch().show();
}

}  // namespace pellucine
