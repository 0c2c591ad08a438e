#include "core/Build.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include "base/IsoDateTime.h"

namespace pellucine {

namespace {

const QString separator = QStringLiteral(" \u00B7 ");

std::optional<QDateTime> parseStampDate(const QString& text) {
    return parseIsoDateTime(text, FractionalSeconds::forbidden);
}

}  // namespace

std::optional<Build::Stamp> Build::Stamp::fromJson(const QByteArray& data) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        return std::nullopt;
    }
    const QJsonObject object = document.object();
    Stamp stamp;
    for (const auto& [key, field] :
         {std::pair{"sha", &Stamp::sha}, std::pair{"subject", &Stamp::subject},
          std::pair{"committed", &Stamp::committed}, std::pair{"branch", &Stamp::branch},
          std::pair{"builtAt", &Stamp::builtAt}}) {
        const QJsonValue value = object.value(QLatin1String(key));
        if (!value.isString()) {
            return std::nullopt;
        }
        stamp.*field = value.toString();
    }
    return stamp;
}

Build::Stamp Build::loadStamp(const Bundle& bundle) {
    const QString name = QStringLiteral("build-stamp");
    const QString extension = QStringLiteral("json");
    auto path = bundle.resourcePath(name, extension, QStringLiteral("Stamp"));
    if (!path) {
        path = bundle.resourcePath(name, extension);
    }
    if (!path) {
        return {};
    }
    QFile file(*path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return Stamp::fromJson(file.readAll()).value_or(Stamp{});
}

const Build& Build::main() {
    static const Build build(Bundle::main(), loadStamp(Bundle::main()));
    return build;
}

QString Build::appName() const {
    const QVariantMap& info = bundle_.infoDictionary();
    for (const char* key : {"CFBundleDisplayName", "CFBundleName"}) {
        const QVariant value = info.value(QLatin1String(key));
        if (value.typeId() == QMetaType::QString) {
            return value.toString();
        }
    }
    return QStringLiteral("This app");
}

QString Build::version() const {
    const QVariant value =
        bundle_.infoDictionary().value(QStringLiteral("CFBundleShortVersionString"));
    return value.typeId() == QMetaType::QString ? value.toString() : QStringLiteral("0");
}

std::optional<QDateTime> Build::committedDate() const {
    return parseStampDate(stamp_.committed);
}

std::optional<QDateTime> Build::builtDate() const {
    return parseStampDate(stamp_.builtAt);
}

QString Build::shortVersion() const {
    return QLatin1Char('v') + version() + separator + stamp_.sha;
}

QString Build::versionLine(const QLocale& locale, const QTimeZone& zone) const {
    return shortVersion() + separator + QStringLiteral("built ") +
           formattedDate(builtDate(), locale, zone);
}

QString Build::formattedDate(const std::optional<QDateTime>& date, const QLocale& locale,
                             const QTimeZone& zone) {
    if (!date || !date->isValid()) {
        return QStringLiteral("unknown");
    }
    const QDateTime local = date->toTimeZone(zone);
    return locale.toString(local.date(), QStringLiteral("MMM d")) + QStringLiteral(", ") +
           locale.toString(local.time(), QLocale::ShortFormat);
}

}  // namespace pellucine
