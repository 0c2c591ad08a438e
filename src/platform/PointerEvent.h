#pragma once

#include <QtGlobal>

#include "base/Rect.h"

namespace pellucine {

// One pointer event as a global monitor sees it.
struct PointerEvent {
    enum class Type { moved, leftDown, leftUp, rightDown, rightUp, otherDown, otherUp, scrolled };

    Type type = Type::moved;
    // Where the pointer was, in the global space.
    GlobalPoint location;
    // Scroll steps: positive is up and left.
    double scrollX = 0;
    double scrollY = 0;

    friend bool operator==(const PointerEvent&, const PointerEvent&) = default;
};

}  // namespace pellucine
