#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

namespace pellucine {

// Typed reads of the members of one JSON object. A member that is absent or null reads as
// nothing from the optional readers and fails the required ones; a present member of the wrong
// type or out of range always fails. Failures throw PreferenceDecodingError naming the member
// by its path ("windowSearchHotkey.keyCode").
class JsonFieldReader {
  public:
    explicit JsonFieldReader(QJsonObject object, QString path = {});

    std::optional<bool> optionalBool(const QString& key) const;
    std::optional<double> optionalDouble(const QString& key) const;
    std::optional<std::int64_t> optionalInt64(const QString& key) const;
    // An unsigned integer from 0 to max (2^64 - 1 at most).
    std::optional<std::uint64_t> optionalUnsigned(const QString& key, std::uint64_t max) const;
    std::optional<QString> optionalString(const QString& key) const;
    std::optional<QStringList> optionalStringArray(const QString& key) const;
    // Internet date-time text in UTC or with an offset, whole seconds.
    std::optional<QDateTime> optionalDate(const QString& key) const;
    std::optional<QJsonObject> optionalObject(const QString& key) const;

    double requiredDouble(const QString& key) const;
    std::int64_t requiredInt64(const QString& key) const;
    std::uint64_t requiredUnsigned(const QString& key, std::uint64_t max) const;
    QString requiredString(const QString& key) const;
    QJsonObject requiredObject(const QString& key) const;

    // The path of a member, for nested readers and error texts.
    QString pathOf(const QString& key) const;
    [[noreturn]] void fail(const QString& key, const QString& problem) const;

  private:
    std::optional<QJsonValue> present(const QString& key) const;
    // The converted value of a present member; fails with `problem` when it does not convert.
    template <class Convert>
    auto read(const QString& key, const QString& problem, Convert convert) const
        -> decltype(convert(QJsonValue()));
    template <class T>
    T require(std::optional<T> value, const QString& key) const;

    QJsonObject object_;
    QString path_;
};

// A JSON number that is a whole number fitting 64 signed bits, exactly; nothing otherwise.
std::optional<std::int64_t> jsonInteger(const QJsonValue& value);

// Parses UTF-8 JSON whose top level must be an object; throws PreferenceDecodingError.
QJsonObject parseJsonObject(const QByteArray& data);

// An unsigned integer as a JSON number, exactly: values above 2^63 - 1 are written as numbers
// only when a double holds them exactly; others throw PreferenceEncodingError.
QJsonValue unsignedJsonValue(std::uint64_t value, const QString& key);
// A date as internet date-time text in UTC, whole seconds; throws PreferenceEncodingError for an
// invalid date or one outside the years 1 to 9999.
QJsonValue dateJsonValue(const QDateTime& date, const QString& key);

}  // namespace pellucine
