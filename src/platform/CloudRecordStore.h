#pragma once

#include <qcoro/qcorotask.h>

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
};

}  // namespace pellucine
