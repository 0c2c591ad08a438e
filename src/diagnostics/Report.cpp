#include "diagnostics/Report.h"

#include <QStringList>

#include "diagnostics/ReportRequest.h"

namespace pellucine::ReportProblem {

QString Report::plainText(const QString& appName) const {
    return QStringList{
        appName + QStringLiteral(" problem report"),
        QStringLiteral("Version   %1 (%2)").arg(facts.version, facts.build),
        QStringLiteral("Linux     ") + facts.macOS,
        QStringLiteral("Computer  ") + facts.machine,
        QStringLiteral("Install   ") + installID,
        QString(),
        QStringLiteral("What happened:"),
        trimmedText(text),
        QString(),
        QStringLiteral("===== diagnostics ====="),
        diagnostics,
    }
        .join(QLatin1Char('\n'));
}

QByteArray Report::requestBody(const QString& appName) const {
    return ReportProblem::requestBody(text, appName, installID, diagnostics, facts);
}

}  // namespace pellucine::ReportProblem
