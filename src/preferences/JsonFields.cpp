#include "preferences/JsonFields.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <cmath>
#include <limits>

#include "base/IsoDateTime.h"
#include "preferences/PreferenceCodingError.h"

namespace pellucine {

std::optional<std::int64_t> jsonInteger(const QJsonValue& value) {
    if (!value.isDouble()) {
        return std::nullopt;
    }
    // toInteger falls back to its argument when the number is fractional or out of range.
    const qint64 a = value.toInteger(0);
    const qint64 b = value.toInteger(1);
    if (a != b) {
        return std::nullopt;
    }
    return a;
}

namespace {

constexpr double twoToThe63 = 9223372036854775808.0;
constexpr double twoToThe64 = 18446744073709551616.0;

std::optional<std::uint64_t> exactUnsigned(const QJsonValue& value) {
    if (const auto integer = jsonInteger(value)) {
        if (*integer < 0) {
            return std::nullopt;
        }
        return static_cast<std::uint64_t>(*integer);
    }
    if (!value.isDouble()) {
        return std::nullopt;
    }
    // Numbers above 2^63 - 1 reach us as doubles; every double in [2^63, 2^64) is whole.
    const double d = value.toDouble();
    if (d >= twoToThe63 && d < twoToThe64) {
        return static_cast<std::uint64_t>(d);
    }
    return std::nullopt;
}

}  // namespace

JsonFieldReader::JsonFieldReader(QJsonObject object, QString path)
    : object_(std::move(object)), path_(std::move(path)) {}

QString JsonFieldReader::pathOf(const QString& key) const {
    return path_.isEmpty() ? key : path_ + QLatin1Char('.') + key;
}

void JsonFieldReader::fail(const QString& key, const QString& problem) const {
    throw PreferenceDecodingError(
        QStringLiteral("The settings data couldn’t be read: “%1” %2.").arg(pathOf(key), problem));
}

std::optional<QJsonValue> JsonFieldReader::present(const QString& key) const {
    const auto it = object_.constFind(key);
    if (it == object_.constEnd() || it->isNull()) {
        return std::nullopt;
    }
    return *it;
}

template <class Convert>
auto JsonFieldReader::read(const QString& key, const QString& problem, Convert convert) const
    -> decltype(convert(QJsonValue())) {
    const auto value = present(key);
    if (!value) {
        return std::nullopt;
    }
    auto converted = convert(*value);
    if (!converted) {
        fail(key, problem);
    }
    return converted;
}

template <class T>
T JsonFieldReader::require(std::optional<T> value, const QString& key) const {
    if (!value) {
        fail(key, QStringLiteral("is missing"));
    }
    return std::move(*value);
}

std::optional<bool> JsonFieldReader::optionalBool(const QString& key) const {
    return read(key, QStringLiteral("isn’t true or false"),
                [](const QJsonValue& v) -> std::optional<bool> {
                    return v.isBool() ? std::optional(v.toBool()) : std::nullopt;
                });
}

std::optional<double> JsonFieldReader::optionalDouble(const QString& key) const {
    return read(key, QStringLiteral("isn’t a number"),
                [](const QJsonValue& v) -> std::optional<double> {
                    return v.isDouble() ? std::optional(v.toDouble()) : std::nullopt;
                });
}

std::optional<std::int64_t> JsonFieldReader::optionalInt64(const QString& key) const {
    return read(key, QStringLiteral("isn’t a whole number that fits 64 bits"), jsonInteger);
}

std::optional<std::uint64_t> JsonFieldReader::optionalUnsigned(const QString& key,
                                                               std::uint64_t max) const {
    return read(key, QStringLiteral("isn’t a whole number from 0 to %1").arg(max),
                [max](const QJsonValue& v) -> std::optional<std::uint64_t> {
                    const auto integer = exactUnsigned(v);
                    return integer && *integer <= max ? integer : std::nullopt;
                });
}

std::optional<QString> JsonFieldReader::optionalString(const QString& key) const {
    return read(key, QStringLiteral("isn’t text"),
                [](const QJsonValue& v) -> std::optional<QString> {
                    return v.isString() ? std::optional(v.toString()) : std::nullopt;
                });
}

std::optional<QStringList> JsonFieldReader::optionalStringArray(const QString& key) const {
    return read(key, QStringLiteral("isn’t a list of texts"),
                [](const QJsonValue& v) -> std::optional<QStringList> {
                    if (!v.isArray()) {
                        return std::nullopt;
                    }
                    QStringList out;
                    for (const QJsonValue& element : v.toArray()) {
                        if (!element.isString()) {
                            return std::nullopt;
                        }
                        out << element.toString();
                    }
                    return out;
                });
}

std::optional<QDateTime> JsonFieldReader::optionalDate(const QString& key) const {
    return read(key, QStringLiteral("isn’t a date such as 2026-03-14T09:26:53Z"),
                [](const QJsonValue& v) -> std::optional<QDateTime> {
                    return v.isString() ? parseIsoDateTime(v.toString()) : std::nullopt;
                });
}

std::optional<QJsonObject> JsonFieldReader::optionalObject(const QString& key) const {
    return read(key, QStringLiteral("isn’t an object"),
                [](const QJsonValue& v) -> std::optional<QJsonObject> {
                    return v.isObject() ? std::optional(v.toObject()) : std::nullopt;
                });
}

double JsonFieldReader::requiredDouble(const QString& key) const {
    return require(optionalDouble(key), key);
}

std::int64_t JsonFieldReader::requiredInt64(const QString& key) const {
    return require(optionalInt64(key), key);
}

std::uint64_t JsonFieldReader::requiredUnsigned(const QString& key, std::uint64_t max) const {
    return require(optionalUnsigned(key, max), key);
}

QString JsonFieldReader::requiredString(const QString& key) const {
    return require(optionalString(key), key);
}

QJsonObject JsonFieldReader::requiredObject(const QString& key) const {
    return require(optionalObject(key), key);
}

QJsonObject parseJsonObject(const QByteArray& data) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError) {
        throw PreferenceDecodingError(
            QStringLiteral(
                "The settings data couldn’t be read: it isn’t valid JSON (%1 at byte %2).")
                .arg(error.errorString())
                .arg(error.offset));
    }
    if (!document.isObject()) {
        throw PreferenceDecodingError(
            QStringLiteral("The settings data couldn’t be read: it isn’t a JSON object."));
    }
    return document.object();
}

QJsonValue unsignedJsonValue(std::uint64_t value, const QString& key) {
    if (value <= static_cast<std::uint64_t>(std::numeric_limits<qint64>::max())) {
        return QJsonValue(static_cast<qint64>(value));
    }
    const double d = static_cast<double>(value);
    if (d < twoToThe64 && static_cast<std::uint64_t>(d) == value) {
        return QJsonValue(d);
    }
    throw PreferenceEncodingError(
        QStringLiteral("The settings couldn’t be written: “%1” (%2) can’t be stored exactly.")
            .arg(key)
            .arg(value));
}

QJsonValue dateJsonValue(const QDateTime& date, const QString& key) {
    const QDateTime utc = date.toUTC();
    if (!utc.isValid() || utc.date().year() < 1 || utc.date().year() > 9999) {
        throw PreferenceEncodingError(
            QStringLiteral("The settings couldn’t be written: “%1” isn’t a storable date.")
                .arg(key));
    }
    return QJsonValue(formatIsoDateTime(utc));
}

}  // namespace pellucine
