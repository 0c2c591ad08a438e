#include "panels/HighlightedText.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "panels/SearchText.h"

namespace pellucine::HighlightedText {

namespace {

// The UTF-16 offset of every character boundary: 0, the end of each character.
std::vector<qsizetype> boundaries(QStringView text) {
    std::vector<qsizetype> offsets{0};
    SearchText::forEachCharacter(text, [&](QStringView character) {
        offsets.push_back(character.data() - text.data() + character.size());
    });
    return offsets;
}

}  // namespace

QList<Span> merged(QList<Span> spans) {
    spans.removeIf([](const Span& s) { return s.end <= s.start; });
    std::sort(spans.begin(), spans.end(),
              [](const Span& a, const Span& b) { return a.start < b.start; });
    QList<Span> out;
    for (const Span& span : spans) {
        if (!out.isEmpty() && span.start <= out.last().end) {
            out.last().end = std::max(out.last().end, span.end);
        } else {
            out.append(span);
        }
    }
    return out;
}

QList<Span> utf16Spans(QStringView text, const QList<WindowSearch::CharacterRange>& ranges) {
    if (ranges.isEmpty()) {
        return {};
    }
    const std::vector<qsizetype> offsets = boundaries(text);
    const auto characters = static_cast<qsizetype>(offsets.size()) - 1;
    QList<Span> spans;
    for (const WindowSearch::CharacterRange& range : ranges) {
        const qsizetype start = std::clamp<qsizetype>(range.start, 0, characters);
        const qsizetype end = std::clamp<qsizetype>(range.end, 0, characters);
        if (end > start) {
            spans.append(
                {offsets[static_cast<std::size_t>(start)], offsets[static_cast<std::size_t>(end)]});
        }
    }
    return merged(std::move(spans));
}

namespace {

// A half-open range of characters (not UTF-16 units).
struct Characters {
    qsizetype start = 0;
    qsizetype end = 0;
};

// The line keeping the UTF-16 ranges `kept` (in order, apart), each run of cut text shown as one
// "…"; a highlight keeps its visible characters and marks the ellipsis of a cut it reaches into.
Line joined(const Line& line, const QList<Span>& kept) {
    Line out;
    QList<std::pair<Span, qsizetype>> cuts;
    QList<std::pair<Span, qsizetype>> pieces;
    qsizetype at = 0;
    const auto cut = [&](qsizetype to) {
        if (to > at) {
            cuts.append({{at, to}, out.text.size()});
            out.text += ellipsis;
        }
    };
    for (const Span& piece : kept) {
        cut(piece.start);
        pieces.append({piece, out.text.size()});
        out.text += QStringView(line.text).sliced(piece.start, piece.end - piece.start);
        at = piece.end;
    }
    cut(line.text.size());
    for (const Span& span : line.highlights) {
        for (const auto& [piece, position] : std::as_const(pieces)) {
            const qsizetype start = std::max(span.start, piece.start);
            const qsizetype end = std::min(span.end, piece.end);
            if (end > start) {
                out.highlights.append(
                    {position + start - piece.start, position + end - piece.start});
            }
        }
        for (const auto& [gap, position] : std::as_const(cuts)) {
            if (span.start < gap.end && span.end > gap.start) {
                out.highlights.append({position, position + 1});
            }
        }
    }
    out.highlights = merged(std::move(out.highlights));
    return out;
}

// Which `kept` of the `characters` stay: the first and last halves (one more before the cut for
// an odd count) while that shows `match` whole; else the split moved just far enough to show it;
// else, for a match deep inside a long line, the characters around it alone.
QList<Characters> keptAround(qsizetype kept, qsizetype characters,
                             const std::optional<Characters>& match) {
    qsizetype before = (kept + 1) / 2;
    qsizetype after = kept / 2;
    if (match && match->end > before && match->start < characters - after) {
        if (match->end <= kept) {
            before = match->end;
            after = kept - before;
        } else if (characters - match->start <= kept) {
            after = characters - match->start;
            before = kept - after;
        } else {
            const qsizetype length = std::min(kept, match->end - match->start);
            const qsizetype start =
                std::clamp(match->start - (kept - length) / 2, qsizetype(0), characters - kept);
            return {{start, start + kept}};
        }
    }
    return {{0, before}, {characters - after, characters}};
}

}  // namespace

Line elideMiddle(const Line& line, double width, const Measure& measure) {
    if (measure(line) <= width) {
        return line;
    }
    const std::vector<qsizetype> offsets = boundaries(line.text);
    const auto characters = static_cast<qsizetype>(offsets.size()) - 1;
    const auto characterAt = [&](qsizetype unit) {
        return static_cast<qsizetype>(std::lower_bound(offsets.begin(), offsets.end(), unit) -
                                      offsets.begin());
    };
    // What must stay in view: all the highlights, or the first where they lie too far apart.
    std::optional<Characters> whole;
    std::optional<Characters> first;
    if (!line.highlights.isEmpty()) {
        whole = Characters{characterAt(line.highlights.first().start),
                           characterAt(line.highlights.last().end)};
        first = Characters{whole->start, characterAt(line.highlights.first().end)};
    }

    // The line keeping `kept` characters.
    const auto shortened = [&](qsizetype kept) {
        const bool wholeFits = whole && whole->end - whole->start <= kept;
        QList<Span> units;
        for (const Characters& part : keptAround(kept, characters, wholeFits ? whole : first)) {
            if (part.end > part.start) {
                units.append({offsets[static_cast<std::size_t>(part.start)],
                              offsets[static_cast<std::size_t>(part.end)]});
            }
        }
        return joined(line, units);
    };

    // Fewer characters take no more room (but for a second ellipsis), so the most that fit are
    // found by halving; the one found always fits.
    qsizetype low = 0;
    qsizetype high = characters - 1;
    while (low < high) {
        const qsizetype middle = low + (high - low + 1) / 2;
        if (measure(shortened(middle)) <= width) {
            low = middle;
        } else {
            high = middle - 1;
        }
    }
    return shortened(low);
}

}  // namespace pellucine::HighlightedText
