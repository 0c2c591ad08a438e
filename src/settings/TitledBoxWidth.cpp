#include "settings/TitledBoxWidth.h"

#include <algorithm>

namespace pellucine {

int TitledBoxWidth::minimum(int titleWidth, int screenWidth) {
    const int room = std::max(0, screenWidth - 2 * screenMargin);
    return std::min(std::max(0, titleWidth) + frameAllowance, room);
}

}  // namespace pellucine
