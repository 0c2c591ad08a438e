#include "platform/DrawSettling.h"

#include <algorithm>

namespace pellucine {

void DrawSettling::drawn(ContinuousInstant at) {
    if (at >= shownAt && (!lastDrawnAt || at > *lastDrawnAt)) {
        lastDrawnAt = at;
    }
}

ContinuousInstant DrawSettling::settledAt() const {
    const ContinuousInstant latest = shownAt + limit;
    return lastDrawnAt ? std::min(*lastDrawnAt + quietSpell, latest) : latest;
}

Duration DrawSettling::wait(ContinuousInstant now) const {
    return std::clamp(settledAt() - now, Duration::zero(), lookInterval);
}

}  // namespace pellucine
