#pragma once

#include <QList>
#include <optional>

#include "core/WindowDescriptor.h"

namespace pellucine {

// The windows the preview panel shows, in panel order, and the highlighted one.
struct SwitcherSelection {
    QList<WindowDescriptor> windows;
    std::optional<qsizetype> selectedIndex;

    friend bool operator==(const SwitcherSelection&, const SwitcherSelection&) = default;
};

}  // namespace pellucine
