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
    // A press or release that went to a window of this program (its tray icon, its menus, its
    // panels), which the program sees itself as well.
    bool toOwnWindow = false;

    friend bool operator==(const PointerEvent&, const PointerEvent&) = default;
};

}  // namespace pellucine
