#pragma once

#include <QtGlobal>
#include <optional>

#include "base/Rect.h"

namespace pellucine {

// One entry of the system window list as the system reports it: every field may be missing,
// and numbers arrive as wide integers for the reader to check.
struct WindowListEntry {
    std::optional<qint64> number;
    std::optional<qint64> ownerPID;
    // 0 for ordinary application windows; menus, panels, docks and overlays use others.
    std::optional<qint64> layer;
    // Global space.
    std::optional<GlobalRect> bounds;
    std::optional<bool> isOnScreen;

    friend bool operator==(const WindowListEntry&, const WindowListEntry&) = default;
};

}  // namespace pellucine
