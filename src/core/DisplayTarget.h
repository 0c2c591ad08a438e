#pragma once

#include <QtGlobal>

#include "base/Rect.h"

namespace pellucine {

// One display: its identifier and its bounds in the global space.
struct DisplayTarget {
    quint32 identifier = 0;
    GlobalRect bounds;

    friend bool operator==(const DisplayTarget&, const DisplayTarget&) = default;
};

}  // namespace pellucine
