#include "preferences/SettingsFileStore.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryFile>
#include <cerrno>

#include "base/AtomicFile.h"
#include "base/RegularFile.h"
#include "preferences/SettingsFileFormat.h"
#include "preferences/UnreadableCopy.h"

namespace pellucine {

SettingsFileStore::SettingsFileStore(const QString& filePath) : filePath_(filePath) {
    load();
}

SettingsFileStore::SettingsFileStore(const QString& filePath, const Claim& claim)
    : filePath_(filePath) {
    const auto status = load();
    if (status == QSettings::FormatError) {
        disown(claim, QStringLiteral("not-ini"));
    } else if (status == QSettings::NoError) {
        if (const auto problem = claim.schema.problem(values_)) {
            disown(claim, *problem);
        }
    }
}

std::optional<QSettings::Status> SettingsFileStore::load() {
    removeStaleTemporaryFiles(QFileInfo(filePath_).path());
    // Read once, without waiting on a pipe or a device; from here on the store holds the truth
    // and writes whole files itself.
    const RegularFileRead raw = readRegularFile(filePath_, copySizeLimit);
    if (raw.failure == RegularFileRead::Failure::missing || raw.errorCode == ENOTDIR) {
        readable_ = true;
        return QSettings::NoError;
    }
    if (!raw.ok()) {
        readable_ = false;
        return std::nullopt;
    }
    // QSettings keeps what it parsed per path and parses again only when the file's size or
    // time differs: a file replaced by one of the same size within the clock's tick would read
    // as the one before. A copy of its own, under a fresh name, is always parsed.
    QTemporaryFile copy(QDir::tempPath() + QStringLiteral("/pellucine-settings-XXXXXX.conf"));
    const bool copied = copy.open() && copy.write(raw.data) == raw.data.size() && copy.flush();
    const QSettings file(copied ? copy.fileName() : filePath_, QSettings::IniFormat);
    readable_ = file.status() == QSettings::NoError;
    for (const QString& key : file.allKeys()) {
        values_.insert(key, file.value(key));
    }
    return file.status();
}

void SettingsFileStore::disown(const Claim& claim, const QString& reason) {
    if (reason == QLatin1String("invalid-value")) {
        // The program's own file: only the values of another form go.
        for (auto it = values_.begin(); it != values_.end();) {
            const bool fits =
                SettingsFileSchema::fits(claim.schema.keys.value(it.key()), it.value());
            it = fits ? std::next(it) : values_.erase(it);
        }
    } else {
        values_.clear();
    }
    const RegularFileRead raw = readRegularFile(filePath_, copySizeLimit);
    const UnreadableCopy copy =
        raw.ok() ? UnreadableCopy::keep(claim.copyFolder, QFileInfo(filePath_).fileName(),
                                        QStringLiteral("conf"), raw.data, claim.clock.now())
                 : UnreadableCopy{QStringLiteral("not-kept"), {}};
    // Without a copy the file stays as it is, whatever is set later.
    readable_ = copy.isSafe();
    disowned_ = copy;
    claim.events.record(QStringLiteral("stored-preferences-unreadable"),
                        {{QStringLiteral("source"), QFileInfo(filePath_).fileName()},
                         {QStringLiteral("reason"), reason},
                         {QStringLiteral("result"), copy.result}});
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
