#include "coordination/AppModel.h"

#include <QPointer>
#include <utility>

#include "base/Error.h"
#include "base/Spawn.h"
#include "preferences/CloudPreferenceSync.h"

namespace pellucine {

namespace {

struct Failure {
    QString typeName;
    QString description;
    // The sync service's text for it.
    QString syncMessage;
};

Failure describe(const std::exception_ptr& failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& error) {
        return {errorTypeName(error), errorDescription(error),
                CloudPreferenceSync::userMessage(error)};
    } catch (...) {
        const QString text = QStringLiteral("An unknown error occurred.");
        return {QStringLiteral("unknown"), text, text};
    }
}

}  // namespace

QString AppModel::SyncStatus::text(const QLocale& locale, const QTimeZone& zone) const {
    switch (case_) {
        case Case::synced: {
            const QString synced =
                QStringLiteral("Synced ") +
                locale.toString(date_.toTimeZone(zone).time(), QLocale::ShortFormat);
            return tookRemote_ ? synced + QStringLiteral(", with another computer’s newer settings")
                               : synced;
        }
        case Case::failed:
            return message_;
        case Case::idle:
            return {};
        case Case::syncing:
            return QStringLiteral("Syncing…");
    }
    return {};
}

AppModel::AppModel(Platform platform, WindowServicing& windowService,
                   PreviewServicing& previewService, PreferenceStoring& preferenceStore,
                   PreferenceSyncing& syncService, QObject* parent)
    : QObject(parent),
      desktop_(platform.desktop),
      scheduler_(platform.scheduler),
      events_(platform.events),
      wallClock_(platform.wallClock),
      executor_(platform.executor),
      permissions_(platform.desktop, platform.scheduler, platform.events,
                   std::move(platform.waitForEventLog)),
      loginItem_(platform.desktop.loginItems()),
      previewCache_(platform.desktop.imageCoding(), platform.executor, platform.scheduler.clock(),
                    cacheTimeToLiveSeconds, cacheCapacity, cacheHotCapacity),
      updates_(UpdateController::Services{std::move(platform.updates), platform.scheduler,
                                          platform.wallClock, platform.events},
               UpdateController::Host{}),
      liveWindowIDs_([&list = platform.desktop.windowList()] { return list.liveWindowNumbers(); }),
      windowService_(windowService),
      previewService_(previewService),
      preferenceStore_(preferenceStore),
      syncService_(syncService) {
    portablePreferences_.set(preferenceStore_.loadPortablePreferences());
    committedPortable_ = portablePreferences_.value();
    machinePreferences_.set(preferenceStore_.loadMachinePreferences());
    settingsReverted_.set(preferenceStore_.unreadableCopy());
    subscriptions_ += portablePreferences_.subscribeDistinct(
        [](const PortablePreferences& p) { return p.keepPasswordManagersPrivate; },
        [this](bool keepPrivate) {
            if (keepPrivate) {
                hidePrivatePreviews();
            }
        });
    startMemoryPressureMonitor();
}

AppModel::~AppModel() = default;

PreviewChoice AppModel::previewChoice() const {
    return {portablePreferences_.value().keepPasswordManagersPrivate,
            desktop_.process().operatingSystemMajorVersion()};
}

// ---- Window list ------------------------------------------------------------------------------

QCoro::Task<void> AppModel::refreshWindows() {
    const QPointer<AppModel> self(this);
    const quint64 sequence = ++refreshesStarted_;
    WindowServicing& service = windowService_;
    std::optional<QList<ApplicationDescriptor>> snapshot;
    std::exception_ptr failure;
    try {
        snapshot = co_await service.enumerateWindows();
    } catch (...) {
        failure = std::current_exception();
    }
    if (!self) {
        co_return;
    }
    if (failure) {
        refreshFailed(sequence, failure);
    } else {
        applySnapshot(sequence, std::move(*snapshot));
    }
}

void AppModel::applySnapshot(quint64 sequence, QList<ApplicationDescriptor> snapshot) {
    // A slower, older refresh must not overwrite a newer list or prune against its own.
    if (sequence < lastAppliedRefresh_) {
        return;
    }
    lastAppliedRefresh_ = sequence;
    focusStamps_.apply(snapshot, wallClock_.now());
    QSet<quint32> keeping = liveWindowIDs_();
    qsizetype windowCount = 0;
    for (const ApplicationDescriptor& application : snapshot) {
        windowCount += application.windows.size();
        for (const WindowDescriptor& window : application.windows) {
            keeping.insert(window.id);
        }
    }
    const qsizetype applicationCount = snapshot.size();
    applications_.set(std::move(snapshot));
    previewCache_.prune(keeping);
    pictureSizes_.removeIf(
        [&keeping](const auto& entry) { return !keeping.contains(entry.key()); });
    events_.record(QStringLiteral("windows-refreshed"),
                   {{QStringLiteral("applicationCount"), QString::number(applicationCount)},
                    {QStringLiteral("windowCount"), QString::number(windowCount)}});
}

