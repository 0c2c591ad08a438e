#pragma once

#include <QList>
#include <optional>

#include "base/Rect.h"
#include "core/WindowDescriptor.h"
#include "platform/Screen.h"

namespace pellucine {

// The pure rules of a glance: which windows it shows, where the system strip is taken to be,
// and which screen a point or a display belongs to.
struct GlanceRules {
    // Which windows the preferences let a glance show.
    struct WindowPolicy {
        bool includeMinimized = true;
        bool includeOtherSpaces = true;
        bool includeOtherDisplays = true;
    };

    // The estimated strip is at most this wide, at least `minimumStripWidth`, and leaves
    // `stripSideMargin` of the visible frame's width free.
    static constexpr double maximumStripWidth = 900;
    static constexpr double minimumStripWidth = 240;
    static constexpr double stripSideMargin = 80;
    static constexpr double stripHeight = 128;
    // How far around the panel the pointer still counts as over it.
    static constexpr double panelPointerMargin = 8;

    // A minimized window stays exactly when minimized windows are included; another one off
    // screen (on another workspace) exactly when those are; one on screen when other displays
    // are included, when the bounds are unknown, or when it overlaps them.
    static bool keepsWindow(const WindowDescriptor& window, const WindowPolicy& policy,
                            const std::optional<GlobalRect>& displayBounds);
    static QList<WindowDescriptor> chooseWindows(const QList<WindowDescriptor>& windows,
                                                 const WindowPolicy& policy,
                                                 const std::optional<GlobalRect>& displayBounds);

    // A band centred on the visible frame standing in for a strip not yet drawn.
    static ScreenRect estimateSwitcherFrame(const ScreenRect& visibleFrame);
    // A strip frame of the global space, on a display with these global bounds, moved into the
    // screen space of that display's screen.
    static ScreenRect convertSwitcherFrame(const GlobalRect& frame, const GlobalRect& displayBounds,
                                           const ScreenRect& screenFrame);

    // The first screen carrying the display's identifier.
    static std::optional<Screen> screenOfDisplay(quint32 display, const QList<Screen>& screens);
    // The first screen whose frame holds the point.
    static std::optional<Screen> screenContaining(ScreenPoint point, const QList<Screen>& screens);

    // Whether the point lies over the panel's frame grown by `panelPointerMargin`.
    static bool isNearPanel(const ScreenRect& panelFrame, ScreenPoint point);

    // Most recently focused first; windows never focused last; ties keep their order.
    static void sortByRecentFocus(QList<WindowDescriptor>& windows);

    // The fresh windows in the order already shown: those still there keep their places,
    // those gone are dropped, new ones follow in their fresh order. Each carries its fresh
    // description.
    static QList<WindowDescriptor> keepShownOrder(const QList<WindowDescriptor>& shown,
                                                  const QList<WindowDescriptor>& fresh);
};

}  // namespace pellucine
