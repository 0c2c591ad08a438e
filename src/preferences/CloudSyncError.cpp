#include "preferences/CloudSyncError.h"

namespace pellucine {

namespace {

QString describe(CloudSyncError::Case c) {
    switch (c) {
        case CloudSyncError::Case::notConfigured:
            return QStringLiteral("This build doesn’t sync settings.");
        case CloudSyncError::Case::missingPayload:
            return QStringLiteral("We couldn’t read the settings in the sync folder.");
    }
    return {};
}

}  // namespace

CloudSyncError::CloudSyncError(Case c) : Error(describe(c)), case_(c) {}

}  // namespace pellucine