void AppModel::refreshFailed(quint64 sequence, const std::exception_ptr& failure) {
    const Failure f = describe(failure);
    // A failure older than a list already applied says nothing about the current one.
    if (sequence > lastAppliedRefresh_) {
        errorMessage_.set(f.description);
    }
    events_.record(QStringLiteral("windows-refresh-failed"),
                   {{QStringLiteral("errorType"), f.typeName}});
}

bool AppModel::performWindowAction(WindowAction action, const WindowDescriptor& window) {
    try {
        windowService_.performWindowAction(action, window);
    } catch (...) {
        errorMessage_.set(describe(std::current_exception()).description);
        events_.record(QStringLiteral("window-action-failed"),
                       {{QStringLiteral("reason"), action.textForm()}});
        return false;
    }
    windowActedOn(action, window);
    return true;
}

void AppModel::windowActedOn(const WindowAction& action, const WindowDescriptor& window) {
    advancePreviewSessionGeneration();
    previewService_.invalidateContent();
    if (action.kind == WindowAction::Kind::close) {
        picturesDue_.remove(window.id);
        if (previewImages_.value().contains(window.id)) {
            previewImages_.modify([&](PreviewImages& images) { images.remove(window.id); });
        }
    } else {
        picturesDue_.insert(window.id);
    }
}

// ---- Preferences and sync ---------------------------------------------------------------------

bool AppModel::applyPreferences() {
    if (SyncMerge::differ(portablePreferences_.value().normalized(), committedPortable_)) {
        const QDateTime stamp = wallClock_.now();
        portablePreferences_.modify([&stamp](PortablePreferences& p) { p.modifiedAt = stamp; });
    }
    portablePreferences_.modify([](PortablePreferences& p) { p.normalize(); });
    const bool stored = storePreferences();
    if (!portablePreferences_.value().syncEnabled) {
        pendingPush_.reset();
        if (!(syncStatus_.value() == SyncStatus::idle())) {
            syncStatus_.set(SyncStatus::idle());
        }
        return stored;
    }
    syncStatus_.set(SyncStatus::syncing());
    pendingPush_ = portablePreferences_.value();
    if (!pushTask_.isValid() || pushTask_.isFinished()) {
        pushTask_ = spawn(scheduler_, guarded(this, &AppModel::pushPreferences));
    }
    return stored;
}

bool AppModel::storePreferences() {
    committedPortable_ = portablePreferences_.value();
    // Both are tried: one that fails does not keep the other from its file.
    const bool portable = preferenceStore_.savePortablePreferences(portablePreferences_.value());
    const bool machine = preferenceStore_.saveMachinePreferences(machinePreferences_.value());
    const bool stored = portable && machine;
    if (preferencesUnsaved_.value() == stored) {
        preferencesUnsaved_.set(!stored);
    }
    return stored;
}

QCoro::Task<void> AppModel::pushPreferences(CancellationToken) {  // NOLINT
    const QPointer<AppModel> self(this);
    PreferenceSyncing& sync = syncService_;
    while (self && pendingPush_) {
        const PortablePreferences record = *std::exchange(pendingPush_, std::nullopt);
        const PreferenceSyncing::StoredWins wins = [self, record](const PortablePreferences& s) {
            return self && self->storedWins(record, s);
        };
        std::optional<PortablePreferences> kept;
        std::exception_ptr failure;
        try {
            kept = co_await sync.push(record, wins);
        } catch (...) {
            failure = std::current_exception();
        }
        if (!self) {
            co_return;
        }
        if (kept) {
            // Newer there than what this push started from: taken instead of overwritten.
            self->pulled(std::move(kept), SyncMerge::Read::update);
        } else {
            pushFinished(failure);
        }
    }
}

QCoro::Task<void> AppModel::pushesFinished() {
    const TaskHandle pushing = pushTask_;
    if (pushing.isValid() && !pushing.isFinished()) {
        try {
            co_await pushing;
        } catch (...) {
            // The push's own outcome is in syncStatus.
        }
    }
}

void AppModel::pushFinished(const std::exception_ptr& failure) {
    // Only the outcome of the last push waiting says how sync stands, and only while it is on.
    const bool decides = !pendingPush_ && portablePreferences_.value().syncEnabled;
    if (failure) {
        if (decides) {
            syncStatus_.set(SyncStatus::failed(describe(failure).syncMessage));
        }
        syncFailed(QStringLiteral("sync-push-failed"), failure);
        return;
    }
    if (decides) {
        syncStatus_.set(SyncStatus::synced(wallClock_.now()));
    }
    events_.record(QStringLiteral("sync-pushed"));
}

