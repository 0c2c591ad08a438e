#pragma once

#include <QtGlobal>
#include <optional>

#include "base/Rect.h"

namespace pellucine {

// What the system's Command-Tab strip shows at one moment.
struct NativeSwitcherReading {
    // The application whose item the strip highlights.
    qint32 processIdentifier = 0;
    // The display the strip is on; none when no display holds it.
    std::optional<quint32> displayID;
    // The strip itself, in the global space; none when it was not found.
    std::optional<GlobalRect> frame;

    friend bool operator==(const NativeSwitcherReading&, const NativeSwitcherReading&) = default;
};

}  // namespace pellucine
