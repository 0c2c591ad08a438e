#pragma once

#include <qcoro/qcorotask.h>

#include <optional>

#include "preferences/PortablePreferences.h"

namespace pellucine {

// Carries the portable record to and from the user's other machines. Only a transport: which
// copy wins is the caller's decision. Both operations are awaited on the main thread and throw.
class PreferenceSyncing {
  public:
    virtual ~PreferenceSyncing() = default;

    // Whether this build syncs at all.
    virtual bool isConfigured() const = 0;
    // Returns once the record is stored.
    virtual QCoro::Task<void> push(PortablePreferences preferences) = 0;
    // The stored record, or none when nothing was stored yet.
    virtual QCoro::Task<std::optional<PortablePreferences>> pull() = 0;
};

}  // namespace pellucine
