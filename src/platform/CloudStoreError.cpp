#include "platform/CloudStoreError.h"

namespace pellucine {

CloudStoreError::CloudStoreError(CloudErrorCode code, const QString& reason)
    : Error(reason.isEmpty()
                ? QStringLiteral("The cloud record store failed (code %1).").arg(int(code))
                : reason),
      code_(code) {}

}  // namespace pellucine
