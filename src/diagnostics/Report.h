#pragma once

#include <QByteArray>
#include <QString>

#include "diagnostics/ReportFacts.h"

namespace pellucine::ReportProblem {

// The values of one report, gathered once and used for the request and for the saved file alike.
struct Report {
    Facts facts;
    QString installID;
    QString diagnostics;
    // The user's words as typed.
    QString text;

    // The plain-text form: a header of facts, the trimmed words, then the whole diagnostics.
    QString plainText(const QString& appName) const;
    QByteArray requestBody(const QString& appName) const;
};

}  // namespace pellucine::ReportProblem
