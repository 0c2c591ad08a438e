#include "base/IsoDateTime.h"

#include <algorithm>

namespace pellucine {

namespace {

QString formatUtc(const QDateTime& date, bool milliseconds) {
    const QDateTime utc = date.toUTC();
    const QDate d = utc.date();
    const QTime t = utc.time();
    QString out = QString::asprintf("%04d-%02d-%02dT%02d:%02d:%02d", d.year(), d.month(), d.day(),
                                    t.hour(), t.minute(), t.second());
    if (milliseconds) {
        out += QString::asprintf(".%03d", t.msec());
    }
    out += QLatin1Char('Z');
    return out;
}

// Reads exactly `count` ASCII digits at `pos`.
std::optional<int> digits(QStringView text, qsizetype pos, int count) {
    if (pos + count > text.size()) {
        return std::nullopt;
    }
    int value = 0;
    for (int i = 0; i < count; ++i) {
        const QChar c = text[pos + i];
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            return std::nullopt;
        }
        value = value * 10 + (c.unicode() - '0');
    }
    return value;
}

bool charAt(QStringView text, qsizetype pos, char expected) {
    return pos < text.size() && text[pos] == QLatin1Char(expected);
}

}  // namespace

QString formatIsoDateTime(const QDateTime& date) {
    return formatUtc(date, false);
}

QString formatIsoDateTimeWithMilliseconds(const QDateTime& date) {
    return formatUtc(date, true);
}

std::optional<QDateTime> parseIsoDateTime(QStringView text, FractionalSeconds fraction) {
    const auto year = digits(text, 0, 4);
    const auto month = digits(text, 5, 2);
    const auto day = digits(text, 8, 2);
    const auto hour = digits(text, 11, 2);
    const auto minute = digits(text, 14, 2);
    const auto second = digits(text, 17, 2);
    if (!year || !month || !day || !hour || !minute || !second || !charAt(text, 4, '-') ||
        !charAt(text, 7, '-') || !charAt(text, 10, 'T') || !charAt(text, 13, ':') ||
        !charAt(text, 16, ':')) {
        return std::nullopt;
    }
    const QDate date(*year, *month, *day);
    if (!date.isValid() || *hour > 23 || *minute > 59 || *second > 59) {
        return std::nullopt;
    }

    qsizetype pos = 19;
    int msec = 0;
    if (charAt(text, pos, '.')) {
        if (fraction == FractionalSeconds::forbidden) {
            return std::nullopt;
        }
        ++pos;
        const qsizetype start = pos;
        double scale = 100;
        double ms = 0;
        while (pos < text.size() && text[pos] >= QLatin1Char('0') &&
               text[pos] <= QLatin1Char('9')) {
            ms += (text[pos].unicode() - '0') * scale;
            scale /= 10;
            ++pos;
        }
        if (pos == start) {
            return std::nullopt;
        }
        msec = std::min(999, static_cast<int>(ms));
    } else if (fraction == FractionalSeconds::required) {
        return std::nullopt;
    }

    int offsetSeconds = 0;
    if (charAt(text, pos, 'Z')) {
        ++pos;
    } else if (charAt(text, pos, '+') || charAt(text, pos, '-')) {
        const int sign = text[pos] == QLatin1Char('-') ? -1 : 1;
        const auto offsetHours = digits(text, pos + 1, 2);
        const auto offsetMinutes = digits(text, pos + 4, 2);
        if (!offsetHours || !offsetMinutes || !charAt(text, pos + 3, ':') || *offsetHours > 23 ||
            *offsetMinutes > 59) {
            return std::nullopt;
        }
        offsetSeconds = sign * (*offsetHours * 3600 + *offsetMinutes * 60);
        pos += 6;
    } else {
        return std::nullopt;
    }
    if (pos != text.size()) {
        return std::nullopt;
    }
    const QDateTime local(date, QTime(*hour, *minute, *second, msec), Qt::OffsetFromUTC,
                          offsetSeconds);
    // An offset can carry the first and last days past the years 1 to 9999 in UTC, where no
    // stored form can write them again.
    return std::clamp(local.toUTC(), distantPast(), distantFuture());
}

QDateTime distantPast() {
    return QDateTime(QDate(1, 1, 1), QTime(0, 0), Qt::UTC);
}

QDateTime distantFuture() {
    return QDateTime(QDate(9999, 12, 31), QTime(23, 59, 59), Qt::UTC);
}

}  // namespace pellucine
