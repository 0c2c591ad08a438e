#pragma once

#include <QList>
#include <QString>
#include <QStringView>
#include <functional>

#include "panels/WindowSearch.h"

namespace pellucine {

// Matched ranges drawn over displayed text: ranges counted in user-perceived characters become
// spans of UTF-16 units, and a line too long for its room loses its middle while its highlights
// stay on the characters they marked.
namespace HighlightedText {

// A half-open span of UTF-16 units.
struct Span {
    qsizetype start = 0;
    qsizetype end = 0;

    friend bool operator==(const Span&, const Span&) = default;
};

struct Line {
    QString text;
    // Sorted, neither overlapping nor touching.
    QList<Span> highlights;

    friend bool operator==(const Line&, const Line&) = default;
};

// The UTF-16 spans of character ranges of `text`, characters counted as the ranking counts them.
// Parts beyond the text are dropped, empty ranges give nothing, and overlapping or touching spans
// become one.
QList<Span> utf16Spans(QStringView text, const QList<WindowSearch::CharacterRange>& ranges);

// Sorts the spans and joins those that overlap or touch; empty ones are dropped.
QList<Span> merged(QList<Span> spans);

// The width a line takes when drawn with its highlights.
using Measure = std::function<double(const Line&)>;

inline constexpr QChar ellipsis{0x2026};

// The line as it is, when it fits `width`; otherwise the most characters that fit, whole
// characters only, split evenly around "…" (one more before it than after for an odd count)
// unless that hides the match: the highlights, or the first of them where they lie farther
// apart than the room. Then the split moves just far enough to show the match, and a match too
// deep inside the line for that keeps the characters around it, with "…" on either side. A
// highlight keeps its visible characters; an ellipsis is highlighted when it hides some.
Line elideMiddle(const Line& line, double width, const Measure& measure);

}  // namespace HighlightedText

}  // namespace pellucine
