#include "platform/x11/shell/X11DockLayout.h"

#include <algorithm>

namespace pellucine {

X11DockLayout X11DockLayout::compute(int count, const QRect& screen, double scale) {
    X11DockLayout layout;
    if (count <= 0 || screen.isEmpty() || !(scale > 0)) {
        return layout;
    }
    const int outer = pixels(barPaddingPoints, scale);
    const int room = screen.width() - 2 * pixels(screenMarginPoints, scale) - 2 * outer;
    static_cast<X11IconRow&>(layout) =
        fit(count, QPoint(outer, outer), room, iconPoints, cellPaddingPoints, scale);

    const int cell = layout.cellSize();
    const int width = count * cell + 2 * outer;
    const int height = cell + 2 * outer;
    layout.bar = QRect(screen.x() + (screen.width() - width) / 2,
                       screen.y() + screen.height() - height, width, height);
    layout.dotSize =
        std::clamp(pixels(dotPoints, scale), 1, std::max(1, (cell - layout.iconSize) / 2));
    return layout;
}

QRect X11DockLayout::dotRect(int index) const {
    if (index < 0 || index >= items.size()) {
        return {};
    }
    const QRect& cell = items[index];
    const int below = (cell.height() - iconSize) / 2;
    return QRect(cell.x() + (cell.width() - dotSize) / 2,
                 cell.y() + cell.height() - below + (below - dotSize) / 2, dotSize, dotSize);
}

QList<quint32> X11DockLayout::strut(QSize rootSize) const {
    if (bar.isEmpty()) {
        return {};
    }
    QList<quint32> values(12, 0);
    values[3] = static_cast<quint32>(std::max(0, rootSize.height() - bar.top()));
    values[10] = static_cast<quint32>(std::max(0, bar.left()));
    values[11] = static_cast<quint32>(std::max(0, bar.right()));
    return values;
}

bool X11DockLayout::isEdgeTaken(const QRect& screen, const QList<QRect>& docks) {
    return std::any_of(docks.begin(), docks.end(), [&](const QRect& dock) {
        return dock.intersects(screen) && dock.width() >= dock.height() &&
               dock.bottom() >= screen.bottom() - edgeSlack;
    });
}

}  // namespace pellucine
