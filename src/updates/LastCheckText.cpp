#include "updates/LastCheckText.h"

namespace pellucine {

QString lastCheckText(const std::optional<QDateTime>& lastChecked, const QDateTime& now,
                      const QTimeZone& zone, const QLocale& locale) {
    if (!lastChecked) {
        return QStringLiteral("Never checked");
    }
    const QDateTime local = lastChecked->toTimeZone(zone);
    const QString time = locale.toString(local.time(), QLocale::ShortFormat);
    const QDate today = now.toTimeZone(zone).date();
    if (local.date() == today) {
        return QStringLiteral("Last check: Today, ") + time;
    }
    if (local.date() == today.addDays(-1)) {
        return QStringLiteral("Last check: Yesterday, ") + time;
    }
    return QStringLiteral("Last check: ") + locale.toString(local.date(), QStringLiteral("MMM d")) +
           QStringLiteral(", ") + time;
}

}  // namespace pellucine
