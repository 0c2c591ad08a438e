#include "preferences/CloudPreferenceSync.h"

#include <QJsonDocument>
#include <QPointer>

#include "base/Spawn.h"
#include "platform/CloudStoreError.h"

namespace pellucine {

CloudPreferenceSync::CloudPreferenceSync(CloudAccount& account, Scheduler& scheduler,
                                         const Bundle& bundle,
                                         std::shared_ptr<CloudRecordStore> container,
                                         std::optional<bool> configured)
    : scheduler_(scheduler),
      configured_(configured.value_or(Bundle::infoBool(configuredKey, bundle))) {
    if (!configured_) {
        return;
    }
    if (container) {
        container_ = std::move(container);
    } else if (const auto identifier = Bundle::infoString(containerIdentifierKey, bundle)) {
        container_ = account.container(*identifier);
    } else {
        container_ = account.defaultContainer();
    }
}

QCoro::Task<std::optional<PortablePreferences>> CloudPreferenceSync::push(
    PortablePreferences preferences, StoredWins storedWins) {
    if (!configured_ || !container_) {
        throw CloudSyncError::notConfigured();
    }
    const TaskHandle previous = lastPush_;
    const PushResult result = std::make_shared<std::optional<PortablePreferences>>();
    const TaskHandle mine =
        spawn(scheduler_, guarded(this, &CloudPreferenceSync::pushInTurn, previous,
                                  std::move(preferences), std::move(storedWins), result));
    lastPush_ = mine;
    co_await mine;
    std::optional<PortablePreferences> kept = *result;
    co_return kept;
}

QCoro::Task<void> CloudPreferenceSync::pushInTurn(CancellationToken,  // NOLINT
                                                  TaskHandle previous,
                                                  PortablePreferences preferences,
                                                  StoredWins storedWins, PushResult result) {
    QPointer<CloudPreferenceSync> self(this);
    if (previous.isValid()) {
        try {
            co_await previous;
        } catch (...) {
            // Its caller hears of its failure; this push goes on regardless.
        }
    }
    if (!self) {
        throw CancellationError();
    }
    QCoro::Task<std::optional<PortablePreferences>> pushing =
        pushNow(std::move(preferences), std::move(storedWins));
    *result = co_await pushing;
}

QCoro::Task<std::optional<PortablePreferences>> CloudPreferenceSync::pushNow(
    PortablePreferences preferences, StoredWins storedWins) {
    // Kept for the whole push, even if this service goes away meanwhile.
    const std::shared_ptr<CloudRecordStore> store = container_;
    for (int attempt = 1;; ++attempt) {
        CloudRecord record;
        bool fetched = false;
        try {
            QCoro::Task<CloudRecord> fetching = store->fetch(recordName);
            record = co_await fetching;
            fetched = true;
        } catch (...) {
            // No record yet, or none reachable: start a new one; the save reports what is wrong.
        }
        if (!fetched) {
            record = CloudRecord{recordType, recordName, {}, {}};
        } else if (storedWins) {
            std::optional<PortablePreferences> stored;
            const std::optional<CloudFieldValue> payload = record.field(payloadField);
            if (const QByteArray* bytes = payload ? std::get_if<QByteArray>(&*payload) : nullptr) {
                try {
                    stored = PortablePreferences::fromJsonData(*bytes);
                } catch (...) {
                    // Not a record this version can read: it is replaced.
                }
            }
            if (stored && *stored == preferences) {
                co_return std::nullopt;
            }
            if (stored && storedWins(*stored)) {
                co_return stored;
            }
        }
        record.fields.insert(payloadField,
                             QJsonDocument(preferences.toJson()).toJson(QJsonDocument::Compact));
        record.fields.insert(modifiedAtField, preferences.modifiedAt);
        try {
            QCoro::Task<CloudRecord> saving = store->save(std::move(record));
            co_await saving;
            co_return std::nullopt;
        } catch (const CloudStoreError& error) {
            if (error.code() != CloudErrorCode::serverRecordChanged || attempt >= pushAttempts) {
                throw;
            }
        }
    }
}

Subscription CloudPreferenceSync::watch(std::function<void()> onChange) {
    if (!configured_ || !container_) {
        return {};
    }
    return container_->watch(recordName, std::move(onChange));
}

QCoro::Task<std::optional<PortablePreferences>> CloudPreferenceSync::pull() {
    if (!configured_ || !container_) {
        throw CloudSyncError::notConfigured();
    }
    const std::shared_ptr<CloudRecordStore> store = container_;
    std::optional<CloudRecord> record;
    try {
        QCoro::Task<CloudRecord> fetching = store->fetch(recordName);
        record = co_await fetching;
    } catch (const CloudStoreError& error) {
        if (error.code() != CloudErrorCode::unknownItem) {
            throw;
        }
    }
    if (!record) {
        co_return std::nullopt;
    }
    const std::optional<CloudFieldValue> payload = record->field(payloadField);
    const QByteArray* bytes = payload ? std::get_if<QByteArray>(&*payload) : nullptr;
    if (bytes == nullptr) {
        throw CloudSyncError::missingPayload();
    }
    co_return PortablePreferences::fromJsonData(*bytes);
}

std::optional<QString> CloudPreferenceSync::chosenSyncFolder(const KeyValueStore& defaults) {
    const QVariant value = defaults.value(syncFolderKey);
    if (!value.canConvert<QString>()) {
        return std::nullopt;
    }
    const QString folder = value.toString().trimmed();
    return folder.isEmpty() ? std::nullopt : std::optional(folder);
}

QString CloudPreferenceSync::userMessage(const std::exception& error) {
    if (const auto* store = dynamic_cast<const CloudStoreError*>(&error)) {
        switch (store->code()) {
            case CloudErrorCode::quotaExceeded:
                return QStringLiteral(
                    "The disk holding the sync folder is full, so settings can’t sync. Your "
                    "change is saved here.");
            case CloudErrorCode::accountTemporarilyUnavailable:
                return QStringLiteral(
                    "Sync folder not found. Your change is saved here and will sync once the "
                    "folder is back.");
            case CloudErrorCode::notAuthenticated:
                return QStringLiteral("Choose a sync folder to sync settings.");
            case CloudErrorCode::permissionFailure:
                return QStringLiteral("Can't write to the sync folder. Your change is saved here.");
            case CloudErrorCode::badContainer:
                return QStringLiteral(
                    "The settings folder inside the sync folder is a link or not a folder, so "
                    "settings can’t sync. Your change is saved here.");
            case CloudErrorCode::networkUnavailable:
            case CloudErrorCode::networkFailure:
            case CloudErrorCode::serviceUnavailable:
            case CloudErrorCode::requestRateLimited:
            case CloudErrorCode::zoneBusy:
                return QStringLiteral(
                    "The sync folder didn’t answer. Your change is saved here and will sync on "
                    "the next one.");
            default:
                return QStringLiteral("Settings sync failed (%1). Your change is saved here.")
                    .arg(store->rawCode());
        }
    }
    return errorDescription(error);
}

}  // namespace pellucine
