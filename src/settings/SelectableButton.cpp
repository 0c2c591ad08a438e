#include "settings/SelectableButton.h"

namespace pellucine {

SelectableButton::SelectableButton(const QString& text, QWidget* parent) : QAbstractButton(parent) {
    Yard::installAccessibility();
    setText(text);
    setAccessibleName(text);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
}

void SelectableButton::setSelected(bool selected) {
    if (selected == selected_) {
        return;
    }
    selected_ = selected;
    QAccessible::State changed;
    changed.selected = true;
    Yard::announceStateChange(this, changed);
    update();
}

}  // namespace pellucine
