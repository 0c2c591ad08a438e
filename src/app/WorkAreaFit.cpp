#include "app/WorkAreaFit.h"

#include <algorithm>

namespace pellucine {

QRect WorkAreaFit::place(QSize content, QMargins frame, const QRect& workArea) {
    const int frameWidth = frame.left() + frame.right();
    const int frameHeight = frame.top() + frame.bottom();
    const int width = std::max(1, std::min(content.width(), workArea.width() - frameWidth));
    const int height = std::max(1, std::min(content.height(), workArea.height() - frameHeight));
    // The frame's top-left, centred, but never before the area's own.
    const int left = workArea.x() + std::max(0, (workArea.width() - width - frameWidth) / 2);
    const int top = workArea.y() + std::max(0, (workArea.height() - height - frameHeight) / 2);
    return {left + frame.left(), top + frame.top(), width, height};
}

}  // namespace pellucine
