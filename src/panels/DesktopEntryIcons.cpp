#include "panels/DesktopEntryIcons.h"

#include <QFile>

#include "platform/linux/IconLookup.h"

namespace pellucine {

namespace {

// Desktop files are small; a larger one is not read.
constexpr qint64 largestDesktopFile = 256 * 1024;

}  // namespace

QString DesktopEntryIcons::iconKey(const QByteArray& text) {
    bool inEntry = false;
    for (const QByteArray& raw : text.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.startsWith('[')) {
            inEntry = line == "[Desktop Entry]";
            continue;
        }
        if (!inEntry || line.startsWith('#')) {
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (equals > 0 && line.left(equals).trimmed() == "Icon") {
            return QString::fromUtf8(line.mid(equals + 1).trimmed());
        }
    }
    return {};
}

QImage DesktopEntryIcons::load(const QString& iconValue) {
    return IconLookup::fromIconValue(iconValue, side);
}

QImage DesktopEntryIcons::icon(qint32 processIdentifier) const {
    const auto application = workspace_.runningApplication(processIdentifier);
    if (!application || !application->bundleURL || !application->bundleURL->isLocalFile()) {
        return {};
    }
    const QString path = application->bundleURL->toLocalFile();
    if (!path.endsWith(QLatin1String(".desktop"))) {
        return {};
    }
    const auto cached = cache_.constFind(path);
    if (cached != cache_.constEnd()) {
        return *cached;
    }
    QImage image;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly) && file.size() <= largestDesktopFile) {
        image = load(iconKey(file.read(largestDesktopFile)));
    }
    cache_.insert(path, image);
    return image;
}

}  // namespace pellucine
