#include "diagnostics/DiagnosticsService.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "base/RegularFile.h"

namespace pellucine {

DiagnosticsService::DiagnosticsService(AppModel& model, DiagnosticsHost host,
                                       std::function<void()> waitForEventLog)
    : model_(model), host_(std::move(host)), waitForEventLog_(std::move(waitForEventLog)) {}

void DiagnosticsService::waitForEventLog() const {
    if (waitForEventLog_) {
        waitForEventLog_();
    }
}

PrivacySafeDiagnostics DiagnosticsService::capture() const {
    return PrivacySafeDiagnostics::capture(model_, host_);
}

int DiagnosticsService::displayCount() const {
    return host_.displayCount ? host_.displayCount() : 0;
}

std::optional<QByteArray> DiagnosticsService::supportFileData() const {
    return supportFile(capture(), readLog(host_.logFilePath()).value_or(QByteArray()));
}

QList<ReadableDiagnosticEvent> DiagnosticsService::readRecentEvents(int limit) const {
    return FlightRecorder::readRecentEvents(host_.diagnosticsDirectory, limit);
}

QByteArray DiagnosticsService::supportFile(const PrivacySafeDiagnostics& status,
                                           const QByteArray& log) {
    QList<QByteArray> lines = log.split('\n');
    lines.removeIf([](const QByteArray& line) { return line.isEmpty(); });
    const qsizetype first = std::max<qsizetype>(0, lines.size() - supportLogLimit);
    QJsonArray records;
    for (qsizetype i = first; i < lines.size(); ++i) {
        // Parsed line by line, so that a line cut in the middle of a character costs only that
        // line.
        QJsonParseError error{};
        const QJsonDocument record = QJsonDocument::fromJson(lines[i], &error);
        if (error.error != QJsonParseError::NoError) {
            continue;
        }
        if (record.isObject()) {
            records.append(record.object());
        } else if (record.isArray()) {
            records.append(record.array());
        }
    }
    const QJsonObject file{{QStringLiteral("log"), records},
                           {QStringLiteral("status"), status.toJson()}};
    return QJsonDocument(file).toJson(QJsonDocument::Indented);
}

std::optional<QByteArray> DiagnosticsService::readLog(const QString& path) {
    RegularFileRead read = readRegularFile(path, logSizeLimit);
    if (!read.ok()) {
        return std::nullopt;
    }
    return std::move(read.data);
}

}  // namespace pellucine
