#pragma once

#include <QRect>

#include "platform/x11/shell/X11IconRow.h"

namespace pellucine {

// Where the strip and its items go, in root-window pixels: one row of cells (relative to the
// strip) above a line for the highlighted application's name, the whole strip centred on a
// screen. Cells shrink to keep the strip inside the screen with a margin.
struct X11SwitcherLayout : X11IconRow {
    // Design sizes in points.
    static constexpr double iconPoints = 64;
    static constexpr double cellPaddingPoints = 12;
    static constexpr double stripPaddingPoints = 16;
    static constexpr double labelPoints = 30;
    static constexpr double screenMarginPoints = 40;

    // The strip on the root window.
    QRect strip;
    // The name line, relative to the strip.
    QRect label;

    // `screen` in root pixels, `scale` pixels per point. No items give an empty layout.
    static X11SwitcherLayout compute(int count, const QRect& screen, double scale);
};

}  // namespace pellucine
