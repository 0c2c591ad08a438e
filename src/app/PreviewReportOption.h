#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "diagnostics/ReportPhase.h"

namespace pellucine {

inline const QString previewReportOption = QStringLiteral("--preview-report");

// The sample state "--preview-report" shows the report window in, without writing or sending
// anything: the element after the option's first occurrence picks sent, saved (at a sample path
// in `desktopFolder`) or, for anything else, writing. None when the option is missing or is the
// last element.
std::optional<ReportProblem::Phase> previewReportPhase(const QStringList& arguments,
                                                       const QString& desktopFolder);

}  // namespace pellucine
