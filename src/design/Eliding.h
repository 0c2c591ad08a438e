#pragma once

class QWidget;

namespace pellucine::Yard {

// Marks `widget` as one whose text may be drawn cut short with an ellipsis when it does not fit
// (a file path, a value in a cell of fixed width). Every other text is shown whole.
void allowEliding(QWidget& widget, bool allowed = true);
bool allowsEliding(const QWidget& widget);

}  // namespace pellucine::Yard
