#pragma once

#include <functional>

#include "base/Subscription.h"
#include "platform/PointerEvent.h"

namespace pellucine {

// The pointer of the whole session: moves, clicks and scrolls wherever they go, observed without
// taking them. Handlers run on the main thread from the desktop's event delivery; a burst of
// moves may arrive as one.
class PointerEventSource {
  public:
    // Which events a monitor wants.
    enum Kind : unsigned {
        moves = 1,
        clicks = 2,
        scrolls = 4,
    };
    using Handler = std::function<void(const PointerEvent&)>;

    virtual ~PointerEventSource() = default;

    // A monitor of the kinds (a combination of `Kind`), held by the subscription; an inactive
    // subscription when the desktop offers none.
    virtual Subscription monitor(unsigned kinds, Handler handler) = 0;
    // Where the pointer is now, in the global space.
    virtual GlobalPoint pointerLocation() const = 0;
};

}  // namespace pellucine
