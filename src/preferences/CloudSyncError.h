#pragma once

#include "base/Error.h"

namespace pellucine {

// Why preference sync could not run or read what it found.
class CloudSyncError final : public Error {
  public:
    enum class Case { notConfigured, missingPayload };

    explicit CloudSyncError(Case c);
    static CloudSyncError notConfigured() { return CloudSyncError(Case::notConfigured); }
    static CloudSyncError missingPayload() { return CloudSyncError(Case::missingPayload); }

    Case errorCase() const { return case_; }
    QString typeName() const override { return QStringLiteral("pellucine.CloudSyncError"); }

  private:
    Case case_;
};

}  // namespace pellucine
