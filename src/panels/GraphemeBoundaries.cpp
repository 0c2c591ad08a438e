#include "panels/GraphemeBoundaries.h"

#include <algorithm>

#include "panels/GraphemeBreakTable.h"

namespace pellucine::SearchText {

namespace {

// Below the first combining mark only controls, CR, LF and two pictographs are anything but
// `other`.
constexpr char32_t firstMark = 0x300;
constexpr char32_t hangulFirst = 0xAC00;
constexpr char32_t hangulCount = 11172;
constexpr char32_t hangulTrailingCount = 28;

template <class Range>
const Range* rangeHolding(std::span<const Range> ranges, char32_t cp) {
    const auto it = std::upper_bound(ranges.begin(), ranges.end(), cp,
                                     [](char32_t c, const Range& r) { return c < r.first; });
    if (it == ranges.begin() || cp > std::prev(it)->last) {
        return nullptr;
    }
    return &*std::prev(it);
}

bool isControl(GraphemeBreak b) {
    return b == GraphemeBreak::control || b == GraphemeBreak::cr || b == GraphemeBreak::lf;
}

}  // namespace

GraphemeBreak graphemeBreak(char32_t cp) {
    // Latin text without marks, without a search.
    if (cp < firstMark) {
        if (cp == u'\r') {
            return GraphemeBreak::cr;
        }
        if (cp == u'\n') {
            return GraphemeBreak::lf;
        }
        const bool control = cp < 0x20 || (cp >= 0x7F && cp <= 0x9F) || cp == 0xAD;
        return control ? GraphemeBreak::control : GraphemeBreak::other;
    }
    if (cp >= hangulFirst && cp < hangulFirst + hangulCount) {
        return (cp - hangulFirst) % hangulTrailingCount == 0 ? GraphemeBreak::lv
                                                             : GraphemeBreak::lvt;
    }
    if (cp >= 0xD800 && cp <= 0xDFFF) {
        return GraphemeBreak::control;
    }
    const GraphemeBreakRange* range = rangeHolding(graphemeBreakRanges, cp);
    return range == nullptr ? GraphemeBreak::other : range->value;
}

bool isExtendedPictographic(char32_t cp) {
    if (cp < firstMark) {
        return cp == 0xA9 || cp == 0xAE;
    }
    return rangeHolding(extendedPictographicRanges, cp) != nullptr;
}

bool GraphemeBoundaries::breaksBefore(char32_t cp) {
    using B = GraphemeBreak;
    const B next = graphemeBreak(cp);
    const bool pictographic = isExtendedPictographic(cp);
    const B prev = previous_;
    bool breaks = true;
    if (!started_) {
        breaks = false;
    } else if (prev == B::cr && next == B::lf) {
        breaks = false;
    } else if (isControl(prev) || isControl(next)) {
        breaks = true;
    } else if (prev == B::l && (next == B::l || next == B::v || next == B::lv || next == B::lvt)) {
        breaks = false;
    } else if ((prev == B::lv || prev == B::v) && (next == B::v || next == B::t)) {
        breaks = false;
    } else if ((prev == B::lvt || prev == B::t) && next == B::t) {
        breaks = false;
    } else if (next == B::extend || next == B::zwj || next == B::spacingMark ||
               prev == B::prepend) {
        breaks = false;
    } else if (emoji_ == Emoji::joiner && pictographic) {
        breaks = false;
    } else if (prev == B::regionalIndicator && next == B::regionalIndicator) {
        // Pairs from the start of the run: a flag never splits, two flags never join.
        breaks = regionalIndicators_ % 2 == 0;
    }

    started_ = true;
    previous_ = next;
    regionalIndicators_ = next == B::regionalIndicator ? regionalIndicators_ + 1 : 0;
    if (pictographic) {
        emoji_ = Emoji::pictographic;
    } else if (emoji_ == Emoji::pictographic && next == B::extend) {
        emoji_ = Emoji::pictographic;
    } else if (emoji_ == Emoji::pictographic && next == B::zwj) {
        emoji_ = Emoji::joiner;
    } else {
        emoji_ = Emoji::none;
    }
    return breaks;
}

}  // namespace pellucine::SearchText
