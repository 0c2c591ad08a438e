#pragma once

#include <QRect>
#include <QSize>

namespace pellucine {

// Size and place of a page guide sheet over its settings window, in global Qt coordinates.
namespace PageGuideGeometry {

// Kept free between the sheet and the edges of the screen's available area.
inline constexpr int screenMargin = 24;

// What the content needs, up to the available height less a margin above and below (the
// content scrolls then); never less than one point.
int height(int contentHeight, int availableHeight);

// The sheet of `size` centred across `window`, its top on the window's top, then moved the least
// that keeps it inside `available`; a sheet larger than `available` keeps its top-left corner
// at that of `available`.
QRect frame(const QRect& window, QSize size, const QRect& available);

}  // namespace PageGuideGeometry

}  // namespace pellucine
