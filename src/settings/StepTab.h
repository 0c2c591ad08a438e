#pragma once

#include <QAbstractButton>

#include "design/YardAccessible.h"

namespace pellucine {

// A tab of the welcome window's masthead: the step's title upper-cased in the rail's ink,
// underlined and at full strength while it is the current step. Read as "Step n of 3, title".
class StepTab : public QAbstractButton, public AccessibleElement {
    Q_OBJECT

  public:
    static constexpr qreal tracking = 1.1;
    static constexpr qreal otherOpacity = 0.62;

    // `index` counts from 0 among `count` steps.
    StepTab(const QString& title, int index, int count, QWidget* parent = nullptr);

    bool isCurrent() const { return current_; }
    void setCurrent(bool current);

    static QString accessibleName(const QString& title, int index, int count);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    QAccessible::Role accessibleRole() const override { return QAccessible::Button; }
    void adjustAccessibleState(QAccessible::State& state) const override;
    bool isAccessiblyPressable() const override { return true; }
    void accessiblePress() override { click(); }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    bool current_ = false;
};

}  // namespace pellucine
