#include "app/PreviewReportOption.h"

#include <QDir>

namespace pellucine {

std::optional<ReportProblem::Phase> previewReportPhase(const QStringList& arguments,
                                                       const QString& desktopFolder) {
    const qsizetype at = arguments.indexOf(previewReportOption);
    if (at < 0 || at + 1 >= arguments.size()) {
        return std::nullopt;
    }
    const QString& choice = arguments.at(at + 1);
    if (choice == QLatin1String("sent")) {
        return ReportProblem::Phase::sent(QStringLiteral("R-7K3QXM"));
    }
    if (choice == QLatin1String("saved")) {
        return ReportProblem::Phase::saved(
            QDir(desktopFolder).filePath(QStringLiteral("PELLUCINE-report-2026-09-30-0930.txt")),
            QStringLiteral("Could not reach Orrinvale."));
    }
    return ReportProblem::Phase::writing();
}

}  // namespace pellucine
