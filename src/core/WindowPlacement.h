#pragma once

#include <QString>
#include <QStringView>
#include <array>
#include <optional>

#include "base/Rect.h"

namespace pellucine {

// A target region of a screen's visible frame.
enum class WindowPlacement {
    maximize,
    leftHalf,
    rightHalf,
    topLeft,
    topRight,
    bottomLeft,
    bottomRight
};

inline constexpr std::array<WindowPlacement, 7> allWindowPlacements{
    WindowPlacement::maximize,   WindowPlacement::leftHalf, WindowPlacement::rightHalf,
    WindowPlacement::topLeft,    WindowPlacement::topRight, WindowPlacement::bottomLeft,
    WindowPlacement::bottomRight};

QString rawValue(WindowPlacement placement);
// No placement for a text that is none of the raw values.
std::optional<WindowPlacement> windowPlacementFromRawValue(QStringView raw);

// The region of the visible frame V (global space, "top" at V's minimum y). Left and top parts
// get the floored half, right and bottom parts the remainder.
GlobalRect placementFrame(WindowPlacement placement, const GlobalRect& visibleFrame);

}  // namespace pellucine
