#include "platform/x11/X11SwitcherLayout.h"

#include <algorithm>
#include <cmath>

namespace pellucine {

namespace {

int pixels(double points, double scale) {
    return std::max(1, static_cast<int>(std::lround(points * scale)));
}

}  // namespace

X11SwitcherLayout X11SwitcherLayout::compute(int count, const QRect& screen, double scale) {
    X11SwitcherLayout layout;
    if (count <= 0 || screen.isEmpty() || !(scale > 0)) {
        return layout;
    }
    const int outer = pixels(stripPaddingPoints, scale);
    const int label = pixels(labelPoints, scale);
    int padding = pixels(cellPaddingPoints, scale);
    int cell = pixels(iconPoints, scale) + 2 * padding;

    const int available = screen.width() - 2 * pixels(screenMarginPoints, scale) - 2 * outer;
    if (count * cell > available) {
        cell = std::max(1, available / count);
        // Padding keeps its share of the cell as the cell shrinks.
        padding = std::min(padding, cell * static_cast<int>(cellPaddingPoints) /
                                        static_cast<int>(iconPoints + 2 * cellPaddingPoints));
    }
    layout.iconSize = std::max(1, cell - 2 * padding);

    const int width = count * cell + 2 * outer;
    const int height = outer + cell + label + outer / 2;
    layout.strip = QRect(screen.x() + (screen.width() - width) / 2,
                         screen.y() + (screen.height() - height) / 2, width, height);
    for (int i = 0; i < count; ++i) {
        layout.items.append(QRect(outer + i * cell, outer, cell, cell));
    }
    layout.label = QRect(outer, outer + cell, width - 2 * outer, label);
    return layout;
}

QRect X11SwitcherLayout::iconRect(int index) const {
    if (index < 0 || index >= items.size()) {
        return {};
    }
    const QRect& cell = items[index];
    return QRect(cell.x() + (cell.width() - iconSize) / 2,
                 cell.y() + (cell.height() - iconSize) / 2, iconSize, iconSize);
}

std::optional<int> X11SwitcherLayout::itemAt(QPoint point) const {
    for (int i = 0; i < items.size(); ++i) {
        if (items[i].contains(point)) {
            return i;
        }
    }
    return std::nullopt;
}

}  // namespace pellucine
