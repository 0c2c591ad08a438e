#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>

namespace pellucine {

// Where one of the program's windows goes on the screen: its frame (the content grown by the
// window manager's decorations) centred on the work area, the space docks and panels leave.
// Content too large for the work area shrinks until its frame fits; it never moves off it.
struct WorkAreaFit {
    // The content's rectangle, in the screen's coordinates, for content of `content` size
    // framed by `frame` on `workArea`. An area smaller than the frame alone still gives at least
    // one pixel of content, at the area's top-left.
    static QRect place(QSize content, QMargins frame, const QRect& workArea);
};

}  // namespace pellucine
