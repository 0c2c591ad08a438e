#include "diagnostics/SupportFile.h"

#include <QDir>

#include "base/AtomicFile.h"
#include "diagnostics/DiagnosticsService.h"
#include "diagnostics/SavePanel.h"

namespace pellucine::SupportFile {

void save(const QByteArray& bytes, SavePanel& panel, QWidget* sheetOn,
          std::function<void(std::optional<QString>)> done) {
    panel.choose(
        {defaultName, QStringLiteral("JSON (*.json)"), QStringLiteral("json"), sheetOn},
        [bytes, done = std::move(done)](const std::optional<QString>& path) {
            if (!path) {
                return;
            }
            const std::optional<QString> failure = writeFileAtomically(*path, bytes);
            if (done) {
                done(failure ? std::optional(failureMessage(*path, *failure)) : std::nullopt);
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

QString failureMessage(const QString& path, const QString& reason) {
    return QStringLiteral("The support file could not be saved as %1: %2")
        .arg(QDir::toNativeSeparators(path), reason);
}

}  // namespace pellucine::SupportFile
