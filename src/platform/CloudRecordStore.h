#pragma once

#include <qcoro/qcorotask.h>

#include <functional>

#include "base/Subscription.h"
#include "platform/CloudRecord.h"
#include "platform/CloudStoreError.h"

namespace pellucine {

// The private records of one cloud container. Operations are awaited on the main thread; the
// work itself may run elsewhere. Failures throw CloudStoreError.
class CloudRecordStore {
  public:
    virtual ~CloudRecordStore() = default;

    // The stored record with this name; unknownItem when there is none.
    virtual QCoro::Task<CloudRecord> fetch(QString recordName) = 0;
    // Stores the record and returns it with its new change tag. serverRecordChanged when the
    // stored version is not the one the record was read from.
    virtual QCoro::Task<CloudRecord> save(CloudRecord record) = 0;
    // Calls `onChange` on the main thread whenever the record may have changed (written here or
    // elsewhere), until the subscription goes. A store that cannot tell gives an empty one.
    virtual Subscription watch(const QString& recordName, std::function<void()> onChange) {
        (void)recordName;
        (void)onChange;
        return {};
    }
};

}  // namespace pellucine
