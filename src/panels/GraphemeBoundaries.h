#pragma once

#include <cstdint>

namespace pellucine::SearchText {

// The grapheme cluster break property of a code point (Unicode Standard Annex #29).
enum class GraphemeBreak : std::uint8_t {
    other,
    cr,
    lf,
    control,
    extend,
    zwj,
    regionalIndicator,
    prepend,
    spacingMark,
    l,
    v,
    t,
    lv,
    lvt,
};

// A lone surrogate is a control, as the annex has it.
GraphemeBreak graphemeBreak(char32_t cp);
bool isExtendedPictographic(char32_t cp);

// Where user-perceived characters (extended grapheme clusters) end, by the annex's rules, for
// the code points of one text given in order. The answer depends only on the code points before,
// never on the script of the text around (unlike the platform's boundary finder, which tailors
// some scripts and then splits surrogate pairs), and each code point is looked at once.
class GraphemeBoundaries {
  public:
    // Whether a character ends before `cp`, which follows the code points given so far; false
    // for the first.
    bool breaksBefore(char32_t cp);

  private:
    enum class Emoji : std::uint8_t { none, pictographic, joiner };

    bool started_ = false;
    GraphemeBreak previous_ = GraphemeBreak::other;
    // Regional indicators in a row, ending with the previous code point.
    std::uint64_t regionalIndicators_ = 0;
    // An extended pictographic code point and extending marks so far, then a joiner.
    Emoji emoji_ = Emoji::none;
};

}  // namespace pellucine::SearchText
