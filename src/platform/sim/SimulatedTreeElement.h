#pragma once

#include <QHash>
#include <QString>
#include <optional>

#include "base/Rect.h"
#include "platform/AccessibilityValue.h"

namespace pellucine {

// One element of an application's own element tree (a Dock item, the switcher strip), as a
// test describes it. Children and parent come from where it is published.
struct SimulatedTreeElement {
    // Attributes by name; a present name without a value reads as "no value", an absent name
    // as unsupported. They take precedence over the frame.
    QHash<QString, std::optional<AccessibilityValue>> attributes;
    // Read as "AXPosition" and "AXSize"; both read "no value" when absent.
    std::optional<GlobalRect> frame;
    // Where hit testing finds the element; the frame when absent.
    std::optional<GlobalRect> hitArea;
};

}  // namespace pellucine
