#pragma once

#include <QByteArray>
#include <QList>
#include <QLocale>
#include <QString>
#include <QTimeZone>
#include <QUuid>
#include <optional>

#include "base/AppPaths.h"
#include "base/Clock.h"
#include "base/EventRecording.h"
#include "base/SerialQueue.h"

namespace pellucine {

// One row of the diagnostics window.
struct ReadableDiagnosticEvent {
    QUuid id;
    QString title;
    QString timestamp;
    QString detail;
};

// The event log: one compact JSON object a line in "flight.jsonl", appended on one serial
// worker so that recording never touches the disk on the caller's thread. Fields are cut to a
// fixed allow-list, a few events are never written, and the file is cut back to its newest
// lines as it grows, in number and in bytes. A write that fails (a full disk) leaves no part of
// its line behind; the events lost so are counted, and the count is written before the next
// event once writing works again.
class FlightRecorder final : public EventRecording {
  public:
    static constexpr int maximumLines = 4000;
    static constexpr qint64 maximumBytes = 2 * 1024 * 1024;
    // A trim test runs on the first successful write, then on every 250th, and whenever the
    // writes since the last test come to more than `trimByteInterval` bytes.
    static constexpr int trimInterval = 250;
    static constexpr qint64 trimByteInterval = 256 * 1024;
    static constexpr QLatin1String logFileName{"flight.jsonl"};
    static constexpr QLatin1String queueLabel{"com.orrinvale.brackenmoor.dev.flight-recorder"};

    // Writes below `diagnosticsDirectory`, which is created on the first write.
    explicit FlightRecorder(QString diagnosticsDirectory,
                            const WallClock& clock = systemWallClock());
    ~FlightRecorder() override;

    FlightRecorder(const FlightRecorder&) = delete;
    FlightRecorder& operator=(const FlightRecorder&) = delete;

    // The one recorder of the process, created on first use and never destroyed. It writes
    // below the directory given to `configureShared`, or below the default diagnostics
    // directory of the environment's folders when none was configured.
    static FlightRecorder& shared();
    // Sets the shared recorder's directory; only before its first use. Returns false (and
    // changes nothing) once it exists.
    static bool configureShared(QString diagnosticsDirectory);

    // Stamps the event with the time of the call and queues its line. Never touches the disk
    // and never fails towards the caller; after `shutdown` it does nothing. Any thread.
    using EventRecording::record;
    void record(const QString& event, const EventFields& fields) override;

    // Returns once every event recorded before the call is on disk (or has failed).
    void drain() { queue_.drain(); }
    // Writes what was recorded, then stops the worker for good. Called at quit.
    void shutdown() { queue_.shutdown(); }
    SerialQueue& queue() { return queue_; }

    const QString& directory() const { return directory_; }
    QString logFilePath() const { return logFilePath(directory_); }
    // Newest first, at most `limit` (a negative limit reads as 0), read from the end of the file
    // so that a log grown far past its bound costs no more than a short one. Lines that are not
    // valid UTF-8 or longer than LogTail's limit are passed over. Reads the file on the
    // caller's thread; `drain` first to see every earlier event.
    QList<ReadableDiagnosticEvent> readRecentEvents(int limit) const {
        return readRecentEvents(directory_, limit);
    }

    // The "diagnostics" folder inside the program's folder in Application Support: "pellucine"
    // for the release identifier or none, else "pellucine-" + the identifier. Creates nothing.
    static QString diagnosticsDirectory(const AppPaths& paths,
                                        const std::optional<QString>& bundleIdentifier);
    static QString logFilePath(const QString& diagnosticsDirectory);
    static QList<ReadableDiagnosticEvent> readRecentEvents(const QString& diagnosticsDirectory,
                                                           int limit);

    static QString readableTitle(const QString& event);
    static QString readableDetailLabel(const QString& key);
    // The "at" text as a local date and time, or the text itself when it is not a date.
    static QString readableTimestamp(const QString& at, const QLocale& locale = QLocale::system(),
                                     const QTimeZone& zone = QTimeZone::systemTimeZone());

  private:
    // The allowed fields plus "at" and "event", which override a caller's fields of the same
    // name.
    static EventFields lineFields(const QString& event, const EventFields& fields,
                                  const QDateTime& at);
    void append(const EventFields& fields);
    // Creates the folder, appends one line, and sets the permissions; the error's description
    // on failure.
    std::optional<QString> writeLine(const QByteArray& json);
    void trim() const;

    QString directory_;
    const WallClock& clock_;
    // Touched only on the worker.
    int writesSinceTrim_ = trimInterval;
    qint64 bytesSinceTrim_ = 0;
    // Events whose line could not be written since the last line that was.
    qint64 droppedEvents_ = 0;
    // Whether what an earlier run left half-written in the folder was looked for.
    bool temporaryFilesChecked_ = false;
    // Last: destroyed (drained and joined) first.
    SerialQueue queue_{queueLabel};
};

}  // namespace pellucine
