#include "panels/ScreenFrames.h"

namespace pellucine {

std::optional<ScreenFrames> firstScreenContaining(const QList<ScreenFrames>& screens,
                                                  const ScreenPoint& point) {
    for (const ScreenFrames& screen : screens) {
        if (screen.frame.contains(point)) {
            return screen;
        }
    }
    return std::nullopt;
}

}  // namespace pellucine
