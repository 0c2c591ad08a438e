#pragma once

#include <QAccessible>
#include <QString>

class QWidget;

namespace pellucine {

// What a painted design-system widget tells assistive technologies. The widget's accessible
// name and description are its own (`setAccessibleName`, `setAccessibleDescription`); this adds
// the role, a value, state, and a press action.
class AccessibleElement {
  public:
    virtual ~AccessibleElement() = default;

    virtual QAccessible::Role accessibleRole() const = 0;
    virtual QString accessibleValue() const { return {}; }
    // Adjusts the state Qt derives from the widget (focus, enabled, visibility).
    virtual void adjustAccessibleState(QAccessible::State& state) const { (void)state; }
    // Whether the element can be pressed, and pressing it.
    virtual bool isAccessiblyPressable() const { return false; }
    virtual void accessiblePress() {}
};

namespace Yard {

// Makes Qt describe every widget that is an `AccessibleElement` through it. Idempotent; each
// such widget calls it on construction.
void installAccessibility();

// Tells assistive technologies that `widget`'s value, or its state, changed.
void announceValueChange(QWidget* widget, const QString& value);
void announceStateChange(QWidget* widget, QAccessible::State changed);

}  // namespace Yard
}  // namespace pellucine
