#pragma once

#include "base/Error.h"

namespace pellucine {

// Why a cloud record store refused an operation. The numbers are the store's wire codes and
// are shown to the user for codes without a message of their own.
enum class CloudErrorCode : int {
    internalError = 1,
    networkUnavailable = 3,
    networkFailure = 4,
    badContainer = 5,
    serviceUnavailable = 6,
    requestRateLimited = 7,
    notAuthenticated = 9,
    permissionFailure = 10,
    unknownItem = 11,
    invalidArguments = 12,
    serverRecordChanged = 14,
    serverRejectedRequest = 15,
    zoneBusy = 23,
    quotaExceeded = 25,
    accountTemporarilyUnavailable = 36,
};

class CloudStoreError final : public Error {
  public:
    // `reason` says what went wrong in the store's own words; without one a generic text
    // naming the code is used.
    explicit CloudStoreError(CloudErrorCode code, const QString& reason = {});

    CloudErrorCode code() const { return code_; }
    int rawCode() const { return static_cast<int>(code_); }
    QString typeName() const override { return QStringLiteral("pellucine.CloudStoreError"); }

  private:
    CloudErrorCode code_;
};

}  // namespace pellucine
