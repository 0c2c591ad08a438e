#pragma once

#include <QByteArray>
#include <QList>
#include <QStringView>

namespace pellucine {

// The window scans that run on every change of the desktop ("window-enumeration",
// "windows-refreshed") make up most of the event log. Readers fold each run of them (routine
// lines with no other line between) into the newest line of each name, which then carries in
// "times" how many lines it stands for, so they never crowd out the rest.
namespace RoutineEvents {

inline constexpr QLatin1String timesKey{"times"};

bool isRoutine(QStringView event);

// `lines` oldest first, as the log holds them; the same lines with every run folded, oldest
// first. A line that is not a JSON object naming its event is never routine; an empty line ends
// a run and is kept.
QList<QByteArray> fold(const QList<QByteArray>& lines);

}  // namespace RoutineEvents
}  // namespace pellucine
