#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "base/EventRecording.h"
#include "core/Permission.h"
#include "diagnostics/ReportConfig.h"

namespace pellucine {

class DiagnosticsService;
class EventRecording;
class KeyValueStore;

namespace ReportProblem {

// What this program's report configuration reads; everything outlives the configurations made
// from it.
struct ThisApp {
    DiagnosticsService& diagnostics;
    // The user defaults that keep the install identifier.
    KeyValueStore& defaults;
    EventRecording& events;
    // The report environment's desktop folder, which tells the events where a report went.
    QString desktopFolder;
};

}  // namespace ReportProblem

inline const QString reportInstallIDKey = QStringLiteral("reportInstallID");

// The identifier kept under "reportInstallID"; when there is none (or it is not a text), a new
// lower-case UUID is stored and returned.
QString thisAppInstallID(KeyValueStore& defaults);

// The permission and screen lines, each label padded to 18 characters, then the last 500
// pieces of `log` split at line feeds (empty pieces count) once runs of window scans are folded
// (`RoutineEvents`), or "(no log)" when there is none.
QString thisAppDiagnostics(PermissionState accessibility, PermissionState screenRecording,
                           int displayCount, const std::optional<QByteArray>& log);
// The same for the model's permissions, the screens attached now and the log file as it is,
// without waiting for the event log.
QString thisAppDiagnostics(const DiagnosticsService& diagnostics);

// The event for one of the report module's progress lines: "report-sent", for a report not sent
// "report-saved-to-desktop" with a "result" naming where its copy went (the Desktop, the reports
// folder, or nowhere), else "report-sending". The message's own text is never in the event.
struct ThisAppEvent {
    QString name;
    EventFields fields;

    friend bool operator==(const ThisAppEvent&, const ThisAppEvent&) = default;
};
ThisAppEvent thisAppEvent(const QString& message, const QString& desktopFolder);
void thisAppRecord(const QString& message, EventRecording& events, const QString& desktopFolder);

}  // namespace pellucine
