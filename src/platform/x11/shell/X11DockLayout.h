#pragma once

#include <QList>
#include <QRect>
#include <QSize>

#include "platform/x11/shell/X11IconRow.h"

namespace pellucine {

// Where the Dock bar and its items go, in root-window pixels: one row of cells (relative to the
// bar), each with a running dot under its icon, the bar centred on the bottom edge of a screen.
// Cells shrink to keep the bar inside the screen with a margin.
struct X11DockLayout : X11IconRow {
    // Design sizes in points.
    static constexpr double iconPoints = 48;
    static constexpr double cellPaddingPoints = 8;
    static constexpr double barPaddingPoints = 4;
    static constexpr double screenMarginPoints = 8;
    static constexpr double dotPoints = 5;
    // A dock this close to a screen's bottom edge sits on it.
    static constexpr int edgeSlack = 2;

    // The bar on the root window.
    QRect bar;
    // The side of a running dot; it fits the padding below the icon.
    int dotSize = 0;

    // `screen` in root pixels, `scale` pixels per point. No items give an empty layout.
    static X11DockLayout compute(int count, const QRect& screen, double scale);

    // The running dot under a cell's icon, relative to the bar.
    QRect dotRect(int index) const;
    // The 12 values of _NET_WM_STRUT_PARTIAL that keep the bar's height free along the bottom
    // edge of a root window of `rootSize`, over the bar's width; none for an empty layout.
    QList<quint32> strut(QSize rootSize) const;

    // Whether one of `docks` (frames of other dock windows) lies along the bottom edge of
    // `screen`: on the screen, at least as wide as it is tall, and reaching the edge.
    static bool isEdgeTaken(const QRect& screen, const QList<QRect>& docks);
};

}  // namespace pellucine
