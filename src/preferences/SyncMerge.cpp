#include "preferences/SyncMerge.h"

namespace pellucine {

bool SyncMerge::isEdited(const QDateTime& modifiedAt) {
    return modifiedAt.isValid() && modifiedAt > distantPast();
}

bool SyncMerge::remoteWins(Read read, const QDateTime& local, const QDateTime& remote,
                           bool remoteCountsFromRead) {
    if (!isEdited(remote)) {
        return read == Read::join && !isEdited(local);
    }
    if (read == Read::join || !isEdited(local)) {
        return true;
    }
    return remoteCountsFromRead ? remote >= local : remote > local;
}

bool SyncMerge::differ(const PortablePreferences& a, const PortablePreferences& b) {
    PortablePreferences undated = b;
    undated.modifiedAt = a.modifiedAt;
    undated.syncEnabled = a.syncEnabled;
    return a != undated;
}

}  // namespace pellucine
