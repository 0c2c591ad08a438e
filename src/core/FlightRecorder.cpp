#include "core/FlightRecorder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <mutex>

#include "base/AtomicFile.h"
#include "base/FileDescriptor.h"
#include "base/IsoDateTime.h"
#include "base/LogTail.h"
#include "core/RoutineEvents.h"

namespace pellucine {

namespace {

constexpr QLatin1String releaseBundleIdentifier{"com.orrinvale.pellucine"};
constexpr QLatin1String atKey{"at"};
constexpr QLatin1String eventKey{"event"};
// The recorder's own line, written before the next event once the log can be written again.
constexpr QLatin1String droppedEvent{"events-not-logged"};
constexpr QLatin1String droppedCountKey{"droppedCount"};

// The tables are never destroyed: the shared recorder still reads them while it drains at exit.
const QSet<QString>& skippedEvents() {
    static const auto& events =
        *new QSet<QString>{QStringLiteral("dock-app-action"), QStringLiteral("preview-action"),
                           QStringLiteral("switcher-committed")};
    return events;
}

const QSet<QString>& allowedKeys() {
    static const auto& keys = *new QSet<QString>{
        QStringLiteral("accessibility"),
        QStringLiteral("applicationCount"),
        QStringLiteral("at"),
        QStringLiteral("axTimeoutCount"),
        QStringLiteral("axWindowCount"),
        QStringLiteral("build"),
        QStringLiteral("cachedCount"),
        QStringLiteral("cgCandidateCount"),
        QStringLiteral("commandTabMode"),
        QStringLiteral("commandTabTap"),
        QStringLiteral("displayID"),
        QStringLiteral("durationMilliseconds"),
        QStringLiteral("errorType"),
        QStringLiteral("event"),
        QStringLiteral("lastSeenCount"),
        QStringLiteral("loadedCount"),
        QStringLiteral("macOS"),
        QStringLiteral("offscreenCount"),
        QStringLiteral("matchedWindowCount"),
        QStringLiteral("permission"),
        QStringLiteral("reason"),
        QStringLiteral("pane"),
        QStringLiteral("rejectedWindowCount"),
        QStringLiteral("requestedCount"),
        QStringLiteral("result"),
        QStringLiteral("screenRecording"),
        QStringLiteral("source"),
        QStringLiteral("version"),
        QStringLiteral("visible"),
        QStringLiteral("warmedCount"),
        QStringLiteral("windowCount"),
        QStringLiteral("channel"),
        QStringLiteral("currentVersion"),
        QStringLiteral("errorCode"),
        QStringLiteral("offeredVersion"),
    };
    return keys;
}

const QHash<QString, QString>& titles() {
    static const auto& table = *new QHash<QString, QString>{
        {QStringLiteral("launch"), QStringLiteral("PELLUCINE opened")},
        {QStringLiteral("quit"), QStringLiteral("PELLUCINE closed")},
        {QStringLiteral("windows-refreshed"), QStringLiteral("Window list updated")},
        {QStringLiteral("windows-refresh-failed"), QStringLiteral("Window list could not update")},
        {QStringLiteral("window-enumeration"), QStringLiteral("Window scan completed")},
        {QStringLiteral("glance-shown"), QStringLiteral("Window previews shown")},
        {QStringLiteral("glance-not-shown"), QStringLiteral("Window previews skipped")},
        {QStringLiteral("window-action-unanswered"),
         QStringLiteral("An app did not answer a close")},
        {QStringLiteral("previews-loaded"), QStringLiteral("Preview images ready")},
        {QStringLiteral("window-search-opened"), QStringLiteral("Window search opened")},
        {QStringLiteral("window-search-committed"),
         QStringLiteral("Window search switched to a window")},
        {QStringLiteral("window-search-hotkey"), QStringLiteral("Window search hotkey set")},
        {QStringLiteral("window-search-from-command-tab"),
         QStringLiteral("Window search opened from the switcher strip")},
        {QStringLiteral("report-opened"), QStringLiteral("Report a Problem opened")},
        {QStringLiteral("report-sending"), QStringLiteral("Problem report sending")},
        {QStringLiteral("report-sent"), QStringLiteral("Problem report sent")},
        // Also when the copy could not be saved: its result says where it went.
        {QStringLiteral("report-saved-to-desktop"), QStringLiteral("Problem report not sent")},
        {QStringLiteral("secure-input-on"),
         QStringLiteral("Another app turned on Secure Keyboard Entry")},
        {QStringLiteral("secure-input-off"), QStringLiteral("Secure Keyboard Entry is off again")},
        {QStringLiteral("command-tab-seen-without-keystrokes"),
         QStringLiteral("Switcher strip found through the Dock bar (keystrokes hidden)")},
        {QStringLiteral("previews-preloaded"), QStringLiteral("Nearby previews prepared")},
        {QStringLiteral("preview-capture-failed"), QStringLiteral("A preview could not be shown")},
        {QStringLiteral("preview-misfiled"),
         QStringLiteral("A preview came back for the wrong window")},
        {QStringLiteral("native-switcher-display-resolved"),
         QStringLiteral("App switcher display found")},
        {QStringLiteral("native-switcher-frame-estimated"),
         QStringLiteral("App switcher position estimated")},
        {QStringLiteral("permission-status"), QStringLiteral("Permission status checked")},
        {QStringLiteral("menu-bar-visibility"), QStringLiteral("Tray icon shown or hidden")},
        {QStringLiteral("settings-opened"), QStringLiteral("Settings opened")},
        {QStringLiteral("onboarding-shown"), QStringLiteral("Welcome window opened")},
        {QStringLiteral("onboarding-completed"), QStringLiteral("Welcome window completed")},
        {QStringLiteral("update-none"), QStringLiteral("Up to date")},
        {QStringLiteral("update-found"), QStringLiteral("Update found")},
        {QStringLiteral("update-check-failed"), QStringLiteral("Update check failed")},
        {QStringLiteral("deep-link"), QStringLiteral("Opened from a link")},
        {QStringLiteral("deep-links-dropped"),
         QStringLiteral("Links that came too fast were ignored")},
        {QStringLiteral("preview-cache-dropped"), QStringLiteral("Memory freed")},
        {QStringLiteral("previews-warmed"), QStringLiteral("Previews refreshed")},
        {droppedEvent, QStringLiteral("Events could not be written to the log")},
        {QStringLiteral("update-available"), QStringLiteral("Update found")},
        {QStringLiteral("update-check-started"), QStringLiteral("Update check started")},
        {QStringLiteral("application-switcher-started"), QStringLiteral("Switcher strip ready")},
        {QStringLiteral("application-switcher-unavailable"),
         QStringLiteral("Switcher strip off: its keys are taken")},
        {QStringLiteral("shortcut-monitor-started"), QStringLiteral("Switcher keys followed")},
        {QStringLiteral("shortcut-event-tap-failed"),
         QStringLiteral("Switcher keys could not be followed")},
        {QStringLiteral("shortcut-event-tap-reenabled"),
         QStringLiteral("Switcher keys followed again")},
        {QStringLiteral("switcher-suppressed"),
         QStringLiteral("Window previews skipped: a permission is missing")},
        {QStringLiteral("glance-refreshed-in-place"), QStringLiteral("Window previews updated")},
        {QStringLiteral("full-size-peek-shown"), QStringLiteral("Full-size peek shown")},
        {QStringLiteral("preview-preload-failed"),
         QStringLiteral("Nearby previews could not be prepared")},
        {QStringLiteral("window-action-failed"), QStringLiteral("A window did not take an action")},
        {QStringLiteral("window-lifecycle-monitor-started"),
         QStringLiteral("Window changes followed")},
        {QStringLiteral("dock-hover-monitor-started"), QStringLiteral("Dock previews started")},
        {QStringLiteral("dock-visibility"), QStringLiteral("Taskbar entry shown or hidden")},
        {QStringLiteral("menu-open-switcher"),
         QStringLiteral("Show App Windows chosen in the tray menu")},
        {QStringLiteral("menu-open-window-search"),
         QStringLiteral("Search Windows chosen in the tray menu")},
        {QStringLiteral("hotkey-register-failed"),
         QStringLiteral("Window search hotkey could not be set")},
        {QStringLiteral("memory-pressure-unavailable"),
         QStringLiteral("Memory pressure cannot be followed")},
        {QStringLiteral("permission-request"), QStringLiteral("Permission requested")},
        {QStringLiteral("permission-settings-opened"),
         QStringLiteral("Permission settings opened")},
        {QStringLiteral("permission-settings-fallback"),
         QStringLiteral("Permission settings opened after a request")},
        {QStringLiteral("permissions-missing-at-launch"),
         QStringLiteral("Permissions missing at launch")},
        {QStringLiteral("screen-recording-live-probe"), QStringLiteral("Screen capture tried")},
        {QStringLiteral("relaunch-requested"), QStringLiteral("PELLUCINE restarting")},
        {QStringLiteral("relaunch-open-failed"), QStringLiteral("PELLUCINE could not restart")},
        {QStringLiteral("stored-preferences-unreadable"),
         QStringLiteral("Stored settings could not be read")},
        {QStringLiteral("preferences-not-saved"), QStringLiteral("Settings could not be saved")},
        {QStringLiteral("sync-pulled"), QStringLiteral("Settings read from the sync folder")},
        {QStringLiteral("sync-pushed"), QStringLiteral("Settings written to the sync folder")},
        {QStringLiteral("sync-pull-failed"),
         QStringLiteral("Settings could not be read from the sync folder")},
        {QStringLiteral("sync-push-failed"),
         QStringLiteral("Settings could not be written to the sync folder")},
    };
    return table;
}

const QHash<QString, QString>& detailLabels() {
    static const auto& table = *new QHash<QString, QString>{
        {QStringLiteral("applicationCount"), QStringLiteral("Apps")},
        {QStringLiteral("windowCount"), QStringLiteral("Windows")},
        {QStringLiteral("requestedCount"), QStringLiteral("Requested")},
        {QStringLiteral("loadedCount"), QStringLiteral("Loaded")},
        {QStringLiteral("cachedCount"), QStringLiteral("Already ready")},
        {QStringLiteral("lastSeenCount"), QStringLiteral("Shown from the last picture")},
        {QStringLiteral("offscreenCount"), QStringLiteral("Not on screen")},
        {QStringLiteral("durationMilliseconds"), QStringLiteral("Time (ms)")},
        {QStringLiteral("displayID"), QStringLiteral("Display")},
        {QStringLiteral("screenRecording"), QStringLiteral("Screen Recording")},
        {QStringLiteral("axWindowCount"), QStringLiteral("Windows reported by apps")},
        {QStringLiteral("axTimeoutCount"), QStringLiteral("Apps that did not respond")},
        {QStringLiteral("cgCandidateCount"), QStringLiteral("Windows visible to X11")},
        {QStringLiteral("matchedWindowCount"), QStringLiteral("Windows included")},
        {QStringLiteral("rejectedWindowCount"), QStringLiteral("Windows skipped")},
        {QStringLiteral("bundlePath"), QStringLiteral("Installed in")},
        {QStringLiteral("macOS"), QStringLiteral("System")},
        {QStringLiteral("version"), QStringLiteral("Version")},
        {QStringLiteral("build"), QStringLiteral("Build")},
        {QStringLiteral("source"), QStringLiteral("Opened from")},
        {QStringLiteral("reason"), QStringLiteral("Reason")},
        {QStringLiteral("currentVersion"), QStringLiteral("Running")},
        {QStringLiteral("offeredVersion"), QStringLiteral("Offered")},
        {QStringLiteral("errorCode"), QStringLiteral("Error code")},
        {QStringLiteral("channel"), QStringLiteral("Channel")},
        {QStringLiteral("pane"), QStringLiteral("Opened")},
        {QStringLiteral("warmedCount"), QStringLiteral("Refreshed")},
        {droppedCountKey, QStringLiteral("Events lost")},
        {RoutineEvents::timesKey, QStringLiteral("Times in a row")},
        {QStringLiteral("errorType"), QStringLiteral("Error")},
        {QStringLiteral("commandTabMode"), QStringLiteral("Keys")},
    };
    return table;
}

// First letter of every whitespace-separated word upper case, the rest lower case.
QString capitalized(const QString& text) {
    QString out;
    out.reserve(text.size());
    bool wordStart = true;
    for (const QChar c : text) {
        if (c.isSpace()) {
            out += c;
            wordStart = true;
        } else {
            out += wordStart ? c.toUpper() : c.toLower();
            wordStart = false;
        }
    }
    return out;
}

QString systemError(const QString& what, const QString& path, int error) {
    return QStringLiteral("%1 %2: %3").arg(what, path, qt_error_string(error));
}

// Creates `path` and any missing parents with permissions 0700.
std::optional<QString> makeDirectory(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    struct stat info {};
    if (::stat(native.constData(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) {
            return std::nullopt;
        }
        return systemError(QStringLiteral("Could not create the folder"), path, ENOTDIR);
    }
    const QString parent = QFileInfo(path).path();
    if (parent != path) {
        if (auto failure = makeDirectory(parent)) {
            return failure;
        }
    }
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST) {
        return systemError(QStringLiteral("Could not create the folder"), path, errno);
    }
    return std::nullopt;
}

std::optional<QString> setMode(const QString& path, mode_t mode) {
    if (::chmod(QFile::encodeName(path).constData(), mode) != 0) {
        return systemError(QStringLiteral("Could not set the permissions of"), path, errno);
    }
    return std::nullopt;
}

// Replaces the file at `path` in one step; only the owner can read the new file.
std::optional<QString> replaceFile(const QString& path, const QByteArray& content) {
    if (auto failure =
            writeFileAtomically(path, content, QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        return QStringLiteral("Could not write %1: %2").arg(path, *failure);
    }
    return std::nullopt;
}

// Appends `line` to the log file, first ending a torn last line so that the two never merge,
// and leaves the file readable only by its owner. Nothing is written through a link or into a
// pipe: whatever is at the path and is not a regular file is replaced by a new log.
std::optional<QString> appendToFile(const QString& path, QByteArray line) {
    FileDescriptor file(::open(QFile::encodeName(path).constData(),
                               O_RDWR | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!file.isOpen()) {
        if (errno == ENOENT || errno == ELOOP) {
            return replaceFile(path, line);
        }
        return systemError(QStringLiteral("Could not open"), path, errno);
    }
    struct stat info {};
    char last = '\n';
    if (::fstat(file.get(), &info) != 0) {
        return systemError(QStringLiteral("Could not read"), path, errno);
    }
    if (!S_ISREG(info.st_mode)) {
        file.close();
        return replaceFile(path, line);
    }
    if (info.st_size > 0 && ::pread(file.get(), &last, 1, info.st_size - 1) != 1) {
        return systemError(QStringLiteral("Could not read"), path, errno);
    }
    if (last != '\n') {
        line.prepend('\n');
    }
    if (!file.writeAll(line)) {
        const int error = errno;
        // A write cut short (a full disk) takes back what it wrote: no line is left torn.
        (void)::ftruncate(file.get(), info.st_size);
        return systemError(QStringLiteral("Could not write"), path, error);
    }
    if ((info.st_mode & 07777) != 0600 && ::fchmod(file.get(), 0600) != 0) {
        return systemError(QStringLiteral("Could not set the permissions of"), path, errno);
    }
    return std::nullopt;
}

// Applies `edit` to the unquoted parts of a date-time format.
template <typename Edit>
QString editUnquoted(const QString& format, Edit edit) {
    QStringList parts = format.split(QLatin1Char('\''));
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        parts[i] = edit(parts[i]);
    }
    return parts.join(QLatin1Char('\'')).trimmed();
}

// The locale's long date without the weekday and with abbreviated month names.
QString abbreviatedDateFormat(const QLocale& locale) {
    static const QRegularExpression weekday(QStringLiteral("d{4}[,.]?\\s*|[,\\s]*d{4}"));
    return editUnquoted(locale.dateFormat(QLocale::LongFormat), [](QString part) {
        part.remove(weekday);
        return part.replace(QStringLiteral("MMMM"), QStringLiteral("MMM"));
    });
}

// The locale's time with seconds and without the time zone.
QString standardTimeFormat(const QLocale& locale) {
    static const QRegularExpression zone(QStringLiteral("\\s*\\(?t+\\)?"));
    return editUnquoted(locale.timeFormat(QLocale::LongFormat),
                        [](QString part) { return part.remove(zone); });
}

// How "at" texts are shown: the locale's abbreviated date and standard time, in one zone.
class TimestampStyle {
  public:
    TimestampStyle(const QLocale& locale, const QTimeZone& zone)
        : locale_(locale),
          zone_(zone),
          date_(abbreviatedDateFormat(locale)),
          time_(standardTimeFormat(locale)) {}

    QString format(const QString& at) const {
        const auto date = parseIsoDateTime(at, FractionalSeconds::optional);
        if (!date) {
            return at;
        }
        const QDateTime local = date->toTimeZone(zone_);
        return locale_.toString(local, date_) + QStringLiteral(", ") +
               locale_.toString(local, time_);
    }

  private:
    QLocale locale_;
    QTimeZone zone_;
    QString date_;
    QString time_;
};

std::optional<ReadableDiagnosticEvent> readableEvent(const QByteArray& line,
                                                     const TimestampStyle& timestamps) {
    const QJsonDocument document = QJsonDocument::fromJson(line);
    if (!document.isObject()) {
        return std::nullopt;
    }
    const QJsonObject object = document.object();
    if (!object.contains(eventKey)) {
        return std::nullopt;
    }
    QStringList pieces;
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        if (!it.value().isString()) {
            return std::nullopt;
        }
        if (it.key() != eventKey && it.key() != atKey) {
            // Members come in ascending key order.
            pieces << FlightRecorder::readableDetailLabel(it.key()) + QStringLiteral(": ") +
                          it.value().toString();
        }
    }
    ReadableDiagnosticEvent row;
    row.id = QUuid::createUuid();
    row.title = FlightRecorder::readableTitle(object.value(eventKey).toString());
    row.timestamp =
        object.contains(atKey) ? timestamps.format(object.value(atKey).toString()) : QString();
    row.detail = pieces.join(QStringLiteral(" \u00B7 "));
    return row;
}

struct SharedConfiguration {
    std::mutex mutex;
    std::optional<QString> directory;
    bool created = false;
};

SharedConfiguration& sharedConfiguration() {
    static SharedConfiguration configuration;
    return configuration;
}

}  // namespace

FlightRecorder::FlightRecorder(QString diagnosticsDirectory, const WallClock& clock)
    : directory_(std::move(diagnosticsDirectory)), clock_(clock) {}

FlightRecorder::~FlightRecorder() {
    shutdown();
}

FlightRecorder& FlightRecorder::shared() {
    // Never destroyed: events may still arrive from other static destructors after exit
    // begins, and must find a recorder that ignores them rather than a dead one.
    static FlightRecorder* const instance = [] {
        SharedConfiguration& configuration = sharedConfiguration();
        const std::lock_guard lock(configuration.mutex);
        configuration.created = true;
        const QString directory = configuration.directory.value_or(
            diagnosticsDirectory(AppPaths::fromEnvironment(), std::nullopt));
        return new FlightRecorder(directory);
    }();
    static const bool flushesAtExit = [] {
        // A safety net for an exit that skips the orderly quit.
        return std::atexit([] { instance->shutdown(); }) == 0;
    }();
    Q_UNUSED(flushesAtExit);
    return *instance;
}

bool FlightRecorder::configureShared(QString diagnosticsDirectory) {
    SharedConfiguration& configuration = sharedConfiguration();
    const std::lock_guard lock(configuration.mutex);
    if (configuration.created) {
        return false;
    }
    configuration.directory = std::move(diagnosticsDirectory);
    return true;
}

void FlightRecorder::record(const QString& event, const EventFields& fields) {
    if (skippedEvents().contains(event)) {
        return;
    }
    const QDateTime now = clock_.now();
    // Filtering and formatting wait for the worker: the caller only pays for the clock and
    // the hand-off (copies of Qt containers share their data).
    queue_.async([this, event, fields, now] { append(lineFields(event, fields, now)); });
}

EventFields FlightRecorder::lineFields(const QString& event, const EventFields& fields,
                                       const QDateTime& at) {
    EventFields line;
    const QSet<QString>& allowed = allowedKeys();
    for (auto it = fields.cbegin(); it != fields.cend(); ++it) {
        if (allowed.contains(it.key())) {
            line.insert(it.key(), it.value());
        }
    }
    line.insert(atKey, formatIsoDateTimeWithMilliseconds(at));
    line.insert(eventKey, event);
    return line;
}

void FlightRecorder::append(const EventFields& fields) {
    const auto lineOf = [](const EventFields& values) {
        QJsonObject object;
        for (auto it = values.cbegin(); it != values.cend(); ++it) {
            object.insert(it.key(), it.value());
        }
        // QJsonObject keeps its keys in ascending order.
        return QJsonDocument(object).toJson(QJsonDocument::Compact);
    };
    QByteArray json;
    if (droppedEvents_ > 0) {
        json = lineOf({{atKey, fields.value(atKey)},
                       {eventKey, droppedEvent},
                       {droppedCountKey, QString::number(droppedEvents_)}}) +
               '\n';
    }
    json += lineOf(fields);
    if (const auto failure = writeLine(json)) {
        ++droppedEvents_;
        qWarning("PELLUCINE flight recorder failed: %s", qUtf8Printable(*failure));
        return;
    }
    droppedEvents_ = 0;
    bytesSinceTrim_ += json.size() + 1;
    if (++writesSinceTrim_ >= trimInterval || bytesSinceTrim_ > trimByteInterval) {
        writesSinceTrim_ = 0;
        bytesSinceTrim_ = 0;
        trim();
    }
}

std::optional<QString> FlightRecorder::writeLine(const QByteArray& json) {
    if (auto failure = makeDirectory(directory_)) {
        return failure;
    }
    if (auto failure = setMode(directory_, 0700)) {
        return failure;
    }
    if (!temporaryFilesChecked_) {
        temporaryFilesChecked_ = true;
        removeStaleTemporaryFiles(directory_);
    }
    return appendToFile(logFilePath(), json + '\n');
}

void FlightRecorder::trim() const {
    const QString path = logFilePath();
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) {
        return;
    }
    const bool overBytes = info.st_size > maximumBytes + trimByteInterval;
    // One line past the bound is enough to know that the file exceeds it; the byte budget binds
    // only on a file that is cut in any case. Lines that LogTail passes over (torn, not UTF-8,
    // oversized) are dropped with the cut.
    LogTail tail;
    tail.maximumTotalBytes = maximumBytes + trimByteInterval;
    const auto lines = tail.lastLines(path, maximumLines + 501);
    if (!lines || (!overBytes && lines->size() <= maximumLines + 500)) {
        return;
    }
    qsizetype first = lines->size();
    qint64 bytes = 0;
    while (first > 0 && lines->size() - first < maximumLines &&
           bytes + (*lines)[first - 1].size() + 1 <= maximumBytes) {
        --first;
        bytes += (*lines)[first].size() + 1;
    }
    QByteArray kept;
    kept.reserve(bytes);
    for (qsizetype i = first; i < lines->size(); ++i) {
        kept += (*lines)[i];
        kept += '\n';
    }
    (void)replaceFile(path, kept);
}

