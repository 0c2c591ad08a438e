#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "diagnostics/ReportFacts.h"

namespace pellucine::ReportProblem {

// The largest request body sent with diagnostics; a body of exactly this size goes unchanged.
inline constexpr qsizetype bodyCap = 256000;
// What a trimmed body aims for: a little under the cap.
inline constexpr qsizetype bodyTarget = bodyCap - 1024;
// Trimmed diagnostics this short (in characters) are dropped altogether.
inline constexpr qsizetype shortestDiagnostics = 64;

// The user's words as they are sent and saved: without blanks and line breaks at either end.
QString trimmedText(const QString& text);

// One compact JSON object with sorted keys and nine string members. When it would exceed
// `bodyCap`, the diagnostics lose characters at their head, behind a marker that says how many,
// until it fits or the diagnostics are empty; the user's text is never shortened.
QByteArray requestBody(const QString& text, const QString& appName, const QString& installID,
                       const QString& diagnostics, const Facts& facts);

// The string member `name` of a JSON object; none for anything else.
std::optional<QString> jsonString(const QByteArray& json, const QString& name);

// What became of one upload: accepted under an id, or refused for a reason shown to the user.
struct Outcome {
    std::optional<QString> id;
    QString reason;

    // An answer with an HTTP `status` (0 when the answer was not HTTP) and `body`: accepted
    // only for a 2xx status with a string "id".
    static Outcome ofAnswer(int status, const QByteArray& body);
    // No answer at all; `description` is the system's.
    static Outcome unreachable(const QString& description);
    // Nowhere to send to: the build has no report server.
    static Outcome noServer();
};

}  // namespace pellucine::ReportProblem
