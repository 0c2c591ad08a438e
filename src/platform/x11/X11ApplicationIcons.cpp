#include "platform/x11/X11ApplicationIcons.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>

#include "platform/x11/X11DesktopState.h"
#include "platform/x11/X11Properties.h"
#include "platform/x11/X11WindowIcon.h"

namespace pellucine {

namespace {

// _NET_WM_ICON is read up to this many 32-bit items (a 1024 by 1024 picture and more).
constexpr uint32_t iconPropertyLongs = 1u << 20;

QImage themeIcon(const QString& name, int side) {
    if (name.isEmpty() || qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
        return {};
    }
    const QIcon icon = QFileInfo(name).isAbsolute() ? QIcon(name) : QIcon::fromTheme(name);
    return icon.isNull() ? QImage() : icon.pixmap(side, side).toImage();
}

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

QImage X11ApplicationIcons::iconOf(const X11Application& app, std::optional<xcb_window_t> window,
                                   int side) {
    if (window) {
        const QImage icon = windowIcons_.value(*window);
        if (!icon.isNull()) {
            return icon;
        }
    }
    const QString key = app.identity.icon + QLatin1Char('@') + QString::number(side);
    auto themed = themeIcons_.find(key);
    if (themed == themeIcons_.end()) {
        themed = themeIcons_.insert(key, themeIcon(app.identity.icon, side));
    }
    return *themed;
}

}  // namespace pellucine
