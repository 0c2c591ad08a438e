#include "diagnostics/SupportFile.h"

#include "base/AtomicFile.h"
#include "diagnostics/DiagnosticsService.h"
#include "diagnostics/SavePanel.h"

namespace pellucine::SupportFile {

void save(const QByteArray& bytes, SavePanel& panel, QWidget* sheetOn,
          std::function<void(std::optional<QString>)> done) {
    panel.choose({defaultName, QStringLiteral("JSON (*.json)"), QStringLiteral("json"), sheetOn},
                 [bytes, done = std::move(done)](const std::optional<QString>& path) {
                     if (!path) {
                         return;
                     }
                     std::optional<QString> failure = writeFileAtomically(*path, bytes);
                     if (done) {
                         done(std::move(failure));
                     }
                 });
}

void save(const DiagnosticsService& diagnostics, SavePanel& panel, QWidget* sheetOn,
          std::function<void(std::optional<QString>)> done) {
    diagnostics.waitForEventLog();
    if (const std::optional<QByteArray> bytes = diagnostics.supportFileData()) {
        save(*bytes, panel, sheetOn, std::move(done));
    }
}

QString failureMessage(const QString& reason) {
    return QStringLiteral("The support file could not be saved: %1").arg(reason);
}

}  // namespace pellucine::SupportFile
