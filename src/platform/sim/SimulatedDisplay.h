#pragma once

#include <QtGlobal>
#include <optional>

#include "base/Rect.h"

namespace pellucine {

// One display of the simulated desktop, described in the global space.
struct SimulatedDisplay {
    // None for a screen the system cannot number.
    std::optional<quint32> identifier;
    GlobalRect bounds;
    // The bounds less the menu bar and the Dock.
    GlobalRect visibleBounds;
};

}  // namespace pellucine
