#include "platform/x11/shell/X11IconRow.h"

#include <algorithm>
#include <cmath>

namespace pellucine {

int X11IconRow::pixels(double points, double scale) {
    return std::max(1, static_cast<int>(std::lround(points * scale)));
}

X11IconRow X11IconRow::fit(int count, QPoint origin, int room, double iconPoints,
                           double paddingPoints, double scale) {
    X11IconRow row;
    if (count <= 0 || !(scale > 0)) {
        return row;
    }
    int padding = pixels(paddingPoints, scale);
    int cell = pixels(iconPoints, scale) + 2 * padding;
    if (count * cell > room) {
        cell = std::max(1, room / count);
        padding = std::min(
            padding, static_cast<int>(cell * paddingPoints / (iconPoints + 2 * paddingPoints)));
    }
    row.iconSize = std::max(1, cell - 2 * padding);
    for (int i = 0; i < count; ++i) {
        row.items.append(QRect(origin.x() + i * cell, origin.y(), cell, cell));
    }
    return row;
}

QRect X11IconRow::iconRect(int index) const {
    if (index < 0 || index >= items.size()) {
        return {};
    }
    const QRect& cell = items[index];
    return QRect(cell.x() + (cell.width() - iconSize) / 2,
                 cell.y() + (cell.height() - iconSize) / 2, iconSize, iconSize);
}

std::optional<int> X11IconRow::itemAt(QPoint point) const {
    for (int i = 0; i < items.size(); ++i) {
        if (items[i].contains(point)) {
            return i;
        }
    }
    return std::nullopt;
}

}  // namespace pellucine
