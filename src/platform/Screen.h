#pragma once

#include <QtGlobal>
#include <optional>

#include "base/Rect.h"

namespace pellucine {

// One screen as the window toolkit reports it, in the screen space (bottom-left origin).
struct Screen {
    // The display identifier; none for a screen the system cannot number.
    std::optional<quint32> displayIdentifier;
    ScreenRect frame;
    // The frame less the menu bar and the Dock.
    ScreenRect visibleFrame;

    friend bool operator==(const Screen&, const Screen&) = default;
};

}  // namespace pellucine
