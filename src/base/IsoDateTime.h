#pragma once

#include <QDateTime>
#include <QString>
#include <QStringView>
#include <optional>

namespace pellucine {

enum class FractionalSeconds { forbidden, required, optional };

// "2026-03-14T09:26:53Z": UTC, whole seconds (the stored records and the settings export).
QString formatIsoDateTime(const QDateTime& date);
// "2026-03-14T09:26:53.589Z": UTC, milliseconds (the event log).
QString formatIsoDateTimeWithMilliseconds(const QDateTime& date);

// Strict internet date-time: "YYYY-MM-DDTHH:MM:SS", optionally ".fraction" as the rule allows,
// then "Z" or "±HH:MM". Anything else (date only, no zone, lower-case separators, a leap second,
// blanks) yields nothing. The result is in UTC and clamped to distantPast … distantFuture, so
// that whatever is read can be written again in either format.
std::optional<QDateTime> parseIsoDateTime(
    QStringView text, FractionalSeconds fraction = FractionalSeconds::forbidden);

// The distant past, 0001-01-01T00:00:00Z.
QDateTime distantPast();
// The last whole second that can be written, 9999-12-31T23:59:59Z.
QDateTime distantFuture();

}  // namespace pellucine
