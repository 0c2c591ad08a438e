#pragma once

#include <QString>

namespace pellucine {

// Who owns the glance that is up: the Command-Tab cycle, a Dock item the pointer rests on, or
// the status menu.
enum class GlanceSource { commandTab, dockHover, menu };

// "command-tab", "dock-hover" or "menu", as events write it.
inline QString eventForm(GlanceSource source) {
    switch (source) {
        case GlanceSource::commandTab:
            return QStringLiteral("command-tab");
        case GlanceSource::dockHover:
            return QStringLiteral("dock-hover");
        case GlanceSource::menu:
            return QStringLiteral("menu");
    }
    return {};
}

}  // namespace pellucine
