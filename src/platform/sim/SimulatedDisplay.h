#pragma once

#include <QtGlobal>

#include "base/Rect.h"

namespace pellucine {

// One display of the simulated desktop, described in the global space.
struct SimulatedDisplay {
    quint32 identifier = 0;
    GlobalRect bounds;
    // The bounds less the menu bar and the Dock.
    GlobalRect visibleBounds;
    // Whether the display's screen carries its identifier; the display itself keeps it.
    bool screenHasIdentifier = true;
};

}  // namespace pellucine
