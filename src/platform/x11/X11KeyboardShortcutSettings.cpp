#include "platform/x11/X11KeyboardShortcutSettings.h"

#include <QFile>
#include <cstdlib>
#include <memory>
#include <optional>

#include "platform/x11/OpenboxKeyBindings.h"

namespace pellucine {

namespace {

constexpr qint64 sizeLimit = 1024 * 1024;

struct Free {
    void operator()(void* p) const { std::free(p); }
};

// A text property of the root window; none when it or its atom does not exist.
std::optional<QByteArray> rootText(xcb_connection_t* connection, xcb_window_t root,
                                   const QByteArray& name) {
    const std::unique_ptr<xcb_intern_atom_reply_t, Free> atom(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 1, name.size(), name.constData()), nullptr));
    if (!atom || atom->atom == XCB_NONE) {
        return std::nullopt;
    }
    const std::unique_ptr<xcb_get_property_reply_t, Free> property(xcb_get_property_reply(
        connection,
        xcb_get_property(connection, 0, root, atom->atom, XCB_GET_PROPERTY_TYPE_ANY, 0, 4096),
        nullptr));
    if (!property || property->type == XCB_NONE || property->format != 8) {
        return std::nullopt;
    }
    return QByteArray(static_cast<const char*>(xcb_get_property_value(property.get())),
                      xcb_get_property_value_length(property.get()));
}

}  // namespace

X11KeyboardShortcutSettings::X11KeyboardShortcutSettings(xcb_connection_t* connection,
                                                         xcb_window_t root,
                                                         QStringList configFolders)
    : connection_(connection), root_(root), configFolders_(std::move(configFolders)) {}

QList<DesktopShortcut> X11KeyboardShortcutSettings::desktopShortcuts() const {
    if (xcb_connection_has_error(connection_) != 0 ||
        !rootText(connection_, root_, QByteArrayLiteral("_OB_VERSION"))) {
        return {};
    }
    const auto named = rootText(connection_, root_, QByteArrayLiteral("_OB_CONFIG_FILE"));
    const QString path = named && !named->isEmpty()
                             ? QString::fromLocal8Bit(*named)
                             : OpenboxKeyBindings::findConfiguration(configFolders_);
    QFile file(path);
    if (path.isEmpty() || file.size() > sizeLimit || !file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return OpenboxKeyBindings::parse(file.read(sizeLimit));
}

}  // namespace pellucine
