#include "platform/linux/DesktopEntryGroup.h"

namespace pellucine {

std::optional<QMap<QString, QString>> readIniGroup(const QByteArray& text,
                                                   const QString& groupName) {
    QMap<QString, QString> keys;
    bool found = false;
    bool inGroup = false;
    for (const QByteArray& rawLine : text.split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        if (line.isEmpty() || line.startsWith(u'#')) {
            continue;
        }
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            if (found && inGroup) {
                break;
            }
            inGroup = line.mid(1, line.size() - 2) == groupName;
            found = found || inGroup;
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (!inGroup || eq <= 0) {
            continue;
        }
        const QString k = line.left(eq).trimmed();
        if (!keys.contains(k)) {
            keys.insert(k, line.mid(eq + 1).trimmed());
        }
    }
    return found ? std::optional(keys) : std::nullopt;
}

std::optional<QMap<QString, QString>> readDesktopEntryGroup(const QByteArray& text) {
    return readIniGroup(text, QStringLiteral("Desktop Entry"));
}

}  // namespace pellucine
