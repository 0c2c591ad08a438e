#pragma once

#include <QDateTime>

#include "preferences/PortablePreferences.h"

namespace pellucine {

// Which copy of the portable record a sync keeps: this computer's (local) or the one read from
// the sync store (remote). A record nobody has edited yet carries the distant past as its date;
// it never wins over one somebody edited. Pure.
struct SyncMerge {
    // Why the remote copy was read.
    enum class Read {
        // At start-up, on a change in the store, or before a push: the later edit wins.
        update,
        // As sync is turned on or moved to another folder: the user chose to share the
        // settings kept there, so they are taken whatever their date.
        join,
    };

    // Whether the record was ever edited (its date is later than the distant past).
    static bool isEdited(const QDateTime& modifiedAt);

    // Whether the remote copy replaces the local one. `remoteCountsFromRead`: the remote date lay
    // far ahead of the clock and counts as the moment it was read, so it wins a tie.
    static bool remoteWins(Read read, const QDateTime& local, const QDateTime& remote,
                           bool remoteCountsFromRead = false);

    // Whether the two records hold different settings; their dates and this computer's sync
    // choice (flipping the switch is no edit) are left out.
    static bool differ(const PortablePreferences& a, const PortablePreferences& b);
};

}  // namespace pellucine
