#include "diagnostics/ReportFile.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include "base/AtomicFile.h"
#include "diagnostics/ReportEnvironment.h"

namespace pellucine::ReportProblem::ReportFile {

namespace {

// Copies tried before giving up on a folder.
constexpr int maximumCopies = 999;

Saved saveIn(const QString& folder, const QString& content, const QString& appName,
             const QDateTime& localTime) {
    const QByteArray bytes = content.toUtf8();
    const QDir dir(folder);
    const QString where = QDir::toNativeSeparators(dir.absolutePath());
    for (int copy = 1; copy <= maximumCopies; ++copy) {
        const QString path = dir.absoluteFilePath(name(appName, localTime, copy));
        if (QFileInfo::exists(path) || QFileInfo(path).isSymLink()) {
            continue;
        }
        if (const std::optional<QString> failure = writeFileAtomically(path, bytes)) {
            return {std::nullopt, where + QStringLiteral(": ") + *failure};
        }
        return {path, {}};
    }
    return {std::nullopt, where + QStringLiteral(": every report name of this minute is taken")};
}

}  // namespace

QString name(const QString& appName, const QDateTime& localTime, int copy) {
    QString result = appName + QStringLiteral("-report-") +
                     QLocale::c().toString(localTime, QStringLiteral("yyyy-MM-dd-HHmm"));
    if (copy > 1) {
        result += QLatin1Char('-') + QString::number(copy);
    }
    return result + QStringLiteral(".txt");
}

Saved save(const QString& content, const QString& appName, const Environment& environment) {
    const QDateTime localTime = environment.clock->now().toTimeZone(environment.timeZone);
    Saved saved{std::nullopt, QStringLiteral("there is no folder to save it in")};
    if (!environment.desktopFolder.isEmpty() && QFileInfo(environment.desktopFolder).isDir()) {
        saved = saveIn(environment.desktopFolder, content, appName, localTime);
        if (saved.path) {
            return saved;
        }
    }
    if (environment.reportsFolder.isEmpty()) {
        return saved;
    }
    if (!QDir().mkpath(environment.reportsFolder)) {
        return {std::nullopt, QDir::toNativeSeparators(environment.reportsFolder) +
                                  QStringLiteral(": the folder could not be made")};
    }
    return saveIn(environment.reportsFolder, content, appName, localTime);
}

bool isOnDesktop(const QString& file, const Environment& environment) {
    return !environment.desktopFolder.isEmpty() &&
           QDir(QFileInfo(file).absolutePath()) == QDir(environment.desktopFolder);
}

QString place(const QString& file, const Environment& environment) {
    if (isOnDesktop(file, environment)) {
        return QStringLiteral("on your Desktop");
    }
    return QStringLiteral("in ") + QDir::toNativeSeparators(QFileInfo(file).absolutePath());
}

QString nextPlace(const Environment& environment) {
    const QFileInfo desktop(environment.desktopFolder);
    if (!environment.desktopFolder.isEmpty() && desktop.isDir() && desktop.isWritable()) {
        return QStringLiteral("on your Desktop");
    }
    return QStringLiteral("in ") + QDir::toNativeSeparators(environment.reportsFolder);
}

}  // namespace pellucine::ReportProblem::ReportFile
