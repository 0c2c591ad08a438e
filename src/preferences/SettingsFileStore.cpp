#include "preferences/SettingsFileStore.h"

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <cerrno>

#include "base/AtomicFile.h"
#include "preferences/SettingsFileFormat.h"

namespace pellucine {

namespace {

// Whether QSettings may open the path: a regular file or nothing. Anything else (a pipe would
// block the open for good) is unreadable.
bool isRegularOrMissing(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) {
        return errno == ENOENT || errno == ENOTDIR;
    }
    return S_ISREG(info.st_mode);
}

}  // namespace

SettingsFileStore::SettingsFileStore(const QString& filePath) : filePath_(filePath) {
    removeStaleTemporaryFiles(QFileInfo(filePath).path());
    if (!isRegularOrMissing(filePath)) {
        readable_ = false;
        return;
    }
    // Read once; from here on the store holds the truth and writes whole files itself.
    const QSettings file(filePath, QSettings::IniFormat);
    readable_ = file.status() == QSettings::NoError;
    for (const QString& key : file.allKeys()) {
        values_.insert(key, file.value(key));
    }
}

QString SettingsFileStore::standardFilePath(const AppPaths& paths) {
    return paths.defaults + QStringLiteral("/pellucine/pellucine.conf");
}

QString SettingsFileStore::domainFilePath(const AppPaths& paths, const QString& domain) {
    return paths.defaults + QLatin1Char('/') + domain + QStringLiteral(".conf");
}

QVariant SettingsFileStore::value(const QString& key) const {
    return values_.value(key);
}

bool SettingsFileStore::contains(const QString& key) const {
    return values_.contains(key);
}

bool SettingsFileStore::setValue(const QString& key, const QVariant& value) {
    QMap<QString, QVariant> next = values_;
    next.insert(key, value);
    const std::optional<QByteArray> text = encodeSettingsFile(next);
    if (!text) {
        return false;
    }
    values_ = std::move(next);
    // A settings file kept elsewhere through a link stays there.
    return readable_ && QDir().mkpath(QFileInfo(filePath_).path()) &&
           !writeFileAtomically(filePath_, *text, std::nullopt, LinkAtPath::replaceTarget);
}

}  // namespace pellucine
