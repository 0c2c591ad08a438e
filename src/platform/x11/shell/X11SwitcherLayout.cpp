#include "platform/x11/shell/X11SwitcherLayout.h"

namespace pellucine {

X11SwitcherLayout X11SwitcherLayout::compute(int count, const QRect& screen, double scale) {
    X11SwitcherLayout layout;
    if (count <= 0 || screen.isEmpty() || !(scale > 0)) {
        return layout;
    }
    const int outer = pixels(stripPaddingPoints, scale);
    const int label = pixels(labelPoints, scale);
    const int room = screen.width() - 2 * pixels(screenMarginPoints, scale) - 2 * outer;
    static_cast<X11IconRow&>(layout) =
        fit(count, QPoint(outer, outer), room, iconPoints, cellPaddingPoints, scale);

    const int cell = layout.cellSize();
    const int width = count * cell + 2 * outer;
    const int height = outer + cell + label + outer / 2;
    layout.strip = QRect(screen.x() + (screen.width() - width) / 2,
                         screen.y() + (screen.height() - height) / 2, width, height);
    layout.label = QRect(outer, outer + cell, width - 2 * outer, label);
    return layout;
}

}  // namespace pellucine
