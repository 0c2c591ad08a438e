#pragma once

#include <QString>
#include <functional>
#include <optional>

#include "base/Subscription.h"

namespace pellucine {

// The pressure levels one memory-pressure event reports.
struct MemoryPressureEvents {
    bool warning = false;
    bool critical = false;

    friend bool operator==(const MemoryPressureEvents&, const MemoryPressureEvents&) = default;
};

// Tells when the system runs short of memory. Main thread only.
class MemoryPressure {
  public:
    using Handler = std::function<void(MemoryPressureEvents)>;

    virtual ~MemoryPressure() = default;

    // Why the system cannot report memory pressure here, in kebab case; none when it can.
    // Subscribers of an unavailable source hear nothing.
    virtual std::optional<QString> unavailableReason() const = 0;
    // Calls handler on the main thread, on a turn of its own, for every event.
    [[nodiscard]] virtual Subscription subscribe(Handler handler) = 0;
};

}  // namespace pellucine
