#include "platform/sim/SimulatedMemoryPressure.h"

namespace pellucine {

Subscription SimulatedMemoryPressure::subscribe(Handler handler) {
    ++subscribed_;
    return handlers_.add(
        [handler = std::move(handler)](const MemoryPressureEvents& events) { handler(events); });
}

void SimulatedMemoryPressure::fire(MemoryPressureEvents events) {
    if (unavailable_) {
        return;
    }
    scheduler_.post([this, alive = std::weak_ptr<const bool>(alive_), events] {
        if (!alive.expired()) {
            handlers_.send(events);
        }
    });
}

}  // namespace pellucine
