#include "platform/linux/shortcuts/DesktopKeyBindings.h"

#include <QStandardPaths>
#include <array>
#include <optional>
#include <span>
#include <vector>

#include "base/RegularFile.h"
#include "platform/linux/XdgConfigFolders.h"
#include "platform/linux/shortcuts/DesktopAccelerator.h"
#include "platform/linux/shortcuts/GSettingsKeyBindings.h"
#include "platform/linux/shortcuts/PlasmaGlobalShortcuts.h"
#include "platform/linux/shortcuts/XfceKeyboardShortcuts.h"

namespace pellucine {

namespace {

constexpr qint64 textLimit = 1024 * 1024;
// A desktop with every schema installed compiles them into a few MiB.
constexpr qint64 databaseLimit = 16 * 1024 * 1024;

// A schema with key bindings and the source file (without ".gschema.xml") that names them.
struct Schema {
    const char* id;
    const char* source;
};

constexpr std::array<Schema, 4> gnomeSchemas{{
    {"org.gnome.desktop.wm.keybindings", "org.gnome.desktop.wm.keybindings"},
    {"org.gnome.mutter.keybindings", "org.gnome.mutter"},
    {"org.gnome.shell.keybindings", "org.gnome.shell"},
    {"org.gnome.settings-daemon.plugins.media-keys",
     "org.gnome.settings-daemon.plugins.media-keys"},
}};
constexpr std::array<Schema, 4> cinnamonSchemas{{
    {"org.cinnamon.desktop.keybindings.wm", "org.cinnamon.desktop.keybindings.wm"},
    {"org.cinnamon.muffin.keybindings", "org.cinnamon.muffin"},
    {"org.cinnamon.desktop.keybindings.media-keys", "org.cinnamon.desktop.keybindings.media-keys"},
    {"org.cinnamon.desktop.keybindings", "org.cinnamon.desktop.keybindings"},
}};
constexpr std::array<Schema, 3> mateSchemas{{
    {"org.mate.Marco.global-keybindings", "org.mate.marco"},
    {"org.mate.Marco.window-keybindings", "org.mate.marco"},
    {"org.mate.SettingsDaemon.plugins.media-keys", "org.mate.SettingsDaemon.plugins.media-keys"},
}};

std::optional<QByteArray> readFile(const QString& path, qint64 limit) {
    RegularFileRead read = readRegularFile(path, limit);
    if (!read.ok()) {
        return std::nullopt;
    }
    return std::move(read.data);
}

QList<DesktopShortcut> named(const QList<GSettingsKeyBindings::Binding>& bindings,
                             const QString& desktop) {
    QList<DesktopShortcut> out;
    for (const GSettingsKeyBindings::Binding& binding : bindings) {
        for (const QString& accelerator : binding.accelerators) {
            if (auto shortcut = DesktopAccelerator::fromGtk(accelerator)) {
                shortcut->owner = desktop + QStringLiteral(": ") + binding.name;
                out << *shortcut;
            }
        }
    }
    return out;
}

QList<DesktopShortcut> readGSettings(std::span<const Schema> schemas, const QString& desktop,
                                     const DesktopBindingFolders& folders) {
    const auto userFile =
        readFile(folders.userConfig + QStringLiteral("/dconf/user"), databaseLimit);
    const std::optional<GvdbTable> user =
        userFile ? GvdbTable::parse(*userFile) : std::optional<GvdbTable>();
    // Each folder's compiled schemas, read once.
    std::vector<std::optional<GvdbTable>> compiled;
    for (const QString& folder : folders.schemas) {
        const auto file = readFile(folder + QStringLiteral("/gschemas.compiled"), databaseLimit);
        compiled.push_back(file ? GvdbTable::parse(*file) : std::nullopt);
    }
    QList<DesktopShortcut> out;
    for (const Schema& schema : schemas) {
        const QString id = QString::fromLatin1(schema.id);
        // The first folder that has the schema defines it.
        for (std::size_t i = 0; i < compiled.size(); ++i) {
            const auto table = compiled[i] ? compiled[i]->table(id) : std::nullopt;
            if (!table) {
                continue;
            }
            const auto source =
                readFile(folders.schemas[qsizetype(i)] + QLatin1Char('/') +
                             QString::fromLatin1(schema.source) + QStringLiteral(".gschema.xml"),
                         textLimit);
            const QHash<QString, QString> summaries =
                source ? GSettingsKeyBindings::summaries(*source, id) : QHash<QString, QString>();
            out += named(GSettingsKeyBindings::read(*table, user, summaries), desktop);
            break;
        }
    }
    if (user && desktop == u"GNOME") {
        out += named(GSettingsKeyBindings::readCustom(
                         *user, GSettingsKeyBindings::userStrings(
                                    *user, QStringLiteral("/org/gnome/settings-daemon/plugins/"
                                                          "media-keys/custom-keybindings"))),
                     desktop);
    } else if (user && desktop == u"Cinnamon") {
        QStringList customFolders;
        for (const QString& name : GSettingsKeyBindings::userStrings(
                 *user, QStringLiteral("/org/cinnamon/desktop/keybindings/custom-list"))) {
            customFolders << QStringLiteral(
                                 "/org/cinnamon/desktop/keybindings/custom-keybindings/") +
                                 name;
        }
        out += named(GSettingsKeyBindings::readCustom(*user, customFolders), desktop);
    }
    return out;
}

QList<DesktopShortcut> readXfce(const DesktopBindingFolders& folders) {
    const QString channel =
        QStringLiteral("/xfce4/xfconf/xfce-perchannel-xml/xfce4-keyboard-shortcuts.xml");
    QList<QByteArray> files;
    // The least important first: each later file overrides it.
    for (auto it = folders.systemConfig.crbegin(); it != folders.systemConfig.crend(); ++it) {
        if (auto file = readFile(*it + channel, textLimit)) {
            files << *file;
        }
    }
    if (auto file = readFile(folders.userConfig + channel, textLimit)) {
        files << *file;
    }
    return XfceKeyboardShortcuts::parse(files);
}

DesktopSession sessionNamed(const QString& name) {
    const QString n = name.toLower();
    if (n == u"gnome" || n.startsWith(QLatin1String("gnome-")) || n == u"unity" ||
        n == u"pantheon" || n == u"budgie") {
        return DesktopSession::gnome;
    }
    if (n == u"x-cinnamon" || n.startsWith(QLatin1String("cinnamon"))) {
        return DesktopSession::cinnamon;
    }
    if (n == u"mate") {
        return DesktopSession::mate;
    }
    if (n == u"kde" || n.startsWith(QLatin1String("plasma"))) {
        return DesktopSession::plasma;
    }
    if (n == u"xfce" || n.startsWith(QLatin1String("xfce"))) {
        return DesktopSession::xfce;
    }
    return DesktopSession::other;
}

}  // namespace

DesktopBindingFolders DesktopBindingFolders::fromEnvironment(const QString& userConfig) {
    DesktopBindingFolders folders{userConfig, xdgSystemConfigFolders(), {}};
    folders.schemas = qEnvironmentVariable("GSETTINGS_SCHEMA_DIR").split(u':', Qt::SkipEmptyParts);
    for (const QString& data :
         QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        folders.schemas << data + QStringLiteral("/glib-2.0/schemas");
    }
    return folders;
}

DesktopSession DesktopKeyBindings::detect(const QString& currentDesktop,
                                          const QString& sessionDesktop,
                                          const QString& desktopSession,
                                          const QString& kdeFullSession) {
    for (const QString& name : currentDesktop.split(u':', Qt::SkipEmptyParts)) {
        if (const DesktopSession session = sessionNamed(name); session != DesktopSession::other) {
            return session;
        }
    }
    for (const QString& name : {sessionDesktop, desktopSession}) {
        if (const DesktopSession session = sessionNamed(name); session != DesktopSession::other) {
            return session;
        }
    }
    return kdeFullSession == u"true" ? DesktopSession::plasma : DesktopSession::other;
}

DesktopSession DesktopKeyBindings::detectFromEnvironment() {
    return detect(
        qEnvironmentVariable("XDG_CURRENT_DESKTOP"), qEnvironmentVariable("XDG_SESSION_DESKTOP"),
        qEnvironmentVariable("DESKTOP_SESSION"), qEnvironmentVariable("KDE_FULL_SESSION"));
}

QList<DesktopShortcut> DesktopKeyBindings::read(DesktopSession session,
                                                const DesktopBindingFolders& folders) {
    switch (session) {
        case DesktopSession::gnome:
            return readGSettings(gnomeSchemas, QStringLiteral("GNOME"), folders);
        case DesktopSession::cinnamon:
            return readGSettings(cinnamonSchemas, QStringLiteral("Cinnamon"), folders);
        case DesktopSession::mate:
            return readGSettings(mateSchemas, QStringLiteral("MATE"), folders);
        case DesktopSession::plasma: {
            const auto rc =
                readFile(folders.userConfig + QStringLiteral("/kglobalshortcutsrc"), textLimit);
            return rc ? PlasmaGlobalShortcuts::parse(*rc) : QList<DesktopShortcut>();
        }
        case DesktopSession::xfce:
            return readXfce(folders);
        case DesktopSession::other:
            break;
    }
    return {};
}

}  // namespace pellucine
