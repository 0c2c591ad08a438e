#pragma once

#include <QList>
#include <optional>

#include "base/Rect.h"
#include "panels/ScreenLookup.h"

namespace pellucine {

// Size and place of the window-search panel, in screen space (y up).
namespace WindowSearchPanelGeometry {

inline constexpr double panelWidth = 660;
inline constexpr double chromeHeight = 101;
inline constexpr double rowHeight = 54;
inline constexpr int visibleRows = 8;

// 101 plus 54 per shown row, one to eight rows: 155 for zero or one result, 533 for eight or more.
double panelHeight(qsizetype resultCount);

// The frame after the result count changed: the width is reset, the top edge and x stay.
ScreenRect resizedFrame(const ScreenRect& frame, qsizetype resultCount);

// The visible frame of the first screen under the pointer, else the main screen's; none without
// screens.
std::optional<ScreenRect> targetVisibleFrame(const ScreenPoint& pointer,
                                             const QList<Screen>& screens,
                                             const std::optional<ScreenRect>& mainVisibleFrame);

// Centred across the visible frame, its top a fifth of the frame's height below the frame's top;
// each coordinate rounded to a whole point, halves away from zero.
ScreenPoint origin(const Size& panelSize, const ScreenRect& visibleFrame);

}  // namespace WindowSearchPanelGeometry

}  // namespace pellucine
