#pragma once

#include <qcoro/qcorotask.h>

#include <functional>
#include <optional>

#include "base/Subscription.h"
#include "preferences/PortablePreferences.h"

namespace pellucine {

// Carries the portable record to and from the user's other machines. Only a transport: which
// copy wins is the caller's decision. Both operations are awaited on the main thread and throw.
class PreferenceSyncing {
  public:
    virtual ~PreferenceSyncing() = default;

    // Whether this build syncs at all.
    virtual bool isConfigured() const = 0;
    // Whether the record found in the store wins over the one about to be pushed.
    using StoredWins = std::function<bool(const PortablePreferences& stored)>;

    // Reads the stored record first. When `storedWins` says it wins, nothing is written and it
    // is returned; when it holds these very settings, nothing is written either. Otherwise the
    // record is stored (a stored record that cannot be read is replaced) and none is returned.
    // Without `storedWins` the record is always stored.
    virtual QCoro::Task<std::optional<PortablePreferences>> push(PortablePreferences preferences,
                                                                 StoredWins storedWins = {}) = 0;
    // The stored record, or none when nothing was stored yet.
    virtual QCoro::Task<std::optional<PortablePreferences>> pull() = 0;
    // Calls `onChange` on the main thread whenever the stored record may have changed, until
    // the subscription goes; a store that cannot tell gives an empty subscription.
    virtual Subscription watch(std::function<void()> onChange) {
        (void)onChange;
        return {};
    }
};

}  // namespace pellucine
