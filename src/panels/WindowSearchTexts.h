#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "panels/WindowSearch.h"

namespace pellucine {

// The texts of the window-search panel.
namespace WindowSearchTexts {

// "12 WINDOWS" while the query is empty, else "3 OF 12 WINDOWS"; the noun follows the total.
QString counter(const QString& query, qsizetype resultCount, qsizetype totalCount);
// What the list area says without results: the no-match line while windows exist, else
// "No open windows".
QString emptyState(const QString& query, qsizetype totalCount);
// "4 more below" for the results past the visible rows; none when all are visible.
std::optional<QString> moreBelow(qsizetype resultCount, int visibleRows);
// The location badge, upper-cased.
QString badge(WindowSearch::Location location);
// What assistive technologies read for a row: the window's label, then its location.
QString rowAccessibilityLabel(const WindowSearch::Candidate& candidate);
// The footer's hotkey group, read as one: "Hotkey Shift Super Space".
QString hotkeyAccessibilityLabel(const QStringList& keycapLabels);

}  // namespace WindowSearchTexts

}  // namespace pellucine
