#pragma once

#include <QList>
#include <optional>

#include "base/Rect.h"

namespace pellucine {

// One screen as the panels see it, in screen space: its whole frame and its visible frame (the
// frame without the menu bar and the Dock).
struct ScreenFrames {
    ScreenRect frame;
    ScreenRect visibleFrame;

    friend bool operator==(const ScreenFrames&, const ScreenFrames&) = default;
};

// The first screen, in list order, whose frame holds the point (half-open: a point on the seam
// of two screens belongs to the one whose minimum edge it is).
std::optional<ScreenFrames> firstScreenContaining(const QList<ScreenFrames>& screens,
                                                  const ScreenPoint& point);

}  // namespace pellucine
