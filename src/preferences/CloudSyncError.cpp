#include "preferences/CloudSyncError.h"

namespace pellucine {

namespace {

QString describe(CloudSyncError::Case c) {
    switch (c) {
        case CloudSyncError::Case::notConfigured:
            return QStringLiteral("iCloud sync isn’t available yet.");
        case CloudSyncError::Case::missingPayload:
            return QStringLiteral("We couldn’t read your saved settings from iCloud.");
    }
    return {};
}

}  // namespace

CloudSyncError::CloudSyncError(Case c) : Error(describe(c)), case_(c) {}

}  // namespace pellucine
