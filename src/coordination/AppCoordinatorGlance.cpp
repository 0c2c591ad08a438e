#include <QPointer>
#include <limits>

#include "base/Spawn.h"
#include "coordination/AppCoordinator.h"

namespace pellucine {

namespace {

const ApplicationDescriptor* applicationWithPID(const QList<ApplicationDescriptor>& applications,
                                                qint32 pid) {
    for (const ApplicationDescriptor& application : applications) {
        if (application.processIdentifier == pid) {
            return &application;
        }
    }
    return nullptr;
}

QList<quint32> windowNumbers(const QList<WindowDescriptor>& windows) {
    QList<quint32> numbers;
    numbers.reserve(windows.size());
    for (const WindowDescriptor& window : windows) {
        numbers.append(window.id);
    }
    return numbers;
}

}  // namespace

bool AppCoordinator::isExcludedApplication(qint32 processIdentifier) const {
    std::optional<QString> bundle;
    if (const auto running = desktop_.workspace().runningApplication(processIdentifier)) {
        bundle = running->bundleIdentifier;
    }
    if (!bundle) {
        if (const ApplicationDescriptor* listed =
                applicationWithPID(model_.applications().value(), processIdentifier)) {
            bundle = listed->bundleIdentifier;
        }
    }
    return bundle &&
           model_.portablePreferences().value().excludedDockAppBundleIdentifiers.contains(*bundle);
}

void AppCoordinator::refuseGlance(qint32 processIdentifier, GlanceSource source) {
    // Claimed, so that stepping back to the application shown before asks afresh.
    glanceProcessIdentifier_ = processIdentifier;
    glanceSource_ = source;
    previewTask_.cancel();
    model_.previewImages().set({});
    hidePanel();
}

void AppCoordinator::showGlance(qint32 processIdentifier, GlanceSource source,
                                std::optional<ScreenPoint> anchor, std::optional<quint32> displayID,
                                std::optional<ScreenRect> switcherFrame, bool refresh) {
    if (!refresh && glanceProcessIdentifier_ == processIdentifier && glanceSource_ == source) {
        return;
    }
    const EventFields sourceField{{QStringLiteral("source"), eventForm(source)}};
    if (processIdentifier == ownProcessIdentifier()) {
        refuseGlance(processIdentifier, source);
        if (!loggedOwnApplicationGlance_) {
            loggedOwnApplicationGlance_ = true;
            EventFields fields = sourceField;
            fields.insert(QStringLiteral("reason"), QStringLiteral("own-application"));
            events_.record(QStringLiteral("glance-not-shown"), fields);
        }
        return;
    }
    loggedOwnApplicationGlance_ = false;
    if (source == GlanceSource::commandTab && !displayID) {
        return;
    }
    if (isExcludedApplication(processIdentifier)) {
        refuseGlance(processIdentifier, source);
        EventFields fields = sourceField;
        fields.insert(QStringLiteral("reason"), QStringLiteral("app-excluded"));
        events_.record(QStringLiteral("glance-not-shown"), fields);
        return;
    }

    // A refresh of the glance on screen keeps each remaining window in its row.
    const bool keepsRows = refresh && glanceProcessIdentifier_ == processIdentifier &&
                           glanceSource_ == source && switcherPanel().isPanelVisible();
    glanceProcessIdentifier_ = processIdentifier;
    glanceSource_ = source;
    previewTask_.cancel();

    const std::optional<ScreenRect> screenFrame = visibleFrameForDisplay(displayID);
    std::optional<ScreenRect> frame = switcherFrame;
    if (source == GlanceSource::commandTab && !frame && screenFrame) {
        frame = GlanceRules::estimateSwitcherFrame(*screenFrame);
        events_.record(QStringLiteral("native-switcher-frame-estimated"),
                       {{QStringLiteral("displayID"), QString::number(*displayID)}});
    }
    const PortablePreferences& preferences = model_.portablePreferences().value();
    const GlanceRules::WindowPolicy policy{preferences.includeMinimizedWindows,
                                           preferences.includeWindowsFromOtherSpaces,
                                           preferences.includeWindowsFromOtherDisplays};
    const std::optional<GlobalRect> bounds = glanceDisplayBounds(anchor, displayID);
    QList<WindowDescriptor> windows;
    if (const ApplicationDescriptor* application =
            applicationWithPID(model_.applications().value(), processIdentifier)) {
        windows = application->windows;
    }
    QList<WindowDescriptor> candidates = GlanceRules::chooseWindows(windows, policy, bounds);
    if (keepsRows) {
        candidates =
            GlanceRules::keepShownOrder(model_.switcherSelection().value().windows, candidates);
    }
    const QString windowCount = QString::number(candidates.size());
    EventFields countFields = sourceField;
    countFields.insert(QStringLiteral("windowCount"), windowCount);

    SwitcherPanelControlling& panel = switcherPanel();
    if (refresh && panel.isPanelVisible() && !candidates.isEmpty() &&
        windowNumbers(candidates) == windowNumbers(model_.switcherSelection().value().windows)) {
        model_.switcherSelection().set({candidates, 0});
        events_.record(QStringLiteral("glance-refreshed-in-place"), countFields);
        if (model_.needsPictures(candidates)) {
            previewTask_.cancel();
            previewTask_ =
                spawn(scheduler_, guarded(this, &AppCoordinator::loadGlancePreviews, candidates));
        }
        return;
    }

    model_.switcherSelection().set(
        {candidates, candidates.isEmpty() ? std::nullopt : std::optional<qsizetype>(0)});
    std::optional<QString> refusal;
    if (candidates.isEmpty()) {
        refusal = QStringLiteral("no-windows");
    } else if (source == GlanceSource::dockHover && candidates.size() == 1 &&
               preferences.skipSingleWindowDockPreviews) {
        refusal = QStringLiteral("display-policy");
    }
    if (refusal) {
        EventFields fields = countFields;
        fields.insert(QStringLiteral("reason"), *refusal);
        events_.record(QStringLiteral("glance-not-shown"), fields);
        panel.hide();
        return;
    }

    SwitcherPanelShowOptions options{
        .anchor = anchor, .screenFrame = screenFrame, .switcherFrame = frame};
    switch (source) {
        case GlanceSource::dockHover:
            options.dockMode = true;
            options.showsWindowControls = preferences.showDockPreviewControls;
            break;
        case GlanceSource::commandTab:
            options.showsSearchHint = model_.machinePreferences().value().windowSearchEnabled;
            break;
        case GlanceSource::menu: {
            const QPointer<AppCoordinator> self(this);
            options.onClose = [self] {
                if (self) {
                    self->hideGlance();
                }
            };
            break;
        }
    }
    // The pictures the cache already holds are in the panel's first frame.
    model_.publishFreshPictures(candidates);
    panel.show(std::move(options));
    if (source == GlanceSource::menu && menuPanelMonitors_.empty()) {
        installMenuPanelMonitors();
    }
    events_.record(QStringLiteral("glance-shown"), countFields);
    previewTask_ =
        spawn(scheduler_, guarded(this, &AppCoordinator::loadGlancePreviews, candidates));
    if (source == GlanceSource::commandTab && !switcherWarmupTask_.isValid()) {
        preloadNeighboursOnce(policy, bounds);
    }
}

void AppCoordinator::preloadNeighboursOnce(const GlanceRules::WindowPolicy& policy,
                                           const std::optional<GlobalRect>& bounds) {
    const QStringList& excluded =
        model_.portablePreferences().value().excludedDockAppBundleIdentifiers;
    QList<WindowDescriptor> windows;
    for (const qint32 pid :
         nativeSwitcherState_.neighbourProcessIdentifiers(std::numeric_limits<int>::max())) {
        const ApplicationDescriptor* application =
            applicationWithPID(model_.applications().value(), pid);
        if (application == nullptr ||
            (application->bundleIdentifier && excluded.contains(*application->bundleIdentifier))) {
            continue;
        }
        windows += GlanceRules::chooseWindows(application->windows, policy, bounds);
    }
    switcherWarmupTask_ =
        spawn(scheduler_, guarded(this, &AppCoordinator::preloadNeighbours, windows));
}

QCoro::Task<void> AppCoordinator::loadGlancePreviews(CancellationToken token,
                                                     QList<WindowDescriptor> windows) {
    co_await model_.loadPreviews(std::move(token), std::move(windows));
}

QCoro::Task<void> AppCoordinator::preloadNeighbours(CancellationToken token,
                                                    QList<WindowDescriptor> windows) {
    co_await model_.preloadPreviews(std::move(token), std::move(windows));
}

}  // namespace pellucine
