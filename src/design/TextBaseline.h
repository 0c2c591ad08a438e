#pragma once

class QWidget;

namespace pellucine {

// A widget that knows where its first line of text sits, for rows aligned on text baselines.
class HasTextBaseline {
  public:
    virtual ~HasTextBaseline() = default;
    // Distance from the widget's top to the baseline of its first line of text.
    virtual int firstBaseline() const = 0;
};

namespace Yard {

// The first text baseline of `widget` when it is `height` high, measured from its top: its own
// answer when it has one, the baseline of a label's or line edit's text, and otherwise its
// bottom edge, so that a control without text stands on the baseline.
int firstBaseline(const QWidget* widget, int height);

}  // namespace Yard
}  // namespace pellucine
