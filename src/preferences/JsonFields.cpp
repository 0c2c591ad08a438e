#include "preferences/JsonFields.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <cmath>
#include <limits>

#include "base/IsoDateTime.h"
#include "preferences/PreferenceCodingError.h"

namespace pellucine {

namespace {

constexpr double twoToThe63 = 9223372036854775808.0;
constexpr double twoToThe64 = 18446744073709551616.0;

// A JSON number that is a whole number and fits a signed 64-bit integer, read exactly.
std::optional<std::int64_t> exactInteger(const QJsonValue& value) {
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

std::optional<std::uint64_t> exactUnsigned(const QJsonValue& value) {
    if (const auto integer = exactInteger(value)) {
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

void JsonFieldReader::missing(const QString& key) const {
    fail(key, QStringLiteral("is missing"));
}

std::optional<QJsonValue> JsonFieldReader::present(const QString& key) const {
    const auto it = object_.constFind(key);
    if (it == object_.constEnd() || it->isNull()) {
        return std::nullopt;
    }
    return *it;
}

std::optional<bool> JsonFieldReader::optionalBool(const QString& key) const {
    const auto value = present(key);
    if (!value) {
        return std::nullopt;
    }
    if (!value->isBool()) {
        fail(key, QStringLiteral("isn’t true or false"));
    }
    return value->toBool();
}

std::optional<double> JsonFieldReader::optionalDouble(const QString& key) const {
    const auto value = present(key);
    if (!value) {
        return std::nullopt;
    }
    if (!value->isDouble()) {
        fail(key, QStringLiteral("isn’t a number"));
    }
    return value->toDouble();
}

std::optional<std::int64_t> JsonFieldReader::optionalInt64(const QString& key) const {
    const auto value = present(key);
    if (!value) {
        return std::nullopt;
    }
    const auto integer = exactInteger(*value);
    if (!integer) {
        fail(key, QStringLiteral("isn’t a whole number that fits 64 bits"));
    }
    return integer;
}

std::optional<std::uint64_t> JsonFieldReader::optionalUnsigned(const QString& key,
                                                               std::uint64_t max) const {
    const auto value = present(key);
    if (!value) {
        return std::nullopt;
    }
    const auto integer = exactUnsigned(*value);
    if (!integer || *integer > max) {
        fail(key, QStringLiteral("isn’t a whole number from 0 to %1").arg(max));
    }
    return integer;
}

std::optional<QString> JsonFieldReader::optionalString(const QString& key) const {
    const auto value = present(key);
    if (!value) {
        return std::nullopt;
    }
    if (!value->isString()) {
        fail(key, QStringLiteral("isn’t text"));
    }
    return value->toString();
}

std::optional<QStringList> JsonFieldReader::optionalStringArray(const QString& key) const {
    const auto value = present(key);
    if (!value) {
        return std::nullopt;
    }
    if (!value->isArray()) {
        fail(key, QStringLiteral("isn’t a list of texts"));
    }
    QStringList out;
    const QJsonArray array = value->toArray();
    out.reserve(array.size());
    for (const QJsonValue& element : array) {
        if (!element.isString()) {
            fail(key, QStringLiteral("isn’t a list of texts"));
        }
        out << element.toString();
    }
    return out;
}

std::optional<QDateTime> JsonFieldReader::optionalDate(const QString& key) const {
    const auto value = present(key);
    if (!value) {
        return std::nullopt;
    }
    std::optional<QDateTime> date;
    if (value->isString()) {
        date = parseIsoDateTime(value->toString());
    }
    if (!date) {
        fail(key, QStringLiteral("isn’t a date such as 2026-03-14T09:26:53Z"));
    }
    return date;
}

std::optional<QJsonObject> JsonFieldReader::optionalObject(const QString& key) const {
    const auto value = present(key);
    if (!value) {
        return std::nullopt;
    }
    if (!value->isObject()) {
        fail(key, QStringLiteral("isn’t an object"));
    }
    return value->toObject();
}

double JsonFieldReader::requiredDouble(const QString& key) const {
    const auto value = optionalDouble(key);
    if (!value) {
        missing(key);
    }
    return *value;
}

std::int64_t JsonFieldReader::requiredInt64(const QString& key) const {
    const auto value = optionalInt64(key);
    if (!value) {
        missing(key);
    }
    return *value;
}

std::uint64_t JsonFieldReader::requiredUnsigned(const QString& key, std::uint64_t max) const {
    const auto value = optionalUnsigned(key, max);
    if (!value) {
        missing(key);
    }
    return *value;
}

QString JsonFieldReader::requiredString(const QString& key) const {
    const auto value = optionalString(key);
    if (!value) {
        missing(key);
    }
    return *value;
}

QJsonObject JsonFieldReader::requiredObject(const QString& key) const {
    const auto value = optionalObject(key);
    if (!value) {
        missing(key);
    }
    return *value;
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
