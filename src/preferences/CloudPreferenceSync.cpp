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

QCoro::Task<void> CloudPreferenceSync::push(PortablePreferences preferences) {
    if (!configured_ || !container_) {
        throw CloudSyncError::notConfigured();
    }
    const TaskHandle previous = lastPush_;
    const TaskHandle mine = spawn(scheduler_, guarded(this, &CloudPreferenceSync::pushInTurn,
                                                      previous, std::move(preferences)));
    lastPush_ = mine;
    co_await mine;
}

QCoro::Task<void> CloudPreferenceSync::pushInTurn(CancellationToken,  // NOLINT
                                                  TaskHandle previous,
                                                  PortablePreferences preferences) {
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
    QCoro::Task<void> pushing = pushNow(std::move(preferences));
    co_await pushing;
}

QCoro::Task<void> CloudPreferenceSync::pushNow(PortablePreferences preferences) {
    // Kept for the whole push, even if this service goes away meanwhile.
    const std::shared_ptr<CloudRecordStore> store = container_;
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
    }
    record.fields.insert(payloadField,
                         QJsonDocument(preferences.toJson()).toJson(QJsonDocument::Compact));
    record.fields.insert(modifiedAtField, preferences.modifiedAt);
    QCoro::Task<CloudRecord> saving = store->save(std::move(record));
    co_await saving;
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
