#pragma once

#include <QString>

#include "platform/SystemDock.h"

namespace pellucine {

// The words the Dock page, the welcome window's Dock step and the page guide use for the Dock
// the previews sit on (`SystemDock::kind()`): the desktop's own Dock is "the Dock", a taskbar
// "your taskbar", the port's own bar "the Dock bar". Where none shows the applications' buttons,
// the texts that invite the user to point say what Dock previews need instead, and the nouns
// left in setting labels and hints are the feature's own ("the Dock"). A plain value.
struct DockWording {
    // Where the user points, in running text: "the Dock", "your taskbar", "the Dock bar".
    QString place;
    // The same before " app": "Dock", "taskbar", "Dock bar".
    QString appNoun;
    // The welcome window's Dock step heading.
    QString heading;
    // The Dock page's line: which Dock the previews appear over, or what they need.
    QString inUse;
    // Whether pointing can show previews at all; false where none shows application buttons.
    bool canPoint = true;

    static DockWording of(SystemDock::Kind kind);
    // What Dock previews need, said where none shows the applications' buttons.
    static QString needs();

    // `invitation` where pointing shows previews, else what they need.
    QString invitingOr(const QString& invitation) const { return canPoint ? invitation : needs(); }

    friend bool operator==(const DockWording&, const DockWording&) = default;
};

}  // namespace pellucine
