#include "platform/x11/X11KeyboardShortcutSettings.h"

#include "base/RegularFile.h"
#include "platform/linux/shortcuts/OpenboxKeyBindings.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Properties.h"

namespace pellucine {

namespace {

constexpr qint64 sizeLimit = 1024 * 1024;

}  // namespace

X11KeyboardShortcutSettings::X11KeyboardShortcutSettings(X11Connection& connection,
                                                         QStringList configFolders,
                                                         DesktopSession session,
                                                         DesktopBindingFolders desktopFolders)
    : connection_(connection),
      configFolders_(std::move(configFolders)),
      session_(session),
      desktopFolders_(std::move(desktopFolders)) {}

QList<DesktopShortcut> X11KeyboardShortcutSettings::desktopShortcuts() const {
    return DesktopKeyBindings::read(session_, desktopFolders_) + openboxShortcuts();
}

QList<DesktopShortcut> X11KeyboardShortcutSettings::openboxShortcuts() const {
    if (connection_.hasError()) {
        return {};
    }
    xcb_connection_t* c = connection_.get();
    const X11Atoms& atoms = connection_.atoms();
    const auto version = requestProperty(c, connection_.root(), atoms._OB_VERSION);
    const auto named = requestProperty(c, connection_.root(), atoms._OB_CONFIG_FILE);
    const bool openbox = takeProperty(c, version).has_value();
    const auto configFile = takeProperty(c, named);
    if (!openbox) {
        return {};
    }
    const QString given = configFile ? configFile->text(atoms) : QString();
    const QString path =
        given.isEmpty() ? OpenboxKeyBindings::findConfiguration(configFolders_) : given;
    if (path.isEmpty()) {
        return {};
    }
    // Any client can name the file: only a regular one is read, and never waited on.
    const RegularFileRead read = readRegularFile(path, sizeLimit);
    return read.ok() ? OpenboxKeyBindings::parse(read.data) : QList<DesktopShortcut>{};
}

}  // namespace pellucine
