#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <optional>

namespace pellucine {

// Where the strip and its items go, in root-window pixels: one row of square cells, each with an
// icon centred in it, above a line for the highlighted application's name, the whole strip
// centred on a screen. Cells shrink to keep the strip inside the screen with a margin.
struct X11SwitcherLayout {
    // Design sizes in points.
    static constexpr double iconPoints = 64;
    static constexpr double cellPaddingPoints = 12;
    static constexpr double stripPaddingPoints = 16;
    static constexpr double labelPoints = 30;
    static constexpr double screenMarginPoints = 40;

    // The strip on the root window.
    QRect strip;
    // The cells, relative to the strip, left to right.
    QList<QRect> items;
    // The name line, relative to the strip.
    QRect label;
    // The icon's side within a cell, in pixels.
    int iconSize = 0;

    // `screen` in root pixels, `scale` pixels per point. No items give an empty layout.
    static X11SwitcherLayout compute(int count, const QRect& screen, double scale);

    // The icon's square in a cell, relative to the strip.
    QRect iconRect(int index) const;
    // The cell under a point relative to the strip.
    std::optional<int> itemAt(QPoint point) const;
};

}  // namespace pellucine
