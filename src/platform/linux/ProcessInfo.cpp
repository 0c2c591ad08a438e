#include "platform/linux/ProcessInfo.h"

#include <QFileInfo>
#include <QRegularExpression>

#include "base/RegularFile.h"

namespace pellucine {

namespace {

// The paths lead into a process's own file system, which it controls: anything but a small
// regular file reads as empty.
QByteArray readSmallFile(const QString& path) {
    return readRegularFile(path, 64 * 1024).data;
}

}  // namespace

QString ProcessInfo::processPath(qint32 pid, const QString& leaf) const {
    return procRoot_ + QLatin1Char('/') + QString::number(pid) + QLatin1Char('/') + leaf;
}

std::optional<QString> ProcessInfo::flatpakId(qint32 pid) const {
    if (pid < 1) {
        return std::nullopt;
    }
    bool inApplication = false;
    for (const QByteArray& raw :
         readSmallFile(processPath(pid, QStringLiteral("root/.flatpak-info"))).split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.startsWith('[')) {
            inApplication = line == "[Application]";
        } else if (inApplication && line.startsWith("name=")) {
            const QString name = QString::fromUtf8(line.mid(5).trimmed());
            if (!name.isEmpty()) {
                return name;
            }
        }
    }
    const QByteArray cgroup = readSmallFile(processPath(pid, QStringLiteral("cgroup")));
    // Most processes are no Flatpak's: the pattern is compiled once and tried only then.
    if (!cgroup.contains("app-flatpak-")) {
        return std::nullopt;
    }
    static const QRegularExpression scope(
        QStringLiteral("app-flatpak-([A-Za-z0-9_.-]+?)-[0-9]+\\.scope"));
    const QRegularExpressionMatch match = scope.match(QString::fromUtf8(cgroup));
    if (match.hasMatch()) {
        return match.captured(1);
    }
    return std::nullopt;
}

std::optional<QString> ProcessInfo::executablePath(qint32 pid) const {
    if (pid < 1) {
        return std::nullopt;
    }
    const QString target = QFileInfo(processPath(pid, QStringLiteral("exe"))).symLinkTarget();
    if (target.isEmpty()) {
        return std::nullopt;
    }
    return target;
}

qint32 ProcessInfo::pidLimit() const {
    bool ok = false;
    const qint64 limit =
        readSmallFile(procRoot_ + QStringLiteral("/sys/kernel/pid_max")).trimmed().toLongLong(&ok);
    return ok && limit > 1 && limit <= kernelPidCeiling ? static_cast<qint32>(limit)
                                                        : kernelPidCeiling;
}

bool ProcessInfo::isPlausiblePid(qint64 pid, qint32 limit) {
    return pid > 1 && pid < limit;
}

bool ProcessInfo::isRunning(qint32 pid) const {
    return pid > 0 && QFileInfo::exists(procRoot_ + QLatin1Char('/') + QString::number(pid));
}

}  // namespace pellucine
