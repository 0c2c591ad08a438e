#include "panels/WindowSearchTexts.h"

#include "base/KeyNames.h"

namespace pellucine::WindowSearchTexts {

QString counter(const QString& query, qsizetype resultCount, qsizetype totalCount) {
    const QString noun = totalCount == 1 ? QStringLiteral("window") : QStringLiteral("windows");
    const QString text =
        query.isEmpty() ? QStringLiteral("%1 %2").arg(totalCount).arg(noun)
                        : QStringLiteral("%1 of %2 %3").arg(resultCount).arg(totalCount).arg(noun);
    return text.toUpper();
}

QString emptyState(const QString& query, qsizetype totalCount) {
    if (totalCount > 0) {
        return QStringLiteral("No window matches “") + query + QStringLiteral("”");
    }
    return QStringLiteral("No open windows");
}

std::optional<QString> moreBelow(qsizetype resultCount, int visibleRows) {
    if (resultCount <= visibleRows) {
        return std::nullopt;
    }
    return QStringLiteral("%1 more below").arg(resultCount - visibleRows);
}

QString badge(WindowSearch::Location location) {
    return WindowSearch::rawValue(location).toUpper();
}

QString rowAccessibilityLabel(const WindowSearch::Candidate& candidate) {
    return candidate.window.displayLabel() + QStringLiteral(", ") +
           WindowSearch::rawValue(candidate.location);
}

QString hotkeyAccessibilityLabel(const QStringList& keycapLabels) {
    return QStringLiteral("Hotkey ") + KeyNames::spoken(keycapLabels);
}

}  // namespace pellucine::WindowSearchTexts
