#pragma once

#include <QStringView>

// The system's Dock and its Command-Tab strip as accessibility clients see them: an application
// with this identifier whose element tree holds the Dock items and, while the strip is up, the
// strip's list of applications.
namespace pellucine::systemDock {

inline constexpr QStringView bundleIdentifier = u"com.apple.dock";
// The "AXDescription" of the strip's list element.
inline constexpr QStringView processSwitcherListDescription = u"process switcher list";

}  // namespace pellucine::systemDock

namespace pellucine {

// The Dock the program's Dock previews sit on. A desktop with a Dock of its own keeps it and
// ignores the wish; one without provides a bar of the port's own, shown only while wanted and
// while no other dock holds its edge. Main thread only.
class SystemDock {
  public:
    // Where the Dock items come from.
    enum class Kind {
        // The desktop's own Dock.
        systemDock,
        // The desktop's taskbar: a button for each application (or window) it shows.
        taskbar,
        // The port's own Dock bar, where no taskbar shows the applications' buttons.
        dockBar,
        // None: a panel holds the bar's edge without showing the applications' buttons.
        none,
    };

    virtual ~SystemDock() = default;

    // Whether Dock previews are wanted (the preference that turns them on).
    virtual void setWanted(bool wanted) = 0;
    virtual bool isWanted() const = 0;
    // Which Dock the previews sit on, or would sit on once wanted, as the desktop stands now.
    virtual Kind kind() const = 0;
};

}  // namespace pellucine
