#pragma once

#include <optional>

#include "base/Rect.h"

namespace pellucine {

// Where the preview panel's lower-left corner goes, in screen space (y up).
namespace PreviewPanelPlacement {

inline constexpr double dockOffset = 54;
inline constexpr double stripGap = 10;
inline constexpr double topMarginAboveStrip = 20;
inline constexpr double topMarginWithoutStrip = 28;
inline constexpr double bottomFloorWithoutStrip = 190;

// With an anchor (a Dock glance): beside the anchor, away from the screen edge nearest to it,
// kept inside the area. Without one: centred, 10 above the strip frame when there is one, else
// 28 below the area's top but at least 190 above its bottom. Without an anchor the panel's top
// never goes above the area's top, even when that puts its bottom below the area.
ScreenPoint origin(const Size& panelSize, const ScreenRect& screenArea,
                   const std::optional<ScreenPoint>& anchor,
                   const std::optional<ScreenRect>& stripFrame);

}  // namespace PreviewPanelPlacement

}  // namespace pellucine
