#include "platform/linux/DesktopEntries.h"

#include <QDir>
#include <QDirIterator>
#include <QSet>
#include <QStandardPaths>

#include "base/RegularFile.h"
#include "platform/linux/DesktopEntryGroup.h"

namespace pellucine {

std::optional<DesktopEntry> DesktopEntries::parse(const QString& id, const QString& path,
                                                  const QByteArray& text) {
    const auto keys = readDesktopEntryGroup(text);
    if (!keys || keys->value(QStringLiteral("Type")) != u"Application") {
        return std::nullopt;
    }
    for (const QString& hiding : {QStringLiteral("Hidden"), QStringLiteral("NoDisplay")}) {
        if (keys->value(hiding) == u"true") {
            return std::nullopt;
        }
    }
    DesktopEntry entry{id, keys->value(QStringLiteral("Name")),
                       keys->value(QStringLiteral("StartupWMClass")), path,
                       keys->value(QStringLiteral("Icon"))};
    if (entry.name.isEmpty()) {
        return std::nullopt;
    }
    return entry;
}

DesktopEntries DesktopEntries::load(const QStringList& applicationFolders) {
    DesktopEntries entries;
    QSet<QString> seen;
    for (const QString& folder : applicationFolders) {
        const QDir base(folder);
        QDirIterator it(folder, {QStringLiteral("*.desktop")}, QDir::Files,
                        QDirIterator::Subdirectories | QDirIterator::FollowSymlinks);
        while (it.hasNext()) {
            const QString path = it.next();
            QString id = base.relativeFilePath(path);
            id.chop(QStringLiteral(".desktop").size());
            id.replace(QLatin1Char('/'), QLatin1Char('-'));
            if (seen.contains(id)) {
                continue;
            }
            seen.insert(id);
            const RegularFileRead read = readRegularFile(path, 1024 * 1024);
            if (!read.ok()) {
                continue;
            }
            if (auto entry = parse(id, path, read.data)) {
                entries.add(std::move(*entry));
            }
        }
    }
    return entries;
}

QStringList DesktopEntries::standardFolders() {
    return QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
}

void DesktopEntries::add(DesktopEntry entry) {
    idsByFoldedId_.insert(entry.id.toCaseFolded(), entry.id);
    if (!entry.startupWMClass.isEmpty() && !idsByWindowClass_.contains(entry.startupWMClass)) {
        idsByWindowClass_.insert(entry.startupWMClass, entry.id);
    }
    // Reverse-DNS ids have at least three parts ("org.xfce.mousepad").
    if (entry.id.count(QLatin1Char('.')) >= 2) {
        const QString tail = entry.id.section(QLatin1Char('.'), -1).toCaseFolded();
        if (!tail.isEmpty()) {
            const auto known = idsByFoldedTail_.constFind(tail);
            idsByFoldedTail_.insert(tail,
                                    known == idsByFoldedTail_.constEnd() ? entry.id : QString());
        }
    }
    const QString id = entry.id;
    entries_.insert(id, std::move(entry));
}

const DesktopEntry* DesktopEntries::byId(const QString& id) const {
    if (id.isEmpty()) {
        return nullptr;
    }
    auto it = entries_.constFind(id);
    if (it == entries_.constEnd()) {
        it = entries_.constFind(idsByFoldedId_.value(id.toCaseFolded()));
    }
    return it == entries_.constEnd() ? nullptr : &*it;
}

const DesktopEntry* DesktopEntries::byIdTail(const QString& name) const {
    if (name.isEmpty()) {
        return nullptr;
    }
    const QString id = idsByFoldedTail_.value(name.toCaseFolded());
    const auto it = id.isEmpty() ? entries_.constEnd() : entries_.constFind(id);
    return it == entries_.constEnd() ? nullptr : &*it;
}

const DesktopEntry* DesktopEntries::byWindowClass(const QString& windowClass) const {
    if (windowClass.isEmpty()) {
        return nullptr;
    }
    const auto it = entries_.constFind(idsByWindowClass_.value(windowClass));
    return it == entries_.constEnd() ? nullptr : &*it;
}

}  // namespace pellucine
