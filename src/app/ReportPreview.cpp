#include "app/ReportPreview.h"

#include <QDir>

namespace pellucine {

std::optional<ReportPreview> ReportPreview::fromArguments(const QStringList& arguments,
                                                          const QString& desktopFolder) {
    const qsizetype at = arguments.indexOf(option);
    if (at < 0 || at + 1 >= arguments.size()) {
        return std::nullopt;
    }
    const QString& choice = arguments.at(at + 1);
    ReportPreview preview;
    if (choice == QLatin1String("sent")) {
        preview.state = State::sent;
        preview.reportIdentifier = QStringLiteral("R-7K3QXM");
    } else if (choice == QLatin1String("saved")) {
        preview.state = State::saved;
        preview.file =
            QDir(desktopFolder).filePath(QStringLiteral("PELLUCINE-report-2026-09-30-0930.txt"));
        preview.reason = QStringLiteral("Could not reach Orrinvale.");
    }
    return preview;
}

}  // namespace pellucine
