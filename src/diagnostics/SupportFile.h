#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace pellucine {

class DiagnosticsService;
class SavePanel;

// Saving the support file where the user chooses.
namespace SupportFile {

inline const QString defaultName = QStringLiteral("PELLUCINE-Support.json");

// Asks `panel` for a place, attached to `sheetOn` when given, and writes `bytes` there. A file
// already there is replaced in one step and only by a complete new one: a failed write leaves
// it as it was. `done` runs after a write with the user's message for a failure, which names the
// file and the system's reason (none on success); it does not run when the user cancels.
void save(const QByteArray& bytes, SavePanel& panel, QWidget* sheetOn,
          std::function<void(std::optional<QString>)> done);
// Waits for the event log, builds the support file and saves it as above; nothing happens when
// it cannot be built.
void save(const DiagnosticsService& diagnostics, SavePanel& panel, QWidget* sheetOn,
          std::function<void(std::optional<QString>)> done);

// The user's message for a failed write of `path`.
QString failureMessage(const QString& path, const QString& reason);

}  // namespace SupportFile
}  // namespace pellucine
