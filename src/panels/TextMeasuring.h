#pragma once

#include <QString>

namespace pellucine {

// The fonts whose text widths the panel sizing needs.
enum class MeasuredFont {
    // Bold system font at the standard system font size: the application name in a glance header.
    headerTitle,
    // Regular system font at the small system font size minus 1: the window count beside it.
    headerCount,
};

// Measures text for sizing rules, so that the rules stay pure and tests need no fonts.
class TextMeasuring {
  public:
    virtual ~TextMeasuring() = default;
    // The unrounded width of the text on one line, in points; callers round it up.
    virtual double textWidth(const QString& text, MeasuredFont font) const = 0;
};

}  // namespace pellucine
