#include "preferences/UnreadableCopy.h"

#include <QDir>
#include <QFile>

#include "base/RegularFile.h"

namespace pellucine {

namespace {

constexpr int maximumCopiesPerSecond = 99;

bool holdsBytes(const QString& filePath, const QByteArray& bytes) {
    const RegularFileRead read = readRegularFile(filePath, bytes.size());
    return read.ok() && read.data == bytes;
}

}  // namespace

UnreadableCopy UnreadableCopy::keep(const QString& folder, const QString& name,
                                    const QString& extension, const QByteArray& bytes,
                                    const QDateTime& now) {
    if (bytes.isEmpty()) {
        return {QStringLiteral("empty"), {}};
    }
    const QString prefix = QStringLiteral("unreadable-") + name + QLatin1Char('-');
    const QString ending = QLatin1Char('.') + extension;
    const QFileInfoList earlier =
        QDir(folder).entryInfoList({prefix + QLatin1Char('*') + ending}, QDir::Files);
    for (const QFileInfo& copy : earlier) {
        if (holdsBytes(copy.filePath(), bytes)) {
            return {QStringLiteral("already-kept"), copy.filePath()};
        }
    }
    const UnreadableCopy notKept{QStringLiteral("not-kept"), {}};
    if (!QDir().mkpath(folder)) {
        return notKept;
    }
    const QString stamp = now.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    for (int n = 1; n <= maximumCopiesPerSecond; ++n) {
        const QString suffix = n == 1 ? QString() : QStringLiteral("-%1").arg(n);
        QFile file(folder + QLatin1Char('/') + prefix + stamp + suffix + ending);
        // NewOnly: an earlier copy is never replaced.
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly,
                      QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
            const bool written = file.write(bytes) == bytes.size() && file.flush();
            file.close();
            if (!written) {
                file.remove();
                return notKept;
            }
            return {QStringLiteral("kept"), file.fileName()};
        }
        if (!file.exists()) {
            break;
        }
    }
    return notKept;
}

}  // namespace pellucine
