#include "design/YardAccessible.h"

#include <QAccessibleWidget>
#include <QWidget>

namespace pellucine {
namespace {

class ElementInterface : public QAccessibleWidget {
  public:
    ElementInterface(QWidget* widget, AccessibleElement* element)
        : QAccessibleWidget(widget, element->accessibleRole()), element_(element) {}

    QAccessible::Role role() const override { return element_->accessibleRole(); }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) {
            return element_->accessibleValue();
        }
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override {
        QAccessible::State result = QAccessibleWidget::state();
        element_->adjustAccessibleState(result);
        return result;
    }

    QStringList actionNames() const override {
        QStringList names = QAccessibleWidget::actionNames();
        if (element_->isAccessiblyPressable() && widget()->isEnabled()) {
            names.prepend(pressAction());
        }
        return names;
    }

    void doAction(const QString& action) override {
        if (action == pressAction() && element_->isAccessiblyPressable() && widget()->isEnabled()) {
            element_->accessiblePress();
            return;
        }
        QAccessibleWidget::doAction(action);
    }

  private:
    AccessibleElement* element_;
};

QAccessibleInterface* elementFactory(const QString&, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget == nullptr) {
        return nullptr;
    }
    if (auto* element = dynamic_cast<AccessibleElement*>(widget)) {
        return new ElementInterface(widget, element);
    }
    return nullptr;
}

}  // namespace

namespace Yard {

void installAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(elementFactory);
        return true;
    }();
    (void)installed;
}

void announceValueChange(QWidget* widget, const QString& value) {
    if (widget != nullptr && QAccessible::isActive()) {
        QAccessibleValueChangeEvent event(widget, value);
        QAccessible::updateAccessibility(&event);
    }
}

void announceStateChange(QWidget* widget, QAccessible::State changed) {
    if (widget != nullptr && QAccessible::isActive()) {
        QAccessibleStateChangeEvent event(widget, changed);
        QAccessible::updateAccessibility(&event);
    }
}

}  // namespace Yard
}  // namespace pellucine
