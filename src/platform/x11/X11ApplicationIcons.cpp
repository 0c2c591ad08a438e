#include "platform/x11/X11ApplicationIcons.h"

#include "platform/linux/IconLookup.h"
#include "platform/x11/X11DesktopState.h"
#include "platform/x11/X11Properties.h"
#include "platform/x11/X11WindowIcon.h"

namespace pellucine {

namespace {

// _NET_WM_ICON is read up to this many 32-bit items (a 1024 by 1024 picture and more).
constexpr uint32_t iconPropertyLongs = 1u << 20;

}  // namespace

void X11ApplicationIcons::fetch(X11DesktopState& state, const QList<xcb_window_t>& windows,
                                int side) {
    xcb_connection_t* c = state.connection().get();
    QList<std::pair<xcb_window_t, xcb_get_property_cookie_t>> requests;
    for (const xcb_window_t window : windows) {
        if (!windowIcons_.contains(window)) {
            requests.append(
                {window, requestProperty(c, window, state.connection().atoms()._NET_WM_ICON,
                                         iconPropertyLongs)});
        }
    }
    for (const auto& [window, cookie] : requests) {
        const auto property = takeProperty(c, cookie);
        windowIcons_.insert(
            window, property ? X11WindowIcon::choose(property->values32(), side) : QImage());
    }
}

void X11ApplicationIcons::keepOnly(const QSet<xcb_window_t>& windows) {
    windowIcons_.removeIf([&](const auto& entry) { return !windows.contains(entry.key()); });
}

QImage X11ApplicationIcons::named(const QString& name, int side) {
    const QString key = name + QLatin1Char('@') + QString::number(side);
    auto found = namedIcons_.find(key);
    if (found == namedIcons_.end()) {
        found = namedIcons_.insert(key, IconLookup::fromIconValue(name, side));
    }
    return *found;
}

QImage X11ApplicationIcons::iconOf(const X11Application& app, std::optional<xcb_window_t> window,
                                   int side) {
    if (!app.identity.icon.isEmpty()) {
        if (QImage icon = named(app.identity.icon, side); !icon.isNull()) {
            return icon;
        }
    }
    if (window) {
        if (QImage icon = windowIcons_.value(*window); !icon.isNull()) {
            return icon;
        }
    }
    QStringList names;
    for (const QString& name :
         QStringList{app.identity.identifier.value_or(QString())} + app.identity.aliases) {
        if (!name.isEmpty() && !names.contains(name.toLower())) {
            names << name.toLower();
        }
    }
    for (const QString& name : names) {
        if (QImage icon = named(name, side); !icon.isNull()) {
            return icon;
        }
    }
    return {};
}

}  // namespace pellucine
