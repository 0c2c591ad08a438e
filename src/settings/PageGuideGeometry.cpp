#include "settings/PageGuideGeometry.h"

#include <algorithm>

namespace pellucine::PageGuideGeometry {

int height(int contentHeight, int availableHeight) {
    return std::max(1, std::min(contentHeight, availableHeight - 2 * screenMargin));
}

QRect frame(const QRect& window, QSize size, const QRect& available) {
    QRect sheet(QPoint(), size);
    sheet.moveTop(window.top());
    sheet.moveLeft(window.left() + (window.width() - size.width()) / 2);
    // Right and bottom first, so that the left and top edges win for an oversized sheet.
    sheet.moveRight(std::min(sheet.right(), available.right()));
    sheet.moveBottom(std::min(sheet.bottom(), available.bottom()));
    sheet.moveLeft(std::max(sheet.left(), available.left()));
    sheet.moveTop(std::max(sheet.top(), available.top()));
    return sheet;
}

}  // namespace pellucine::PageGuideGeometry
