#pragma once

#include <QString>
#include <optional>

#include "base/Rect.h"

namespace pellucine {

// One window of the simulated desktop, as a test describes it.
struct SimulatedWindow {
    // 0 asks the desktop for the next free number.
    quint32 number = 0;
    qint32 ownerPID = 0;
    QString title;
    // The frame the window's element reports (global space).
    GlobalRect frame;
    // The window list's bounds when they differ from the element's frame.
    std::optional<GlobalRect> listBounds;
    bool isMinimized = false;
    bool isFullScreen = false;
    // Whether the system window list reports the window at all.
    bool isListed = true;
    qint64 layer = 0;
    std::optional<QString> role = QStringLiteral("AXWindow");
    std::optional<QString> subrole = QStringLiteral("AXStandardWindow");
    bool hasCloseButton = true;
    // False: a press of its close button leaves it open, as a stopped or prompting application
    // does.
    bool closesWhenAsked = true;
};

}  // namespace pellucine
