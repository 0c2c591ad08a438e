#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <optional>

namespace pellucine {

// One row of square cells, left to right, each with an icon centred in it, in pixels relative
// to the window that shows the row. Cells are an icon with padding on every side; they shrink,
// the padding keeping its share, to fit the room there is.
struct X11IconRow {
    // The cells.
    QList<QRect> items;
    // The icon's side within a cell.
    int iconSize = 0;

    // `count` cells from `origin`, at most `room` pixels wide in all, for an icon of
    // `iconPoints` and a padding of `paddingPoints` at `scale` pixels per point. Empty when
    // there is nothing to lay out.
    static X11IconRow fit(int count, QPoint origin, int room, double iconPoints,
                          double paddingPoints, double scale);
    // Points at `scale`, at least one pixel.
    static int pixels(double points, double scale);

    // The side of a cell; 0 for an empty row.
    int cellSize() const { return items.isEmpty() ? 0 : items.first().width(); }
    // The icon's square in a cell.
    QRect iconRect(int index) const;
    // The cell under a point.
    std::optional<int> itemAt(QPoint point) const;
};

}  // namespace pellucine
