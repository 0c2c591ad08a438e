#include "platform/sim/SimulatedAppearance.h"

namespace pellucine {

Subscription SimulatedAppearance::subscribe(Handler handler) {
    return handlers_.add([handler = std::move(handler)](const SchemePreference& preference) {
        handler(preference);
    });
}

void SimulatedAppearance::setPreference(SchemePreference preference) {
    if (preference == preference_) {
        return;
    }
    preference_ = preference;
    scheduler_.post([this, alive = std::weak_ptr<const bool>(alive_), preference] {
        if (!alive.expired()) {
            handlers_.send(preference);
        }
    });
}

}  // namespace pellucine