QString FlightRecorder::diagnosticsDirectory(const AppPaths& paths,
                                             const std::optional<QString>& bundleIdentifier) {
    const bool release = !bundleIdentifier || bundleIdentifier->isEmpty() ||
                         *bundleIdentifier == releaseBundleIdentifier;
    const QString folder =
        release ? paths.programSupportFolder()
                : paths.programSupportFolder() + QLatin1Char('-') + *bundleIdentifier;
    return folder + QStringLiteral("/diagnostics");
}

QString FlightRecorder::logFilePath(const QString& diagnosticsDirectory) {
    return diagnosticsDirectory + QLatin1Char('/') + logFileName;
}

QList<ReadableDiagnosticEvent> FlightRecorder::readRecentEvents(const QString& diagnosticsDirectory,
                                                                int limit) {
    // Runs of window scans fold into one row each, so more lines are read until the folded
    // ones fill the list or the file has no more.
    const qsizetype wanted = std::max(limit, 0);
    QList<QByteArray> lines;
    for (qsizetype reading = wanted;; reading *= 2) {
        const auto tail = LogTail{}.lastLines(logFilePath(diagnosticsDirectory), reading);
        if (!tail) {
            return {};
        }
        lines = RoutineEvents::fold(*tail);
        if (lines.size() >= wanted || tail->size() < reading) {
            break;
        }
    }
    const TimestampStyle timestamps(QLocale::system(), QTimeZone::systemTimeZone());
    QList<ReadableDiagnosticEvent> rows;
    for (qsizetype i = lines.size() - 1; i >= 0 && lines.size() - i <= wanted; --i) {
        if (auto row = readableEvent(lines[i], timestamps)) {
            rows.append(std::move(*row));
        }
    }
    return rows;
}

QString FlightRecorder::readableTitle(const QString& event) {
    const auto& table = titles();
    if (const auto it = table.constFind(event); it != table.cend()) {
        return *it;
    }
    QString words = event;
    return capitalized(words.replace(QLatin1Char('-'), QLatin1Char(' ')));
}

QString FlightRecorder::readableDetailLabel(const QString& key) {
    const auto& table = detailLabels();
    if (const auto it = table.constFind(key); it != table.cend()) {
        return *it;
    }
    QString word = key;
    return capitalized(word.remove(QStringLiteral("Identifier")));
}

QString FlightRecorder::readableTimestamp(const QString& at, const QLocale& locale,
                                          const QTimeZone& zone) {
    return TimestampStyle(locale, zone).format(at);
}

}  // namespace pellucine
