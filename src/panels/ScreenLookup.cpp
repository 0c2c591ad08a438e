#include "panels/ScreenLookup.h"

namespace pellucine {

std::optional<Screen> firstScreenContaining(const QList<Screen>& screens,
                                            const ScreenPoint& point) {
    for (const Screen& screen : screens) {
        if (screen.frame.contains(point)) {
            return screen;
        }
    }
    return std::nullopt;
}

}  // namespace pellucine
