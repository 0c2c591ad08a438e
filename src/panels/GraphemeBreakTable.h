#pragma once

#include <span>

#include "panels/GraphemeBoundaries.h"

namespace pellucine::SearchText {

struct CodePointRange {
    char32_t first;
    char32_t last;
};

struct GraphemeBreakRange {
    char32_t first;
    char32_t last;
    GraphemeBreak value;
};

// Ascending and disjoint. Code points in no range are `other`; Hangul syllables (LV and LVT)
// are computed instead.
extern const std::span<const GraphemeBreakRange> graphemeBreakRanges;
extern const std::span<const CodePointRange> extendedPictographicRanges;

}  // namespace pellucine::SearchText
