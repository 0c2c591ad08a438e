#include "diagnostics/ThisAppReport.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <QUuid>

#include "base/EventRecording.h"
#include "coordination/AppModel.h"
#include "core/RoutineEvents.h"
#include "design/YardPalette.h"
#include "diagnostics/DiagnosticsService.h"
#include "diagnostics/Maker.h"
#include "diagnostics/PellucineReportView.h"
#include "preferences/KeyValueStore.h"

#ifndef PELLUCINE_REPORT_TOKEN
#define PELLUCINE_REPORT_TOKEN "orrv_pel_5c1e0a93d27b48f6a0e4c7b2"
#endif

namespace pellucine {

namespace {

constexpr int diagnosticsLogPieces = 500;
constexpr int labelWidth = 18;

#ifdef PELLUCINE_REPORT_ENDPOINT
const QString reportEndpoint = QStringLiteral(PELLUCINE_REPORT_ENDPOINT);
#else
// No report server: reports are saved as files.
const QString reportEndpoint;
#endif
const QString reportPage = QStringLiteral("https://orrinvale.com/report");

QString statusLine(const QString& label, const QString& value) {
    return label.leftJustified(labelWidth) + value + QLatin1Char('\n');
}

}  // namespace

QString thisAppInstallID(KeyValueStore& defaults) {
    const QVariant stored = defaults.value(reportInstallIDKey);
    if (stored.typeId() == QMetaType::QString && !stored.toString().isEmpty()) {
        return stored.toString();
    }
    QString id = QUuid::createUuid().toString(QUuid::WithoutBraces).toLower();
    defaults.setValue(reportInstallIDKey, id);
    return id;
}

QString thisAppDiagnostics(PermissionState accessibility, PermissionState screenRecording,
                           int displayCount, const std::optional<QByteArray>& log) {
    QString text = statusLine(QStringLiteral("Accessibility"), rawValue(accessibility)) +
                   statusLine(QStringLiteral("Screen Recording"), rawValue(screenRecording)) +
                   statusLine(QStringLiteral("Displays"), QString::number(displayCount));
    if (!log) {
        return text + QStringLiteral("(no log)");
    }
    // Runs of window scans fold so that they leave room for everything else.
    const QList<QByteArray> pieces = RoutineEvents::fold(log->split('\n'));
    const qsizetype first = std::max<qsizetype>(0, pieces.size() - diagnosticsLogPieces);
    // Bytes that are not UTF-8 (a line cut mid-character) are replaced rather than losing the log.
    return text + QString::fromUtf8(pieces.sliced(first).join('\n'));
}

QString thisAppDiagnostics(const DiagnosticsService& diagnostics) {
    PermissionService& permissions = diagnostics.model().permissions();
    return thisAppDiagnostics(permissions.accessibility().value(),
                              permissions.screenRecording().value(), diagnostics.displayCount(),
                              DiagnosticsService::readLog(diagnostics.host().logFilePath()));
}

ThisAppEvent thisAppEvent(const QString& message, const QString& desktopFolder) {
    if (message.startsWith(QStringLiteral("report sent"))) {
        return {QStringLiteral("report-sent"), {}};
    }
    if (!message.startsWith(QStringLiteral("report not sent"))) {
        return {QStringLiteral("report-sending"), {}};
    }
    // The event keeps its name whatever became of the copy; its result says where it went, so
    // a copy that could not be written is never taken for one on the Desktop.
    static const QString savedMarker = QStringLiteral("; saved ");
    const qsizetype at = message.lastIndexOf(savedMarker);
    const QString saved = at < 0 ? QString() : message.sliced(at + savedMarker.size());
    QString result = QStringLiteral("saved in the reports folder");
    if (saved.isEmpty() || saved == QStringLiteral("nothing")) {
        result = QStringLiteral("not saved");
    } else if (!desktopFolder.isEmpty() &&
               QFileInfo(QDir(desktopFolder).filePath(saved)).isFile()) {
        result = QStringLiteral("saved on the Desktop");
    }
    return {QStringLiteral("report-saved-to-desktop"), {{QStringLiteral("result"), result}}};
}

void thisAppRecord(const QString& message, EventRecording& events, const QString& desktopFolder) {
    const ThisAppEvent event = thisAppEvent(message, desktopFolder);
    events.record(event.name, event.fields);
}

namespace ReportProblem {

Config Config::thisApp(const ThisApp& context) {
    Config config;
    config.appName = QStringLiteral("PELLUCINE");
    config.appToken = QStringLiteral(PELLUCINE_REPORT_TOKEN);
    config.endpoint = QUrl(reportEndpoint);
    config.installID = [&defaults = context.defaults] { return thisAppInstallID(defaults); };
    config.diagnostics = [&diagnostics = context.diagnostics] {
        return thisAppDiagnostics(diagnostics);
    };
    config.accent = Yard::colorFromHex(u"#3f7d5a");
    config.onAccent = Qt::white;
    if (const QUrl page(reportPage); page.isValid()) {
        config.fallbackPage = page;
    }
    config.record = [&events = context.events, desktop = context.desktopFolder](
                        const QString& message) { thisAppRecord(message, events, desktop); };
    config.content = [](const std::shared_ptr<Model>& model) -> std::unique_ptr<QWidget> {
        return std::make_unique<PellucineReportView>(model);
    };
    config.contentSize = PellucineReportView::contentSize;
    config.supportEmail = Maker::supportEmail;
    config.example =
        QStringLiteral("EX: I switched to Mousepad and its windows showed as blank cards.");
    return config;
}

}  // namespace ReportProblem
}  // namespace pellucine