bool AppModel::storedWins(const PortablePreferences& pushing, PortablePreferences stored) {
    const QDateTime now = wallClock_.now();
    QDateTime local = pushing.modifiedAt;
    if (RecordDating::isFarAhead(local, now)) {
        local = now;
    }
    const bool ahead = RecordDating::isFarAhead(stored.modifiedAt, now);
    stored.modifiedAt = pulledDates_.counted(stored.modifiedAt, now);
    return SyncMerge::remoteWins(SyncMerge::Read::update, local, stored.modifiedAt, ahead);
}

QCoro::Task<void> AppModel::pullSyncedPreferences(SyncMerge::Read read) {
    if (!portablePreferences_.value().syncEnabled) {
        co_return;
    }
    syncStatus_.set(SyncStatus::syncing());
    const QPointer<AppModel> self(this);
    PreferenceSyncing& sync = syncService_;
    std::optional<PortablePreferences> remote;
    std::exception_ptr failure;
    try {
        remote = co_await sync.pull();
    } catch (...) {
        failure = std::current_exception();
    }
    if (!self) {
        co_return;
    }
    if (failure) {
        syncStatus_.set(SyncStatus::failed(describe(failure).syncMessage));
        syncFailed(QStringLiteral("sync-pull-failed"), failure);
    } else {
        pulled(std::move(remote), read);
    }
}

void AppModel::pulled(std::optional<PortablePreferences> remote, SyncMerge::Read read) {
    bool took = false;
    if (remote) {
        const QDateTime now = wallClock_.now();
        // The local record as it is now, not as it was when the pull began. Either date far
        // ahead of the clock counts as when it was read, and is kept so; a record that far
        // ahead was written no later than it was read, so it also wins a tie.
        PortablePreferences local = portablePreferences_.value();
        if (RecordDating::isFarAhead(local.modifiedAt, now)) {
            local.modifiedAt = now;
        }
        const bool ahead = RecordDating::isFarAhead(remote->modifiedAt, now);
        remote->modifiedAt = pulledDates_.counted(remote->modifiedAt, now);
        const bool replaces =
            SyncMerge::remoteWins(read, local.modifiedAt, remote->modifiedAt, ahead);
        if (replaces) {
            // Sync stays on here whatever the other computer's record says.
            remote->syncEnabled = local.syncEnabled;
            took = SyncMerge::differ(*remote, local);
        }
        PortablePreferences winner = replaces ? *remote : local;
        portablePreferences_.set(std::move(winner));
        committedPortable_ = portablePreferences_.value();
        if (!preferenceStore_.savePortablePreferences(portablePreferences_.value())) {
            preferencesUnsaved_.set(true);
        }
    }
    syncStatus_.set(SyncStatus::synced(wallClock_.now(), took));
    events_.record(QStringLiteral("sync-pulled"));
}

void AppModel::followSyncedPreferences() {
    const QPointer<AppModel> self(this);
    syncWatch_ = syncService_.watch([self] {
        if (self) {
            self->syncedRecordChanged();
        }
    });
    syncedRecordChanged();
}

void AppModel::syncedRecordChanged() {
    if (!portablePreferences_.value().syncEnabled) {
        return;
    }
    if (followTask_.isValid() && !followTask_.isFinished()) {
        pullAgain_ = true;
        return;
    }
    followTask_ = spawn(scheduler_, guarded(this, &AppModel::followPulls));
}

QCoro::Task<void> AppModel::followPulls(CancellationToken) {  // NOLINT
    const QPointer<AppModel> self(this);
    do {
        pullAgain_ = false;
        co_await pullSyncedPreferences();
    } while (self && self->pullAgain_);
}

void AppModel::syncFailed(const QString& event, const std::exception_ptr& failure) {
    const Failure f = describe(failure);
    errorMessage_.set(f.description);
    events_.record(event, {{QStringLiteral("errorType"), f.typeName}});
}

// ---- Memory pressure --------------------------------------------------------------------------

void AppModel::startMemoryPressureMonitor() {
    MemoryPressure& source = desktop_.memoryPressure();
    if (const std::optional<QString> reason = source.unavailableReason()) {
        events_.record(QStringLiteral("memory-pressure-unavailable"),
                       {{QStringLiteral("reason"), *reason}});
    }
    memoryPressure_ = source.subscribe([self = QPointer<AppModel>(this)](MemoryPressureEvents e) {
        if (self) {
            self->handleMemoryPressure(e.critical);
        }
    });
}

void AppModel::handleMemoryPressure(bool critical) {
    const int hot = previewCache_.hotImageCount();
    if (critical) {
        previewCache_.removeAll();
    } else {
        previewCache_.dropHotImages();
    }
    events_.record(
        QStringLiteral("preview-cache-dropped"),
        {{QStringLiteral("reason"),
          critical ? QStringLiteral("memory-critical") : QStringLiteral("memory-warning")},
         {QStringLiteral("requestedCount"), QString::number(hot)},
         {QStringLiteral("cachedCount"), QString::number(previewCache_.entries().size())}});
}

}  // namespace pellucine
