#pragma once

#include <QByteArray>
#include <QList>
#include <functional>
#include <optional>

#include "core/FlightRecorder.h"
#include "diagnostics/DiagnosticsHost.h"
#include "diagnostics/PrivacySafeDiagnostics.h"

namespace pellucine {

class AppModel;

// The program's own diagnostics: the status snapshot, the support file and the event log's
// readable rows. Reads happen on the caller's thread (the main thread); callers wait for the
// event log first when they need every event recorded so far.
class DiagnosticsService {
  public:
    // Newest records of the event log that go into the support file.
    static constexpr int supportLogLimit = 1000;
    // Larger log files are treated as unreadable.
    static constexpr qint64 logSizeLimit = 64 * 1024 * 1024;

    // `waitForEventLog` returns once every event recorded so far is written. The model and what
    // the host refers to outlive the service.
    DiagnosticsService(AppModel& model, DiagnosticsHost host,
                       std::function<void()> waitForEventLog);

    AppModel& model() const { return model_; }
    const DiagnosticsHost& host() const { return host_; }

    void waitForEventLog() const;
    PrivacySafeDiagnostics capture() const;
    int displayCount() const;
    // The complete support file, or none when it could not be built.
    std::optional<QByteArray> supportFileData() const;
    // Newest first; see FlightRecorder::readRecentEvents.
    QList<ReadableDiagnosticEvent> readRecentEvents(int limit) const;

    // {"log": [...], "status": {...}}, pretty-printed with sorted keys. "log" holds the last
    // `supportLogLimit` non-empty lines of `log` in file order, each that is a JSON object or
    // array; other lines are left out and not replaced by older ones.
    static QByteArray supportFile(const PrivacySafeDiagnostics& status, const QByteArray& log);
    // The bytes of the event log at `path`; none when it is missing, not a regular file, too
    // large or unreadable.
    static std::optional<QByteArray> readLog(const QString& path);

  private:
    AppModel& model_;
    DiagnosticsHost host_;
    std::function<void()> waitForEventLog_;
};

}  // namespace pellucine
