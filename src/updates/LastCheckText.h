#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QTimeZone>
#include <optional>

namespace pellucine {

// The last-check line of the updates card: "Never checked", or "Last check: " with "Today",
// "Yesterday" or the abbreviated month and day, then the hour and minute, all in `zone`.
QString lastCheckText(const std::optional<QDateTime>& lastChecked, const QDateTime& now,
                      const QTimeZone& zone = QTimeZone::systemTimeZone(),
                      const QLocale& locale = QLocale());

}  // namespace pellucine
