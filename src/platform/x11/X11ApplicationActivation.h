#pragma once

#include <QtGlobal>

namespace pellucine {

class Workspace;
class X11DesktopState;

// What bringing an application forward does to its windows when all of them are minimized.
enum class X11MinimizedWindows { leave, restoreMostRecent, restoreAll };

// Brings an application forward: its most recently focused window that is not minimized gets
// the focus. A hidden application is unhidden first (which brings back the windows hiding
// minimized) and its most recent window gets the focus. Otherwise, when every window is
// minimized, `minimized` says which come back; the most recent of those gets the focus.
void activateApplication(X11DesktopState& state, Workspace& workspace, qint32 pid,
                         X11MinimizedWindows minimized);

}  // namespace pellucine
