#pragma once

#include <QPoint>

class QWindow;

namespace pellucine {

// Hands the move of `window` to the window manager (_NET_WM_MOVERESIZE) with the pointer at
// `pointer` (global, as Qt gives it) and the left button down: the manager moves the frame by
// the way the pointer goes from there. Sent on Qt's own X connection, after any geometry
// request of the window made before. False when the window manager cannot move windows so,
// or off X11.
bool startWindowManagerMove(QWindow& window, QPoint pointer);

}  // namespace pellucine
