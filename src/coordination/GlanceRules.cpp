#include "coordination/GlanceRules.h"

#include <QHash>
#include <algorithm>

namespace pellucine {

bool GlanceRules::keepsWindow(const WindowDescriptor& window, const WindowPolicy& policy,
                              const std::optional<GlobalRect>& displayBounds) {
    if (window.isMinimized) {
        return policy.includeMinimized;
    }
    if (!window.isOnScreen) {
        return policy.includeOtherSpaces;
    }
    return policy.includeOtherDisplays || !displayBounds || window.frame.intersects(*displayBounds);
}

QList<WindowDescriptor> GlanceRules::chooseWindows(const QList<WindowDescriptor>& windows,
                                                   const WindowPolicy& policy,
                                                   const std::optional<GlobalRect>& displayBounds) {
    QList<WindowDescriptor> chosen;
    for (const WindowDescriptor& window : windows) {
        if (keepsWindow(window, policy, displayBounds)) {
            chosen.append(window);
        }
    }
    return chosen;
}

ScreenRect GlanceRules::estimateSwitcherFrame(const ScreenRect& visibleFrame) {
    const double width = std::min(std::max(visibleFrame.width - stripSideMargin, minimumStripWidth),
                                  maximumStripWidth);
    return {visibleFrame.midX() - width / 2, visibleFrame.midY() - stripHeight / 2, width,
            stripHeight};
}

ScreenRect GlanceRules::convertSwitcherFrame(const GlobalRect& frame,
                                             const GlobalRect& displayBounds,
                                             const ScreenRect& screenFrame) {
    return {screenFrame.minX() + frame.minX() - displayBounds.minX(),
            screenFrame.minY() + displayBounds.maxY() - frame.maxY(), frame.width, frame.height};
}

std::optional<Screen> GlanceRules::screenOfDisplay(quint32 display, const QList<Screen>& screens) {
    const auto found = std::find_if(screens.begin(), screens.end(), [display](const Screen& s) {
        return s.displayIdentifier == display;
    });
    return found == screens.end() ? std::nullopt : std::optional(*found);
}

std::optional<Screen> GlanceRules::screenContaining(ScreenPoint point,
                                                    const QList<Screen>& screens) {
    const auto found = std::find_if(screens.begin(), screens.end(),
                                    [point](const Screen& s) { return s.frame.contains(point); });
    return found == screens.end() ? std::nullopt : std::optional(*found);
}

bool GlanceRules::isNearPanel(const ScreenRect& panelFrame, ScreenPoint point) {
    return panelFrame.insetBy(-panelPointerMargin, -panelPointerMargin).contains(point);
}

void GlanceRules::sortByRecentFocus(QList<WindowDescriptor>& windows) {
    std::stable_sort(windows.begin(), windows.end(),
                     [](const WindowDescriptor& a, const WindowDescriptor& b) {
                         if (!b.lastFocusedAt) {
                             return a.lastFocusedAt.has_value();
                         }
                         return a.lastFocusedAt && *a.lastFocusedAt > *b.lastFocusedAt;
                     });
}

QList<WindowDescriptor> GlanceRules::keepShownOrder(const QList<WindowDescriptor>& shown,
                                                    const QList<WindowDescriptor>& fresh) {
    QHash<quint32, qsizetype> shownPlace;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        shownPlace.insert(shown[i].id, i);
    }
    QList<std::optional<WindowDescriptor>> kept(shown.size());
    QList<WindowDescriptor> added;
    for (const WindowDescriptor& window : fresh) {
        const auto place = shownPlace.constFind(window.id);
        if (place != shownPlace.constEnd() && !kept[*place]) {
            kept[*place] = window;
        } else {
            added.append(window);
        }
    }
    QList<WindowDescriptor> ordered;
    ordered.reserve(fresh.size());
    for (const std::optional<WindowDescriptor>& window : kept) {
        if (window) {
            ordered.append(*window);
        }
    }
    return ordered + added;
}

}  // namespace pellucine
