#include "platform/linux/shortcuts/OpenboxKeyBindings.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <optional>

#include "platform/KeyModifiers.h"
#include "platform/linux/LinuxKeyTable.h"
#include "platform/linux/XdgConfigFolders.h"

namespace pellucine {

namespace {

// "W-S-space" as a key combination.
std::optional<DesktopShortcut> combinationOf(const QString& key) {
    const QStringList parts = key.split(QLatin1Char('-'));
    if (parts.isEmpty() || parts.last().isEmpty()) {
        return std::nullopt;
    }
    DesktopShortcut shortcut;
    for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
        const QString modifier = parts[i].toLower();
        if (modifier == u"s" || modifier == u"shift") {
            shortcut.modifiers |= KeyModifiers::shift;
        } else if (modifier == u"c" || modifier == u"control") {
            shortcut.modifiers |= KeyModifiers::control;
        } else if (modifier == u"a" || modifier == u"alt") {
            shortcut.modifiers |= KeyModifiers::option;
        } else if (modifier == u"w" || modifier == u"super") {
            shortcut.modifiers |= KeyModifiers::command;
        } else {
            return std::nullopt;
        }
    }
    const auto keysym = LinuxKeyTable::keysymNamed(parts.last());
    const auto virtualKey = keysym ? LinuxKeyTable::virtualKeyForKeysym(*keysym) : std::nullopt;
    if (!virtualKey) {
        return std::nullopt;
    }
    shortcut.keyCode = *virtualKey;
    return shortcut;
}

// "Openbox: next window" for NextWindow, "Openbox: run <command>" for Execute.
QString ownerOf(const QString& action, const QString& command) {
    if (action.compare(QLatin1String("Execute"), Qt::CaseInsensitive) == 0 && !command.isEmpty()) {
        return QStringLiteral("Openbox: run ") + command;
    }
    static const QRegularExpression wordStart(QStringLiteral("(?<=[a-z])(?=[A-Z])"));
    return QStringLiteral("Openbox: ") +
           QString(action).replace(wordStart, QStringLiteral(" ")).toLower();
}

}  // namespace

QList<DesktopShortcut> OpenboxKeyBindings::parse(const QByteArray& rcXml) {
    QXmlStreamReader xml(rcXml);
    QList<DesktopShortcut> out;
    // Element depth below <keyboard>; 1 is a top-level <keybind>.
    int depth = -1;
    std::optional<DesktopShortcut> binding;
    QString action;
    QString command;
    bool chain = false;
    const auto finish = [&] {
        if (binding && (chain || !action.isEmpty())) {
            binding->owner =
                chain ? QStringLiteral("Openbox: key chain") : ownerOf(action, command);
            out << *binding;
        }
        binding.reset();
        action.clear();
        command.clear();
        chain = false;
    };
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (depth < 0) {
                depth = xml.name() == u"keyboard" ? 0 : -1;
                continue;
            }
            ++depth;
            if (depth == 1 && xml.name() == u"keybind") {
                const QString key = xml.attributes().value(QLatin1String("key")).toString();
                // A chain is grabbed by its first key.
                binding = combinationOf(key.simplified().section(QLatin1Char(' '), 0, 0));
            } else if (depth == 2 && xml.name() == u"keybind") {
                chain = true;
            } else if (depth == 2 && xml.name() == u"action" && action.isEmpty()) {
                action = xml.attributes().value(QLatin1String("name")).toString();
            } else if (depth == 3 && xml.name() == u"command" && command.isEmpty()) {
                command = xml.readElementText(QXmlStreamReader::SkipChildElements).simplified();
                --depth;
            }
        } else if (token == QXmlStreamReader::EndElement && depth >= 0) {
            if (depth == 1) {
                finish();
            }
            --depth;
        }
    }
    return xml.hasError() ? QList<DesktopShortcut>{} : out;
}

QString OpenboxKeyBindings::findConfiguration(const QStringList& configFolders) {
    for (const QString& folder : configFolders) {
        const QString path = folder + QStringLiteral("/openbox/rc.xml");
        if (QFileInfo(path).isFile()) {
            return path;
        }
    }
    return {};
}

QStringList OpenboxKeyBindings::configFolders(const QString& userConfigFolder) {
    return QStringList{userConfigFolder} + xdgSystemConfigFolders();
}

}  // namespace pellucine
