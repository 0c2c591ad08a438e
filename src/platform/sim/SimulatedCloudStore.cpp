#include "platform/sim/SimulatedCloudStore.h"

#include "base/Sleep.h"

namespace pellucine {

std::optional<CloudErrorCode> SimulatedCloudStore::takeFailure(
    std::deque<CloudErrorCode>& next, std::optional<CloudErrorCode> lasting) {
    if (!next.empty()) {
        const CloudErrorCode code = next.front();
        next.pop_front();
        return code;
    }
    return lasting;
}

Duration SimulatedCloudStore::takeLatency() {
    if (queuedLatencies_.empty()) {
        return latency_;
    }
    const Duration d = queuedLatencies_.front();
    queuedLatencies_.pop_front();
    return d;
}

void SimulatedCloudStore::queueLatencies(const QList<Duration>& latencies) {
    queuedLatencies_.insert(queuedLatencies_.end(), latencies.begin(), latencies.end());
}

void SimulatedCloudStore::putRecord(CloudRecord record) {
    record.changeTag = nextTag();
    records_.insert(record.recordName, std::move(record));
}

std::optional<CloudRecord> SimulatedCloudStore::storedRecord(const QString& recordName) const {
    const auto it = records_.constFind(recordName);
    return it == records_.cend() ? std::nullopt : std::optional<CloudRecord>(*it);
}

QCoro::Task<CloudRecord> SimulatedCloudStore::fetch(QString recordName) {
    operations_ << QStringLiteral("fetch ") + recordName;
    const std::optional<CloudErrorCode> failure = takeFailure(nextFetchFailures_, fetchFailure_);
    co_await Sleep(scheduler_, takeLatency());
    if (failure) {
        throw CloudStoreError(*failure);
    }
    const auto it = records_.constFind(recordName);
    if (it == records_.cend()) {
        throw CloudStoreError(CloudErrorCode::unknownItem);
    }
    co_return CloudRecord(*it);
}

QCoro::Task<CloudRecord> SimulatedCloudStore::save(CloudRecord record) {
    operations_ << QStringLiteral("save ") + record.recordName;
    const std::optional<CloudErrorCode> failure = takeFailure(nextSaveFailures_, saveFailure_);
    co_await Sleep(scheduler_, takeLatency());
    if (failure) {
        throw CloudStoreError(*failure);
    }
    const auto it = records_.constFind(record.recordName);
    const QString storedTag = it == records_.cend() ? QString() : it->changeTag;
    if (record.changeTag != storedTag) {
        throw CloudStoreError(CloudErrorCode::serverRecordChanged);
    }
    record.changeTag = nextTag();
    records_.insert(record.recordName, record);
    saved_ << record;
    co_return record;
}

}  // namespace pellucine
