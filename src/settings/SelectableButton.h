#pragma once

#include <QAbstractButton>

#include "design/YardAccessible.h"

namespace pellucine {

// A painted button that is one of a set, read as a button that is selected while it is the
// chosen one. Subclasses paint it.
class SelectableButton : public QAbstractButton, public AccessibleElement {
    Q_OBJECT

  public:
    explicit SelectableButton(const QString& text, QWidget* parent = nullptr);

    bool isSelected() const { return selected_; }
    // Repaints and tells assistive technologies when it changes.
    void setSelected(bool selected);

    QAccessible::Role accessibleRole() const override { return QAccessible::Button; }
    void adjustAccessibleState(QAccessible::State& state) const override {
        state.selected = selected_;
    }
    bool isAccessiblyPressable() const override { return true; }
    void accessiblePress() override { click(); }

  private:
    bool selected_ = false;
};

}  // namespace pellucine
