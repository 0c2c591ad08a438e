#include "core/Bundle.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

// Outside any namespace, as the resource initialiser requires.
static void initBundleResources() {
    Q_INIT_RESOURCE(pellucine_bundle);
}

namespace pellucine {

namespace {

const QString mainResourceRoot = QStringLiteral(":/pellucine/bundle");

QVariantMap readMainInfoDictionary() {
    initBundleResources();
    QFile file(mainResourceRoot + QStringLiteral("/Info.json"));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QJsonDocument::fromJson(file.readAll()).object().toVariantMap();
}

}  // namespace

const Bundle& Bundle::main() {
    static const Bundle bundle(readMainInfoDictionary(), mainResourceRoot);
    return bundle;
}

std::optional<QString> Bundle::resourcePath(const QString& name, const QString& extension,
                                            const QString& subdirectory) const {
    QString path = resourceRoot_ + QLatin1Char('/');
    if (!subdirectory.isEmpty()) {
        path += subdirectory + QLatin1Char('/');
    }
    path += name;
    if (!extension.isEmpty()) {
        path += QLatin1Char('.') + extension;
    }
    if (!QFileInfo(path).isFile()) {
        return std::nullopt;
    }
    return path;
}

bool Bundle::infoBool(const QString& key, const Bundle& bundle) {
    const auto it = bundle.info_.constFind(key);
    if (it == bundle.info_.constEnd()) {
        return false;
    }
    switch (it->typeId()) {
        case QMetaType::Bool:
            return it->toBool();
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Double:
        case QMetaType::Float:
            return it->toDouble() != 0;
        case QMetaType::QString: {
            const QString upper = it->toString().toUpper();
            return upper == QLatin1String("YES") || upper == QLatin1String("TRUE") ||
                   upper == QLatin1String("1");
        }
        default:
            return false;
    }
}

std::optional<QString> Bundle::infoString(const QString& key, const Bundle& bundle) {
    const auto it = bundle.info_.constFind(key);
    if (it == bundle.info_.constEnd() || it->typeId() != QMetaType::QString) {
        return std::nullopt;
    }
    QString value = it->toString();
    if (value.isEmpty() || value.startsWith(QLatin1String("$("))) {
        return std::nullopt;
    }
    return value;
}

}  // namespace pellucine
