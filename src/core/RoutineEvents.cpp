#include "core/RoutineEvents.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <algorithm>
#include <vector>

namespace pellucine::RoutineEvents {

namespace {

struct Folded {
    QString event;
    QJsonObject newest;
    // Where the first line of the event stands in the output.
    qsizetype place = 0;
    qsizetype times = 0;
};

}  // namespace

bool isRoutine(QStringView event) {
    return event == u"window-enumeration" || event == u"windows-refreshed";
}

QList<QByteArray> fold(const QList<QByteArray>& lines) {
    QList<QByteArray> out;
    out.reserve(lines.size());
    std::vector<Folded> run;
    const auto closeRun = [&out, &run] {
        for (Folded& folded : run) {
            if (folded.times > 1) {
                folded.newest.insert(timesKey, QString::number(folded.times));
                out[folded.place] = QJsonDocument(folded.newest).toJson(QJsonDocument::Compact);
            }
        }
        run.clear();
    };
    for (const QByteArray& line : lines) {
        // Only lines that can be routine are parsed.
        const bool mayBeRoutine =
            line.contains("window-enumeration") || line.contains("windows-refreshed");
        const QJsonObject object =
            mayBeRoutine ? QJsonDocument::fromJson(line).object() : QJsonObject();
        const QString event = object.value(QLatin1String("event")).toString();
        if (!isRoutine(event)) {
            closeRun();
            out.append(line);
            continue;
        }
        auto same = std::find_if(run.begin(), run.end(),
                                 [&event](const Folded& folded) { return folded.event == event; });
        if (same == run.end()) {
            run.push_back({event, object, out.size(), 1});
            out.append(line);
        } else {
            same->newest = object;
            ++same->times;
        }
    }
    closeRun();
    return out;
}

}  // namespace pellucine::RoutineEvents
