#pragma once

#include <QList>
#include <QMap>
#include <QStringList>
#include <deque>
#include <optional>

#include "base/Scheduler.h"
#include "platform/CloudRecordStore.h"

namespace pellucine {

// One container of the simulated cloud: records in memory with change tags, operations that
// take scheduler time, and failures injected per operation kind.
class SimulatedCloudStore final : public CloudRecordStore {
  public:
    explicit SimulatedCloudStore(Scheduler& scheduler) : scheduler_(scheduler) {}

    // An operation's failure and time are fixed when it starts; it reads or writes the records
    // when its time is up.
    QCoro::Task<CloudRecord> fetch(QString recordName) override;
    QCoro::Task<CloudRecord> save(CloudRecord record) override;

    // Driver: records as another device leaves them. A put record gets a fresh change tag.
    void putRecord(CloudRecord record);
    void removeRecord(const QString& recordName) { records_.remove(recordName); }
    std::optional<CloudRecord> storedRecord(const QString& recordName) const;

    // Every later operation of the kind fails with the code, until cleared with none.
    void failFetches(std::optional<CloudErrorCode> code) { fetchFailure_ = code; }
    void failSaves(std::optional<CloudErrorCode> code) { saveFailure_ = code; }
    // Only the next operation of the kind fails; it goes before a lasting failure.
    void failNextFetch(CloudErrorCode code) { nextFetchFailures_.push_back(code); }
    void failNextSave(CloudErrorCode code) { nextSaveFailures_.push_back(code); }

    // The time every operation takes (none: one scheduler turn). Queued times go first, one
    // per operation in the order they start.
    void setLatency(Duration latency) { latency_ = latency; }
    void queueLatencies(const QList<Duration>& latencies);

    // "fetch NAME" and "save NAME" in the order the operations started.
    const QStringList& operations() const { return operations_; }
    // Records as they landed, oldest first.
    const QList<CloudRecord>& savedRecords() const { return saved_; }

  private:
    static std::optional<CloudErrorCode> takeFailure(std::deque<CloudErrorCode>& next,
                                                     std::optional<CloudErrorCode> lasting);
    Duration takeLatency();
    QString nextTag() { return QStringLiteral("tag-%1").arg(++tagCounter_); }

    Scheduler& scheduler_;
    QMap<QString, CloudRecord> records_;
    std::optional<CloudErrorCode> fetchFailure_;
    std::optional<CloudErrorCode> saveFailure_;
    std::deque<CloudErrorCode> nextFetchFailures_;
    std::deque<CloudErrorCode> nextSaveFailures_;
    Duration latency_ = Duration::zero();
    std::deque<Duration> queuedLatencies_;
    QStringList operations_;
    QList<CloudRecord> saved_;
    int tagCounter_ = 0;
};

}  // namespace pellucine
