#include "platform/x11/X11PointerPoll.h"

namespace pellucine {

std::optional<int> X11PointerPoll::intervalMilliseconds(std::optional<QPoint> last,
                                                        const std::optional<Dock>& dock,
                                                        bool deviceMovesHeard) {
    if (!dock || dock->isOwnWindow || dock->frame.isEmpty()) {
        return std::nullopt;
    }
    if (!last || dock->frame.adjusted(-reach, -reach, reach, reach).contains(*last)) {
        return nearIntervalMilliseconds;
    }
    if (!deviceMovesHeard) {
        return unheardIntervalMilliseconds;
    }
    return std::nullopt;
}

}  // namespace pellucine
