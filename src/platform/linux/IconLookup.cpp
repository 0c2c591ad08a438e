#include "platform/linux/IconLookup.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QRegularExpression>

namespace pellucine {

namespace {

QImage fitted(const QImage& image, int side) {
    if (image.isNull() || image.size() == QSize(side, side)) {
        return image;
    }
    return image.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

QImage themed(const QString& name, int side) {
    // The icon theme needs the GUI application.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
        return {};
    }
    const QIcon icon = QIcon::fromTheme(name);
    return icon.isNull() ? QImage() : icon.pixmap(side, side).toImage();
}

}  // namespace

QString IconLookup::pixmapFile(const QString& folder, const QString& name) {
    if (name.isEmpty() || name.contains(u'/') || name == u"." || name == u"..") {
        return {};
    }
    const QDir dir(folder);
    const QStringList whole{name, name + QStringLiteral(".png"), name + QStringLiteral(".svg"),
                            name + QStringLiteral(".xpm")};
    const bool hasExtension = !QFileInfo(name).suffix().isEmpty();
    for (qsizetype i = 0; i < whole.size(); ++i) {
        // A bare name is not a picture file; a dotted one may be a name without an extension.
        if (i == 0 && !hasExtension) {
            continue;
        }
        if (QFileInfo(dir.filePath(whole[i])).isFile()) {
            return dir.filePath(whole[i]);
        }
    }
    static const QRegularExpression sized(QStringLiteral("^_(\\d{1,4})x\\1\\.(xpm|png)$"));
    QString best;
    int bestSide = 0;
    for (const QString& file : dir.entryList({name + QStringLiteral("_*")}, QDir::Files)) {
        const QRegularExpressionMatch match = sized.match(QStringView(file).mid(name.size()));
        if (match.hasMatch() && match.captured(1).toInt() > bestSide) {
            bestSide = match.captured(1).toInt();
            best = dir.filePath(file);
        }
    }
    return best;
}

QImage IconLookup::fromIconValue(const QString& value, int side, const QStringList& pixmapFolders) {
    if (value.isEmpty() || side <= 0) {
        return {};
    }
    if (QDir::isAbsolutePath(value)) {
        return fitted(QImage(value), side);
    }
    if (QImage image = themed(value, side); !image.isNull()) {
        return image;
    }
    for (const QString& folder : pixmapFolders) {
        if (const QString file = pixmapFile(folder, value); !file.isEmpty()) {
            if (QImage image(file); !image.isNull()) {
                return fitted(image, side);
            }
        }
    }
    return {};
}

}  // namespace pellucine
