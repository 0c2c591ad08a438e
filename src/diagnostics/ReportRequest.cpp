#include "diagnostics/ReportRequest.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTextBoundaryFinder>
#include <algorithm>

namespace pellucine::ReportProblem {

namespace {

// Characters as the user sees them, not code units.
qsizetype characterCount(const QString& text) {
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype count = 0;
    while (finder.toNextBoundary() != -1) {
        ++count;
    }
    return count;
}

// The code-unit position after the first `count` characters.
qsizetype characterOffset(const QString& text, qsizetype count) {
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype position = 0;
    for (qsizetype i = 0; i < count; ++i) {
        position = finder.toNextBoundary();
        if (position < 0) {
            return text.size();
        }
    }
    return position;
}

QByteArray encode(const QString& text, const QString& appName, const QString& installID,
                  const QString& diagnostics, const Facts& facts) {
    // QJsonObject keeps its keys sorted.
    const QJsonObject body{
        {QStringLiteral("appName"), appName},         {QStringLiteral("bundleId"), facts.bundleID},
        {QStringLiteral("version"), facts.version},   {QStringLiteral("build"), facts.build},
        {QStringLiteral("macOS"), facts.macOS},       {QStringLiteral("machine"), facts.machine},
        {QStringLiteral("installId"), installID},     {QStringLiteral("text"), text},
        {QStringLiteral("diagnostics"), diagnostics},
    };
    return QJsonDocument(body).toJson(QJsonDocument::Compact);
}

}  // namespace

QString trimmedText(const QString& text) {
    return text.trimmed();
}

QByteArray requestBody(const QString& text, const QString& appName, const QString& installID,
                       const QString& diagnostics, const Facts& facts) {
    const QString words = trimmedText(text);
    QString kept = diagnostics;
    while (true) {
        QByteArray body = encode(words, appName, installID, kept, facts);
        if (body.size() <= bodyCap || kept.isEmpty()) {
            return body;
        }
        const qsizetype excess = body.size() - bodyTarget;
        const qsizetype count = characterCount(kept);
        const qsizetype dropped = std::min(std::max(count / 10, excess), count);
        kept = QStringLiteral("[… %1 earlier characters trimmed to fit …]\n").arg(dropped) +
               kept.sliced(characterOffset(kept, dropped));
        if (characterCount(kept) <= shortestDiagnostics) {
            kept.clear();
        }
    }
}

std::optional<QString> jsonString(const QByteArray& json, const QString& name) {
    const QJsonDocument document = QJsonDocument::fromJson(json);
    if (!document.isObject()) {
        return std::nullopt;
    }
    const QJsonValue value = document.object().value(name);
    if (!value.isString()) {
        return std::nullopt;
    }
    return value.toString();
}

Outcome Outcome::ofAnswer(int status, const QByteArray& body) {
    if (status >= 200 && status <= 299) {
        if (auto id = jsonString(body, QStringLiteral("id"))) {
            return {std::move(id), {}};
        }
    }
    if (const auto error = jsonString(body, QStringLiteral("error"))) {
        return {std::nullopt, QStringLiteral("Orrinvale said: %1.").arg(*error)};
    }
    return {std::nullopt, QStringLiteral("Orrinvale answered %1.").arg(status)};
}

Outcome Outcome::noServer() {
    return {std::nullopt,
            QStringLiteral("This build has no report server, so the report was saved for you to "
                           "send.")};
}

Outcome Outcome::unreachable(const QString& description) {
    return {std::nullopt, QStringLiteral("Could not reach Orrinvale (%1).").arg(description)};
}

}  // namespace pellucine::ReportProblem
