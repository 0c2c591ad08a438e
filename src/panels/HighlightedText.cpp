#include "panels/HighlightedText.h"

#include <algorithm>
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

Line elideMiddle(const Line& line, double width, const Measure& measure) {
    if (measure(line) <= width) {
        return line;
    }
    const std::vector<qsizetype> offsets = boundaries(line.text);
    const auto characters = static_cast<qsizetype>(offsets.size()) - 1;

    // The line keeping `kept` characters around the ellipsis.
    const auto shortened = [&](qsizetype kept) {
        const qsizetype before = offsets[static_cast<std::size_t>((kept + 1) / 2)];
        const qsizetype after = offsets[static_cast<std::size_t>(characters - kept / 2)];
        const qsizetype shift = before + 1 - after;
        Line out{line.text.left(before) + ellipsis + line.text.mid(after), {}};
        for (const Span& span : line.highlights) {
            if (span.start < before) {
                out.highlights.append({span.start, std::min(span.end, before)});
            }
            if (span.start < after && span.end > before) {
                out.highlights.append({before, before + 1});
            }
            if (span.end > after) {
                out.highlights.append({std::max(span.start, after) + shift, span.end + shift});
            }
        }
        out.highlights = merged(std::move(out.highlights));
        return out;
    };

    // Fewer characters never take more room, so the most that fit are found by halving.
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
