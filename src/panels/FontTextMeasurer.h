#pragma once

#include "panels/TextMeasuring.h"

namespace pellucine {

// Measures with the glance's own fonts: the header's name in the bold headline face, the count
// in the caption face.
class FontTextMeasurer final : public TextMeasuring {
  public:
    double textWidth(const QString& text, MeasuredFont font) const override;
};

}  // namespace pellucine
