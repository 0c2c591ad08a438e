#pragma once

#include <QList>
#include <optional>

#include "base/Rect.h"
#include "platform/Screen.h"

namespace pellucine {

// The first screen, in list order, whose frame holds the point (half-open: a point on the seam
// of two screens belongs to the one whose minimum edge it is).
std::optional<Screen> firstScreenContaining(const QList<Screen>& screens, const ScreenPoint& point);

}  // namespace pellucine
