#include <QPointer>

#include "base/Sleep.h"
#include "base/Spawn.h"
#include "coordination/AppCoordinator.h"
#include "platform/KeyModifiers.h"

namespace pellucine {

namespace {

std::optional<int> positionOf(const QList<qint32>& order, qint32 pid) {
    const qsizetype index = order.indexOf(pid);
    return index < 0 ? std::nullopt : std::optional(static_cast<int>(index));
}

}  // namespace

// ---- One Tab ------------------------------------------------------------------------------------

void AppCoordinator::commandTabStep(bool backward) {
    const PermissionState accessibility = model_.permissions().accessibility().value();
    const PermissionState screenRecording = model_.permissions().screenRecording().value();
    if (accessibility != PermissionState::granted || screenRecording != PermissionState::granted) {
        events_.record(QStringLiteral("switcher-suppressed"),
                       {{QStringLiteral("reason"), QStringLiteral("permissions-not-ready")},
                        {QStringLiteral("accessibility"), rawValue(accessibility)},
                        {QStringLiteral("screenRecording"), rawValue(screenRecording)}});
        hideGlance();
        return;
    }

    NativeApplicationSwitcherState& cycle = nativeSwitcherState_;
    const bool startsCycle = !cycle.selectedIndex.has_value();
    if (startsCycle) {
        startPreviewSession();
        cycle.applicationOrder = currentApplicationOrder();
        const auto count = static_cast<int>(cycle.applicationOrder.size());
        cycle.selectedIndex = count < 2 ? std::nullopt : std::optional(backward ? count - 1 : 1);
    } else {
        cycle.step(backward);
    }

    const std::optional<NativeSwitcherReading> reading = nativeSwitcherProbe_.probe();
    qint32 pid = 0;
    if (!reading) {
        const std::optional<int> index = cycle.selectedIndex;
        if (!index || *index < 0 || *index >= cycle.applicationOrder.size()) {
            return;
        }
        pid = cycle.applicationOrder[*index];
    } else {
        pid = reading->processIdentifier;
        cycle.selectedIndex = positionOf(cycle.applicationOrder, pid);
    }

    std::optional<quint32> display = glanceDisplayIdentifier_;
    if (!display && reading && reading->displayID) {
        display = reading->displayID;
    } else if (!display && desktop_.screenLayout().screens().size() == 1) {
        display = displayUnderPointer();
    }
    std::optional<ScreenRect> frame;
    if (reading && reading->displayID && reading->frame) {
        frame = convertSwitcherFrame(*reading->frame, *reading->displayID);
    }
    if (!nativeSwitcherFrame_) {
        nativeSwitcherFrame_ = frame;
    }
    if (!glanceDisplayIdentifier_) {
        glanceDisplayIdentifier_ = display;
    }

    const bool refreshing = startsCycle || inventoryDirty_;
    if (refreshing) {
        glanceProcessIdentifier_ = pid;
        glanceSource_ = GlanceSource::commandTab;
        refreshAndShowGlance(pid, GlanceSource::commandTab);
    }
    startSwitcherTracking();
    if (!display) {
        return;
    }
    showGlance(pid, GlanceSource::commandTab, std::nullopt, display, nativeSwitcherFrame_,
               refreshing);
}

QList<qint32> AppCoordinator::currentApplicationOrder() const {
    const Workspace& workspace = desktop_.workspace();
    QList<qint32> running;
    for (const RunningApplication& application : workspace.runningApplications()) {
        if (application.activationPolicy == ActivationPolicy::regular &&
            !application.isTerminated && application.processIdentifier >= 1) {
            running.append(application.processIdentifier);
        }
    }
    std::optional<qint32> frontmost;
    if (const auto application = frontmostApplication(workspace)) {
        frontmost = application->processIdentifier;
    }
    return NativeApplicationSwitcherState::makeApplicationOrder(running, frontmost,
                                                                activationHistory_);
}

void AppCoordinator::recordActivation(std::optional<qint32> processIdentifier) {
    if (!processIdentifier) {
        return;
    }
    const auto application = desktop_.workspace().runningApplication(*processIdentifier);
    if (!application || application->isTerminated ||
        application->activationPolicy != ActivationPolicy::regular) {
        return;
    }
    activationHistory_.removeAll(*processIdentifier);
    activationHistory_.prepend(*processIdentifier);
}

// ---- Command key --------------------------------------------------------------------------------

void AppCoordinator::commandReleased() {
    keystrokeFreeWatch_.cancel();
    keystrokeFreeWatch_ = {};
    nativeSwitcherProbeTask_.cancel();
    nativeSwitcherProbeTask_ = {};
    nativeSwitcherState_ = {};
    if (glanceSource_ == GlanceSource::commandTab) {
        hideGlance();
    }
}

void AppCoordinator::commandReleasedUnseen() {
    // A Command-Tab glance can outlive its cycle (the switcher named an application outside the
    // order); letting go of Command ends it too.
    if (nativeSwitcherState_.selectedIndex || glanceSource_ == GlanceSource::commandTab) {
        commandReleased();
    }
}

void AppCoordinator::switcherDismissed() {
    if (nativeSwitcherState_.selectedIndex) {
        commandReleased();
    }
}

void AppCoordinator::commandKeyDown() {
    warmUpForCommandTab();
    startKeystrokeFreeWatch();
}

void AppCoordinator::warmUpForCommandTab() {
    if (!permissionsReady() || !model_.portablePreferences().value().keepPreviewsReady) {
        return;
    }
    const QList<qint32> candidates = activationHistory_.mid(1, 2);
    const qint32 own = ownProcessIdentifier();
    QList<WindowDescriptor> windows;
    for (const ApplicationDescriptor& application : model_.applications().value()) {
        if (candidates.contains(application.processIdentifier) &&
            application.processIdentifier != own) {
            windows += application.windows;
        }
    }
    if (windows.isEmpty()) {
        return;
    }
    spawn(scheduler_,
          guarded(this, &AppCoordinator::warmWindows, windows, commandWarmUpMaximumAge));
}

QCoro::Task<void> AppCoordinator::warmWindows(CancellationToken token,
                                              QList<WindowDescriptor> windows, double maxAge) {
    co_await model_.warmPreviews(std::move(token), std::move(windows), maxAge);
}

bool AppCoordinator::isCommandHeld() const {
    return (desktop_.keyboardState().modifierFlags() & KeyModifiers::command) != 0;
}

void AppCoordinator::startKeystrokeFreeWatch() {
    if (!desktop_.keyboardState().isSecureEventInputEnabled() || !permissionsReady() ||
        keystrokeFreeWatch_.isValid() || nativeSwitcherState_.selectedIndex) {
        return;
    }
    keystrokeFreeWatch_ = spawn(scheduler_, guarded(this, &AppCoordinator::watchWithoutKeystrokes));
}

QCoro::Task<void> AppCoordinator::watchWithoutKeystrokes(CancellationToken token) {
    const QPointer<AppCoordinator> self(this);
    for (int passes = 0;;) {
        if (!self) {
            co_return;
        }
        if (token.isCancelled() || !isCommandHeld() || nativeSwitcherState_.selectedIndex) {
            break;
        }
        if (nativeSwitcherProbe_.probe()) {
            events_.record(QStringLiteral("command-tab-seen-without-keystrokes"));
            commandTabStep(false);
            break;
        }
        co_await Sleep(scheduler_, seconds(keystrokeFreeWatchInterval), token);
        if (!self) {
            co_return;
        }
        if (++passes >= keystrokeFreeWatchPasses) {
            break;
        }
    }
    // A later watch may hold the field by now.
    if (keystrokeFreeWatch_.token() == token) {
        keystrokeFreeWatch_ = {};
    }
}

void AppCoordinator::openWindowSearchFromCommandTab() {
    if (!nativeSwitcherState_.selectedIndex ||
        !model_.machinePreferences().value().windowSearchEnabled) {
        return;
    }
    events_.record(QStringLiteral("window-search-from-command-tab"));
    desktop_.systemSwitcher().dismiss();
    commandReleased();
    const QPointer<AppCoordinator> self(this);
    scheduler_.postAfter(seconds(windowSearchDelay), [self] {
        if (self && !self->stopped_) {
            self->windowSearch().show();
        }
    });
}

// ---- Refresh and tracking -----------------------------------------------------------------------

void AppCoordinator::refreshAndShowGlance(qint32 processIdentifier, GlanceSource source) {
    inventoryRefreshTask_.cancel();
    inventoryRefreshTask_ =
        spawn(scheduler_, guarded(this, &AppCoordinator::refreshThenShow,
                                  std::optional(processIdentifier), std::optional(source)));
}

QCoro::Task<void> AppCoordinator::refreshThenShow(CancellationToken token,
                                                  std::optional<qint32> expectedProcessIdentifier,
                                                  std::optional<GlanceSource> expectedSource) {
    const QPointer<AppCoordinator> self(this);
    co_await model_.refreshWindows();
    if (!self || token.isCancelled() || !glanceProcessIdentifier_ || !glanceSource_) {
        co_return;
    }
    if (expectedSource && *glanceSource_ != *expectedSource) {
        co_return;
    }
    if (expectedSource == GlanceSource::dockHover &&
        glanceProcessIdentifier_ != expectedProcessIdentifier) {
        co_return;
    }
    inventoryDirty_ = false;
    const qint32 pid = *glanceProcessIdentifier_;
    switch (*glanceSource_) {
        case GlanceSource::commandTab:
            showGlance(pid, GlanceSource::commandTab, std::nullopt, glanceDisplayIdentifier_,
                       nativeSwitcherFrame_, true);
            break;
        case GlanceSource::dockHover: {
            std::optional<ScreenPoint> anchor;
            if (dockHoverTarget_) {
                anchor = dockHoverTarget_->anchor;
            }
            showGlance(pid, GlanceSource::dockHover, anchor, std::nullopt, std::nullopt, true);
            break;
        }
        case GlanceSource::menu:
            // The menu glance stays on the display it was opened on.
            showGlance(pid, GlanceSource::menu, std::nullopt, glanceDisplayIdentifier_,
                       std::nullopt, true);
            break;
    }
}

void AppCoordinator::startSwitcherTracking() {
    if (!nativeSwitcherProbeTask_.isValid()) {
        nativeSwitcherProbeTask_ = spawn(scheduler_, guarded(this, &AppCoordinator::trackSwitcher));
    }
}

QCoro::Task<void> AppCoordinator::trackSwitcher(CancellationToken token) {
    const QPointer<AppCoordinator> self(this);
    for (;;) {
        if (!self || token.isCancelled() || !nativeSwitcherState_.selectedIndex) {
            co_return;
        }
        if (const auto reading = nativeSwitcherProbe_.probe()) {
            nativeSwitcherState_.selectedIndex =
                positionOf(nativeSwitcherState_.applicationOrder, reading->processIdentifier);
            bool displayChanged = false;
            bool frameChanged = false;
            std::optional<ScreenRect> newFrame;
            if (const std::optional<quint32> display = reading->displayID) {
                displayChanged = glanceDisplayIdentifier_ != display;
                if (reading->frame) {
                    newFrame = convertSwitcherFrame(*reading->frame, *display);
                }
                frameChanged = newFrame && nativeSwitcherFrame_ != newFrame;
                glanceDisplayIdentifier_ = display;
                if (displayChanged) {
                    events_.record(QStringLiteral("native-switcher-display-resolved"),
                                   {{QStringLiteral("displayID"), QString::number(*display)}});
                }
                if (newFrame) {
                    nativeSwitcherFrame_ = newFrame;
                }
            }
            const bool unchanged = glanceProcessIdentifier_ == reading->processIdentifier &&
                                   glanceSource_ == GlanceSource::commandTab && !displayChanged &&
                                   !frameChanged;
            if (!unchanged) {
                const std::optional<quint32> display =
                    reading->displayID ? reading->displayID : glanceDisplayIdentifier_;
                const std::optional<ScreenRect> frame = newFrame ? newFrame : nativeSwitcherFrame_;
                showGlance(reading->processIdentifier, GlanceSource::commandTab, std::nullopt,
                           display, frame, displayChanged || frameChanged);
            }
        }
        co_await Sleep(scheduler_, seconds(switcherTrackingInterval), token);
    }
}

// ---- Ending a glance ----------------------------------------------------------------------------

void AppCoordinator::hideGlance() {
    for (TaskHandle* task : {&previewTask_, &switcherWarmupTask_, &inventoryRefreshTask_,
                             &nativeSwitcherProbeTask_, &dockActionRefreshTask_}) {
        task->cancel();
    }
    for (TaskHandle* task : {&previewTask_, &switcherWarmupTask_, &inventoryRefreshTask_,
                             &nativeSwitcherProbeTask_, &dockActionRefreshTask_}) {
        *task = {};
    }
    closeAnswerTask_.cancel();
    closeAnswerTask_ = {};
    closeRequest_.reset();
    if (!model_.unansweredWindows().value().isEmpty()) {
        model_.unansweredWindows().set({});
    }
    hidePanel();
    menuPanelMonitors_.clear();
    startPreviewSession();
    nativeSwitcherState_ = {};
    glanceProcessIdentifier_.reset();
    glanceDisplayIdentifier_.reset();
    nativeSwitcherFrame_.reset();
    glanceSource_.reset();
    dockHoverTarget_.reset();
}

void AppCoordinator::hidePanel() {
    if (switcherPanel_) {
        switcherPanel_->hide();
    }
}

void AppCoordinator::startPreviewSession() {
    model_.advancePreviewSessionGeneration();
    model_.resetPreviews();
}

// ---- Dock ---------------------------------------------------------------------------------------

void AppCoordinator::dockHoverChanged(const DockHoverMonitor::Target& target) {
    if (nativeSwitcherState_.selectedIndex) {
        return;
    }
    const qint32 pid = target.processIdentifier;
    const auto application = desktop_.workspace().runningApplication(pid);
    const bool excluded =
        application && application->bundleIdentifier &&
        model_.portablePreferences().value().excludedDockAppBundleIdentifiers.contains(
            *application->bundleIdentifier);
    if (pid == ownProcessIdentifier() || excluded) {
        dockHoverTarget_.reset();
        if (glanceSource_ == GlanceSource::dockHover) {
            hideGlance();
        }
        return;
    }
    if (!glanceProcessIdentifier_) {
        startPreviewSession();
    }
    dockHoverTarget_ = target;
    glanceProcessIdentifier_ = pid;
    glanceSource_ = GlanceSource::dockHover;
    refreshAndShowGlance(pid, GlanceSource::dockHover);
}

void AppCoordinator::dockHoverEnded() {
    dockHoverTarget_.reset();
    if (glanceSource_ == GlanceSource::dockHover && !nativeSwitcherState_.selectedIndex) {
        hideGlance();
    }
}

bool AppCoordinator::panelContainsPoint(ScreenPoint point) {
    // A panel off screen holds no pointer, wherever it last stood; while one of its menus is
    // open the pointer is on the menu and still with the glance.
    const SwitcherPanelControlling& panel = switcherPanel();
    return panel.isPanelVisible() &&
           (panel.isMenuOpen() || GlanceRules::isNearPanel(panel.panelFrame(), point));
}

// ---- Screens ------------------------------------------------------------------------------------

ScreenPoint AppCoordinator::mouseLocation() const {
    const ScreenLayout& layout = desktop_.screenLayout();
    const double mainHeight = layout.displayBounds(layout.mainDisplayIdentifier()).height;
    return toScreenSpace(desktop_.pointerEvents().pointerLocation(), mainHeight);
}

std::optional<quint32> AppCoordinator::displayUnderPointer() const {
    const auto screen =
        GlanceRules::screenContaining(mouseLocation(), desktop_.screenLayout().screens());
    return screen ? screen->displayIdentifier : std::nullopt;
}

std::optional<ScreenRect> AppCoordinator::convertSwitcherFrame(const GlobalRect& frame,
                                                               quint32 display) const {
    const ScreenLayout& layout = desktop_.screenLayout();
    const auto screen = GlanceRules::screenOfDisplay(display, layout.screens());
    if (!screen) {
        return std::nullopt;
    }
    return GlanceRules::convertSwitcherFrame(frame, layout.displayBounds(display), screen->frame);
}

std::optional<ScreenRect> AppCoordinator::visibleFrameForDisplay(
    std::optional<quint32> display) const {
    if (!display) {
        return std::nullopt;
    }
    const auto screen = GlanceRules::screenOfDisplay(*display, desktop_.screenLayout().screens());
    return screen ? std::optional(screen->visibleFrame) : std::nullopt;
}

std::optional<GlobalRect> AppCoordinator::glanceDisplayBounds(
    std::optional<ScreenPoint> anchor, std::optional<quint32> display) const {
    const ScreenLayout& layout = desktop_.screenLayout();
    if (!display) {
        const QList<Screen> screens = layout.screens();
        std::optional<Screen> screen;
        if (anchor) {
            screen = GlanceRules::screenContaining(*anchor, screens);
        }
        if (!screen && !screens.isEmpty()) {
            screen = screens.first();
        }
        if (!screen) {
            return std::nullopt;
        }
        display = screen->displayIdentifier;
    }
    if (!display) {
        return std::nullopt;
    }
    // A display that is gone has no bounds to hold windows to.
    const GlobalRect bounds = layout.displayBounds(*display);
    return bounds.isEmpty() ? std::nullopt : std::optional(bounds);
}

}  // namespace pellucine
