#include "platform/linux/AutostartLoginItems.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtGlobal>

#include "base/AtomicFile.h"
#include "base/RegularFile.h"
#include "platform/linux/XdgConfigFolders.h"

namespace pellucine {

namespace {

QString entryFileName(const QString& identifier) {
    return identifier + QStringLiteral(".desktop");
}

// None when there is no readable entry file.
std::optional<AutostartEntry> readEntry(const QString& path) {
    const RegularFileRead read = readRegularFile(path, AutostartLoginItems::entrySizeLimit);
    if (!read.ok()) {
        return std::nullopt;
    }
    return AutostartEntry::fromText(read.data);
}

bool startsProgram(const AutostartEntry& entry) {
    return !entry.hidden && entry.autostartEnabled;
}

}  // namespace

AutostartLoginItems::AutostartLoginItems(QString userFolder, QStringList systemFolders,
                                         Program program)
    : userFolder_(std::move(userFolder)),
      systemFolders_(std::move(systemFolders)),
      program_(std::move(program)) {
    removeStaleTemporaryFiles(userFolder_);
}

QString AutostartLoginItems::userFolder(const AppPaths& paths) {
    return paths.defaults + QStringLiteral("/autostart");
}

QStringList AutostartLoginItems::systemFolders() {
    QStringList folders;
    for (const QString& dir : xdgSystemConfigFolders()) {
        folders << dir + QStringLiteral("/autostart");
    }
    return folders;
}

QString AutostartLoginItems::entryPath() const {
    return userFolder_ + u'/' + entryFileName(program_.identifier);
}

std::optional<QString> AutostartLoginItems::systemEntryPath() const {
    for (const QString& folder : systemFolders_) {
        const QString path = folder + u'/' + entryFileName(program_.identifier);
        if (QFileInfo::exists(path)) {
            return path;
        }
    }
    return std::nullopt;
}

LoginItemStatus AutostartLoginItems::status() const {
    if (program_.executable.isEmpty()) {
        return LoginItemStatus::notFound;
    }
    if (QFileInfo::exists(entryPath())) {
        const std::optional<AutostartEntry> entry = readEntry(entryPath());
        if (!entry) {
            return LoginItemStatus::notRegistered;
        }
        if (entry->hidden && systemEntryPath()) {
            return LoginItemStatus::notRegistered;
        }
        return startsProgram(*entry) ? LoginItemStatus::enabled : LoginItemStatus::requiresApproval;
    }
    const std::optional<QString> systemPath = systemEntryPath();
    const std::optional<AutostartEntry> system = systemPath ? readEntry(*systemPath) : std::nullopt;
    return system && startsProgram(*system) ? LoginItemStatus::enabled
                                            : LoginItemStatus::notRegistered;
}

void AutostartLoginItems::write(const AutostartEntry& entry) {
    if (!entry.isWritable()) {
        throw LoginItemError(
            QStringLiteral("The autostart entry can’t keep the name “%1”.").arg(entry.name));
    }
    if (!QDir().mkpath(userFolder_)) {
        throw LoginItemError(
            QStringLiteral("The autostart folder “%1” couldn’t be created.").arg(userFolder_));
    }
    if (const auto failure = writeFileAtomically(entryPath(), entry.toText(), std::nullopt,
                                                 LinkAtPath::replaceTarget)) {
        throw LoginItemError(QStringLiteral("The autostart entry “%1” couldn’t be written: %2.")
                                 .arg(entryPath(), *failure));
    }
}

void AutostartLoginItems::registerMainApplication() {
    if (program_.executable.isEmpty()) {
        throw LoginItemError(QStringLiteral("The program’s location is unknown."));
    }
    write(AutostartEntry{program_.name, program_.executable, false, true});
}

void AutostartLoginItems::unregisterMainApplication() {
    if (systemEntryPath()) {
        write(AutostartEntry{program_.name, program_.executable, true, true});
        return;
    }
    QFile file(entryPath());
    if (file.exists() && !file.remove()) {
        throw LoginItemError(QStringLiteral("The autostart entry “%1” couldn’t be removed: %2.")
                                 .arg(entryPath(), file.errorString()));
    }
}

}  // namespace pellucine
